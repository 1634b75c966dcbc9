#include "view/evalbar.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "view/analysissnapshot.h"

namespace {

const QColor WhiteColour(238, 238, 232);
const QColor BlackColour(58, 58, 58);
const QColor FrameColour(120, 120, 120);

} // namespace

double whiteShare(const UciScore& score) {
    if (score.kind == UciScore::Mate) return score.value > 0 ? 1.0 : score.value < 0 ? 0.0 : 0.5;
    // Beyond this the curve is flat to the eye; it also keeps pow away from overflow.
    const double cp = std::clamp(score.value, -4000, 4000);
    return 1.0 / (1.0 + std::pow(10.0, -cp / 400.0));
}

QString shortScoreText(const UciScore& score) {
    if (score.kind == UciScore::Mate)
        return (score.value < 0 ? QStringLiteral("-M") : QStringLiteral("M")) +
               QString::number(std::abs(score.value));
    // Ten pawns and more: whole pawns, as the bar is narrow. A score that rounds to nothing is
    // level, without a sign ("-0.0" would read as a small edge for Black).
    const int decimals = std::abs(score.value) >= 1000 ? 0 : 1;
    if (decimals == 1 && std::abs(score.value) < 5) return QStringLiteral("0.0");
    const QString sign = score.value > 0 ? QStringLiteral("+") : QString();
    return sign + QString::number(score.value / 100.0, 'f', decimals);
}

EvalBar::EvalBar(QWidget* parent) : QWidget(parent) {
    setFixedWidth(BarWidth);
    // As tall as the board, never making the window keep a height: a smaller pane gets a
    // shorter bar.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
    m_glide.setDuration(GlideMs);
    m_glide.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_glide, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_shown = value.toDouble();
        update();
    });
    hide();
}

QSize EvalBar::sizeHint() const { return {BarWidth, m_boardSide}; }

QSize EvalBar::minimumSizeHint() const { return {BarWidth, 0}; }

void EvalBar::ShowAnalysis(const AnalysisSnapshot* snapshot) {
    if (!snapshot) {
        m_glide.stop();
        m_target = m_shown = 0.5;
        m_text.clear();
        hide();
        return;
    }
    const bool wasHidden = isHidden();
    if (!snapshot->lines.empty()) {
        const UciScore& score = snapshot->lines.front().score;
        m_target              = whiteShare(score);
        m_text                = shortScoreText(score);
        // A mate already on the board has no sign ("mate 0"): the side to move is mated, and
        // the bar is the winner's with the result as its text.
        if (score.kind == UciScore::Mate && score.value == 0) {
            m_target = snapshot->blackToMove ? 1.0 : 0.0;
            m_text   = snapshot->blackToMove ? QStringLiteral("1-0") : QStringLiteral("0-1");
        }
    } else {
        m_text.clear();
    }
    if (wasHidden) {
        // Appearing: shown at once where the analysis stands.
        m_glide.stop();
        m_shown = m_target;
        AdoptBoardHeight();
        show();
    } else if (m_target != m_glide.endValue().toDouble() ||
               m_glide.state() != QAbstractAnimation::Running) {
        m_glide.stop();
        m_glide.setStartValue(m_shown);
        m_glide.setEndValue(m_target);
        if (m_shown != m_target) m_glide.start();
    }
    update();
}

void EvalBar::SetFlipped(bool flipped) {
    if (flipped == m_flipped) return;
    m_flipped = flipped;
    update();
}

void EvalBar::FollowBoard(QWidget* board, std::function<int()> height) {
    if (m_board) m_board->removeEventFilter(this);
    m_board       = board;
    m_boardHeight = std::move(height);
    if (m_board) m_board->installEventFilter(this);
    AdoptBoardHeight();
}

bool EvalBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_board && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        // The board sizes itself in its own handler of the event, after this filter.
        QMetaObject::invokeMethod(this, &EvalBar::AdoptBoardHeight, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void EvalBar::AdoptBoardHeight() {
    if (!m_boardHeight) return;
    const int side = m_boardHeight();
    if (side <= 0 || side == m_boardSide) return;
    m_boardSide = side;
    setMaximumHeight(side);
    updateGeometry();
}

void EvalBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRectF bar         = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double whiteHeight = bar.height() * std::clamp(m_shown, 0.0, 1.0);
    // White's part from the bottom (from the top when flipped); Black's the rest.
    const QRectF white =
        m_flipped ? QRectF(bar.left(), bar.top(), bar.width(), whiteHeight)
                  : QRectF(bar.left(), bar.bottom() - whiteHeight, bar.width(), whiteHeight);
    painter.fillRect(bar, BlackColour);
    painter.fillRect(white, WhiteColour);
    // The even line.
    painter.setPen(QPen(QColor(150, 150, 150), 1));
    const double middle = bar.top() + bar.height() / 2;
    painter.drawLine(QPointF(bar.left(), middle), QPointF(bar.right(), middle));
    painter.setPen(QPen(FrameColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar);

    if (m_text.isEmpty()) return;
    // The score small at the end of the side that stands better, in that side's part.
    QFont font = this->font();
    font.setPixelSize(std::max(7, BarWidth / 2 - 2));
    font.setBold(true);
    painter.setFont(font);
    const bool   whiteAhead = m_target >= 0.5;
    const bool   atBottom   = whiteAhead != m_flipped;
    const int    textHeight = painter.fontMetrics().height();
    const QRectF label(0, atBottom ? height() - textHeight - 2 : 2, width(), textHeight);
    painter.setPen(whiteAhead ? BlackColour : WhiteColour);
    painter.drawText(label, Qt::AlignHCenter | Qt::AlignVCenter, m_text);
}
