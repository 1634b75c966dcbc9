#include "view/clockpane.h"

#include <QPainter>

#include "engine/gameclock.h"
#include "resources/gametexts.h"
#include "view/norvaneview.h"

namespace {

constexpr int RefreshMs     = 100;
constexpr int LowTimeMs     = 10000;
constexpr int ClockWidth    = 132;
constexpr int ClockHeight   = 48;
constexpr int ClockGap      = 8;

} // namespace

CClockPane::CClockPane(CNorvaneView* view, QWidget* parent) : QWidget(parent), m_pView(view) {
    m_refresh.setInterval(RefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, [this] { Refresh(); });
    m_refresh.start();
    setVisible(false);
}

QString CClockPane::ClockTextOf(int side) const {
    return QString::fromStdString(clockText(m_pView->Clock().remaining(side, m_pView->ClockNow())));
}

QSize CClockPane::sizeHint() const { return {ClockWidth, 2 * ClockHeight + ClockGap}; }

void CClockPane::Refresh() {
    const bool timed = m_pView->Clock().control().isSet();
    if (timed != isVisible()) {
        setVisible(timed);
        // The window grows by the clocks rather than the board shrinking for them; a maximised
        // or full-screen window keeps its size.
        QWidget* top = window();
        if (top && top != this && top->isVisible() &&
            !(top->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
            const int room = sizeHint().width() + ClockGap;
            top->resize(top->width() + (timed ? room : -room), top->height());
        }
    }
    if (timed) update();
}

void CClockPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const GameClock&   clock   = m_pView->Clock();
    const std::int64_t now     = m_pView->ClockNow();
    const bool         flipped = m_pView->m_mode & ModeFlipped;
    QFont              font    = painter.font();
    font.setPixelSize(ClockHeight / 2);
    font.setBold(true);
    for (int side = White; side <= Black; ++side) {
        // The player at the bottom of the board has the lower clock.
        const bool  lower = (side == White) != flipped;
        const QRect box(0, lower ? ClockHeight + ClockGap : 0, ClockWidth, ClockHeight);
        const bool  running = clock.running() == side;
        const std::int64_t left = clock.remaining(side, now);
        painter.setPen(QPen(palette().color(QPalette::Mid), 1));
        painter.setBrush(running ? QColor(255, 248, 200) : palette().color(QPalette::Button));
        painter.drawRoundedRect(box.adjusted(0, 0, -1, -1), 6, 6);
        QFont small = font;
        small.setPixelSize(ClockHeight / 4);
        small.setBold(false);
        painter.setFont(small);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(box.adjusted(8, 4, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromUtf8(side == White ? GameText::WhiteLabel : GameText::BlackLabel));
        painter.setFont(font);
        painter.setPen(left < LowTimeMs ? QColor(200, 0, 0) : palette().color(QPalette::ButtonText));
        painter.drawText(box.adjusted(0, 4, -10, 0), Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(clockText(left)));
    }
}
