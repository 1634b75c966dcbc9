#include "view/playerrecordcharts.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

const QColor WinColour(90, 160, 90), DrawColour(170, 170, 170), LossColour(200, 90, 80),
    UnfinishedColour(225, 200, 110);

// Room for the axis labels: left for numbers, bottom for years.
constexpr int LeftMargin = 36, BottomMargin = 18, TopMargin = 6, RightMargin = 8;

// A date as a fraction of years: unknown months and days count as the middle of their span.
double yearsOf(std::int32_t date) {
    const int    year = date / 10000, month = date / 100 % 100, day = date % 100;
    const double inYear =
        month == 0 ? 0.5 : (month - 1 + (day == 0 ? 0.5 : (day - 0.5) / 31.0)) / 12.0;
    return year + inYear;
}

void drawNoData(QPainter& painter, const QRect& rect) {
    painter.setPen(Qt::gray);
    painter.drawText(rect, Qt::AlignCenter, QString::fromUtf8("データなし"));
}

} // namespace

CYearResultsChart::CYearResultsChart(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(90);
    setCursor(Qt::PointingHandCursor);
}

void CYearResultsChart::SetYears(const std::vector<YearLine>& years) {
    m_years = years;
    update();
}

QRect CYearResultsChart::Plot() const {
    return rect().adjusted(LeftMargin, TopMargin, -RightMargin, -BottomMargin);
}

QRect CYearResultsChart::ColumnOf(std::size_t index) const {
    const QRect plot  = Plot();
    const int   count = static_cast<int>(m_years.size());
    const int   left  = plot.left() + static_cast<int>(index) * plot.width() / count;
    const int   right = plot.left() + (static_cast<int>(index) + 1) * plot.width() / count;
    return {left, plot.top(), right - left, plot.height()};
}

int CYearResultsChart::YearAt(const QPoint& point) const {
    for (std::size_t i = 0; i < m_years.size(); ++i) {
        const QRect column = ColumnOf(i);
        if (point.x() >= column.left() && point.x() <= column.right() &&
            point.y() >= column.top() && point.y() <= column.bottom() + BottomMargin)
            return m_years[i].year;
    }
    return 0;
}

QPoint CYearResultsChart::BarCentre(int year) const {
    for (std::size_t i = 0; i < m_years.size(); ++i)
        if (m_years[i].year == year) return ColumnOf(i).center();
    return {-1, -1};
}

void CYearResultsChart::mousePressEvent(QMouseEvent* event) {
    const int year = YearAt(event->position().toPoint());
    if (year) emit yearClicked(year);
}

void CYearResultsChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRect plot = Plot();
    if (m_years.empty()) {
        drawNoData(painter, rect());
        return;
    }
    int most = 1;
    for (const YearLine& line : m_years)
        most = std::max(most, line.score.games);
    painter.setPen(palette().text().color());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawText(QRect(0, plot.top() - 2, LeftMargin - 4, 14), Qt::AlignRight | Qt::AlignTop,
                     QString::number(most));
    painter.drawText(QRect(0, plot.bottom() - 12, LeftMargin - 4, 14),
                     Qt::AlignRight | Qt::AlignBottom, QStringLiteral("0"));
    // Label every year while they fit, else every k-th.
    const int labelWidth = painter.fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 4;
    const int every =
        std::max(1, labelWidth * static_cast<int>(m_years.size()) / std::max(1, plot.width()) + 1);
    for (std::size_t i = 0; i < m_years.size(); ++i) {
        const QRect     column = ColumnOf(i);
        const ScoreLine s      = m_years[i].score;
        const int       width  = std::clamp(column.width() * 2 / 3, 2, 28);
        const int       x      = column.center().x() - width / 2;
        int             bottom = plot.bottom();
        for (const auto& [count, colour] :
             {std::pair{s.wins, WinColour}, std::pair{s.draws, DrawColour},
              std::pair{s.losses, LossColour},
              std::pair{s.games - s.wins - s.draws - s.losses, UnfinishedColour}}) {
            const int height = count * plot.height() / most;
            if (height <= 0) continue;
            painter.fillRect(x, bottom - height + 1, width, height, colour);
            bottom -= height;
        }
        if (static_cast<int>(i) % every == 0) {
            painter.setPen(palette().text().color());
            painter.drawText(QRect(column.center().x() - labelWidth / 2, plot.bottom() + 2,
                                   labelWidth, BottomMargin - 2),
                             Qt::AlignHCenter | Qt::AlignTop, QString::number(m_years[i].year));
        }
    }
}

CRatingChart::CRatingChart(QWidget* parent) : QWidget(parent) { setMinimumHeight(90); }

void CRatingChart::SetRatings(const std::vector<RatingPoint>& ratings) {
    m_ratings = ratings;
    update();
}

void CRatingChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (m_ratings.empty()) {
        drawNoData(painter, rect());
        return;
    }
    const QRect plot = rect().adjusted(LeftMargin, TopMargin, -RightMargin, -BottomMargin);
    int         low = m_ratings.front().rating, high = low;
    for (const RatingPoint& p : m_ratings) {
        low  = std::min(low, p.rating);
        high = std::max(high, p.rating);
    }
    // A little room above and below; a flat line sits in the middle.
    low -= 10;
    high += 10;
    const double first = yearsOf(m_ratings.front().date), last = yearsOf(m_ratings.back().date);
    const double span = std::max(last - first, 1e-9);
    const auto   at   = [&](const RatingPoint& p) {
        const double x = m_ratings.size() == 1
                                 ? plot.center().x()
                                 : plot.left() + (yearsOf(p.date) - first) / span * plot.width();
        const double y = plot.bottom() - double(p.rating - low) / (high - low) * plot.height();
        return QPointF(x, y);
    };
    painter.setPen(palette().text().color());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawText(QRect(0, plot.top() - 2, LeftMargin - 4, 14), Qt::AlignRight | Qt::AlignTop,
                     QString::number(high - 10));
    painter.drawText(QRect(0, plot.bottom() - 12, LeftMargin - 4, 14),
                     Qt::AlignRight | Qt::AlignBottom, QString::number(low + 10));
    painter.drawText(QRect(plot.left(), plot.bottom() + 2, 60, BottomMargin - 2),
                     Qt::AlignLeft | Qt::AlignTop, QString::number(m_ratings.front().date / 10000));
    painter.drawText(QRect(plot.right() - 60, plot.bottom() + 2, 60, BottomMargin - 2),
                     Qt::AlignRight | Qt::AlignTop, QString::number(m_ratings.back().date / 10000));
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath line;
    line.moveTo(at(m_ratings.front()));
    for (const RatingPoint& p : m_ratings)
        line.lineTo(at(p));
    painter.setPen(QPen(QColor(50, 100, 180), 1.5));
    painter.drawPath(line);
    painter.setBrush(QColor(50, 100, 180));
    if (m_ratings.size() <= 60)
        for (const RatingPoint& p : m_ratings)
            painter.drawEllipse(at(p), 2.0, 2.0);
}
