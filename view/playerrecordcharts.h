// The small charts of a player's record: the results year by year as stacked bars (wins,
// draws, losses) and the rating over time as a line. Drawn with QPainter; a click on a bar
// names its year.
#pragma once

#include <QWidget>

#include <vector>

#include "records/playerrecord.h"

class CYearResultsChart : public QWidget {
    Q_OBJECT
public:
    explicit CYearResultsChart(QWidget* parent = nullptr);
    void SetYears(const std::vector<YearLine>& years);
    // The year whose bar (or the room around it) holds point, or 0.
    int YearAt(const QPoint& point) const;
    // The middle of a year's bar, or (-1, -1) when the chart has no such year.
    QPoint BarCentre(int year) const;

    QSize sizeHint() const override { return {320, 120}; }

signals:
    void yearClicked(int year);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The column of a year: its left edge and width.
    QRect ColumnOf(std::size_t index) const;
    QRect Plot() const;

    std::vector<YearLine> m_years;
};

class CRatingChart : public QWidget {
    Q_OBJECT
public:
    explicit CRatingChart(QWidget* parent = nullptr);
    void SetRatings(const std::vector<RatingPoint>& ratings);

    QSize sizeHint() const override { return {320, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<RatingPoint> m_ratings;
};
