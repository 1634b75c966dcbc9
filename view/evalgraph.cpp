#include "view/evalgraph.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "view/evalbar.h"

namespace {

const QColor BlackShare(72, 72, 72);
const QColor WhiteShare(236, 236, 230);
const QColor TimeBars(48, 120, 220, 150);
const QColor CurrentLine(40, 90, 200);

// The time scale's room at the right, in pixels of a graph of height.
int timeScaleWidth(const QFontMetrics& metrics) { return metrics.horizontalAdvance("000秒") + 4; }

// "4:05" or "1:02:03" for a number of seconds.
QString clockText(double seconds) {
    const int whole = static_cast<int>(seconds);
    if (whole >= 3600)
        return QString("%1:%2:%3")
            .arg(whole / 3600)
            .arg(whole / 60 % 60, 2, 10, QChar('0'))
            .arg(whole % 60, 2, 10, QChar('0'));
    return QString("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QChar('0'));
}

// A move's time: whole seconds, or tenths below ten seconds.
QString secondsText(double seconds) {
    return seconds < 10 && std::floor(seconds) != seconds ? QString::number(seconds, 'f', 1)
                                                          : QString::number(std::lround(seconds));
}

} // namespace

EvalGraph::EvalGraph(QWidget* parent) : QWidget(parent) {
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

int EvalGraph::heightForWidth(int width) const {
    return std::clamp(width * 2 / 7, MinHeight, MaxHeight);
}

QColor EvalGraph::MarkColour(MoveMark mark) {
    switch (mark) {
    case MoveMark::Good:
        return {30, 160, 70};
    case MoveMark::Inaccuracy:
        return {230, 190, 0};
    case MoveMark::Mistake:
        return {240, 130, 0};
    case MoveMark::Blunder:
        return {215, 30, 30};
    case MoveMark::None:
        break;
    }
    return {};
}

void EvalGraph::SetPoints(std::vector<GraphPoint> points, QStringList moveNames) {
    m_points = std::move(points);
    m_names  = std::move(moveNames);
    update();
}

void EvalGraph::SetNotice(const QString& notice) {
    if (notice == m_notice) return;
    m_notice = notice;
    update();
}

void EvalGraph::SetCurrentPly(int ply) {
    if (ply == m_currentPly) return;
    m_currentPly = ply;
    update();
}

bool EvalGraph::HasScores() const {
    return std::any_of(m_points.begin(), m_points.end(),
                       [](const GraphPoint& point) { return point.whiteScore.has_value(); });
}

bool EvalGraph::HasTimes() const {
    return std::any_of(m_points.begin(), m_points.end(),
                       [](const GraphPoint& point) { return point.moveSeconds.has_value(); });
}

double EvalGraph::PlyX(int ply, int width) const {
    const int count = std::max<int>(static_cast<int>(m_points.size()), 1);
    return 0.5 + static_cast<double>(ply) * (width - 1) / count;
}

int EvalGraph::PlotWidth() const {
    return HasTimes() ? width() - timeScaleWidth(fontMetrics()) : width();
}

int EvalGraph::PlyPosition(int ply) const {
    return static_cast<int>(std::lround(PlyX(ply, PlotWidth())));
}

int EvalGraph::PlyAt(int x) const {
    if (m_points.empty()) return 0;
    const int width = PlotWidth();
    const int count = static_cast<int>(m_points.size());
    const int ply   = static_cast<int>(std::lround((x - 0.5) * count / std::max(width - 1, 1)));
    return std::clamp(ply, 1, count);
}

QString EvalGraph::ToolTipAt(int x) const {
    const int ply = PlyAt(x);
    if (ply == 0) return {};
    const GraphPoint& point = m_points[static_cast<std::size_t>(ply - 1)];
    QString           text  = ply - 1 < m_names.size() ? m_names[ply - 1] : QString::number(ply);
    text += QString::fromLatin1(markText(point.mark));
    if (point.whiteEval) text += QStringLiteral("  評価 %1").arg(shortScoreText(*point.whiteEval));
    if (point.moveSeconds)
        text += QStringLiteral("  消費 %1秒").arg(secondsText(*point.moveSeconds));
    if (point.clockSeconds) text += QStringLiteral("  残り %1").arg(clockText(*point.clockSeconds));
    return text;
}

QImage EvalGraph::Picture(QSize size) const {
    QImage   picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setFont(font());
    Draw(painter, QRect(QPoint(0, 0), size));
    return picture;
}

void EvalGraph::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Draw(painter, rect());
}

void EvalGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const int ply = PlyAt(static_cast<int>(event->position().x())); ply > 0)
        emit plyClicked(ply);
}

bool EvalGraph::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto*         help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos().x());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void EvalGraph::Draw(QPainter& painter, const QRect& rect) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = painter.fontMetrics();
    const bool         times   = HasTimes();
    const int          scaleW  = times ? timeScaleWidth(metrics) : 0;
    const QRect        plot(rect.left(), rect.top(), rect.width() - scaleW, rect.height());
    const double       height = plot.height();
    // The curve keeps a mark's radius from the edges, so that a point at either end shows whole.
    const double radius = std::clamp(height / 24.0, 2.5, 6.0);
    const double top = plot.top() + radius + 1, span = std::max(height - 2 * (radius + 1) - 1, 1.0);
    const auto   yOf = [&](double score) { return top + (1.0 - score) * span; };
    const auto   xOf = [&](int ply) { return plot.left() + PlyX(ply, plot.width()); };

    painter.fillRect(rect, palette().window());
    painter.fillRect(plot, BlackShare);
    const double middle = yOf(0.5);

    // White's share: the area under the curve through the known scores, from the start's even
    // position on.
    if (HasScores()) {
        QPainterPath area;
        area.moveTo(xOf(0), plot.bottom() + 1);
        area.lineTo(xOf(0), middle);
        double lastX = xOf(0);
        for (std::size_t k = 0; k < m_points.size(); ++k)
            if (m_points[k].whiteScore) {
                lastX = xOf(static_cast<int>(k) + 1);
                area.lineTo(lastX, yOf(*m_points[k].whiteScore));
            }
        area.lineTo(lastX, plot.bottom() + 1);
        area.closeSubpath();
        painter.fillPath(area, WhiteShare);
    } else {
        painter.fillRect(plot, QColor(200, 200, 200));
    }
    painter.setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
    painter.drawLine(QPointF(plot.left(), middle), QPointF(plot.right(), middle));

    // The moves' times: bars from the bottom up to two fifths of the height for the longest.
    if (times) {
        double longest = 1;
        for (const GraphPoint& point : m_points)
            if (point.moveSeconds) longest = std::max(longest, *point.moveSeconds);
        const double room = height * 0.4;
        const double step =
            plot.width() / std::max<double>(static_cast<double>(m_points.size()), 1);
        const double barW = std::max(1.0, step * 0.6);
        for (std::size_t k = 0; k < m_points.size(); ++k) {
            if (!m_points[k].moveSeconds) continue;
            const double h = room * *m_points[k].moveSeconds / longest;
            painter.fillRect(
                QRectF(xOf(static_cast<int>(k) + 1) - barW / 2, plot.bottom() + 1 - h, barW, h),
                TimeBars);
        }
        // The scale: the longest time at its bar's top, 0 at the bottom.
        painter.setPen(palette().windowText().color());
        const QRect scale(plot.right() + 3, rect.top(), scaleW - 3, rect.height());
        painter.drawText(QRectF(scale.left(), plot.bottom() - room - metrics.height() / 2.0,
                                scale.width(), metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1秒").arg(secondsText(longest)));
        painter.drawText(scale, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("0"));
        painter.setPen(QPen(TimeBars, 1));
        painter.drawLine(QPointF(plot.right() + 1, plot.bottom() - room),
                         QPointF(plot.right() + 1, plot.bottom()));
    }

    // The curve itself over the area.
    if (HasScores()) {
        QPainterPath line;
        line.moveTo(xOf(0), middle);
        for (std::size_t k = 0; k < m_points.size(); ++k)
            if (m_points[k].whiteScore)
                line.lineTo(xOf(static_cast<int>(k) + 1), yOf(*m_points[k].whiteScore));
        painter.strokePath(line, QPen(QColor(120, 120, 120), 1));
    }

    // The position shown.
    if (!m_points.empty() && m_currentPly >= 0) {
        painter.setPen(QPen(CurrentLine, 1.5));
        const double x = xOf(std::min(m_currentPly, static_cast<int>(m_points.size())));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }

    // The marks, on the curve (or the middle line where the move has no score).
    for (std::size_t k = 0; k < m_points.size(); ++k) {
        const GraphPoint& point = m_points[k];
        if (point.mark == MoveMark::None) continue;
        const QPointF at(xOf(static_cast<int>(k) + 1),
                         point.whiteScore ? yOf(*point.whiteScore) : middle);
        painter.setPen(QPen(QColor(30, 30, 30), 0.8));
        painter.setBrush(MarkColour(point.mark));
        painter.drawEllipse(at, radius, radius);
    }

    if (m_points.empty() || (!HasScores() && !times)) {
        painter.setPen(QColor(70, 70, 70));
        const QString text = !m_notice.isEmpty() ? m_notice
                             : m_points.empty()
                                 ? QStringLiteral("手がありません")
                                 : QStringLiteral("評価がありません（ゲーム → 棋譜解析）");
        painter.drawText(plot, Qt::AlignCenter | Qt::TextWordWrap, text);
    }
    painter.restore();
}
