// 選手情報: a player's record in the open file (or in the games the list shows): the totals
// with White, with Black and in all, the openings of each side with their scores, the results
// year by year and the rating over time as small charts, and the strongest opponents beaten.
// A click on an opening or a year lists those games of the player.
#pragma once

#include <QDialog>

#include <cstdint>
#include <vector>

#include "records/playerrecord.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;
class CNorvaneDoc;
class CRatingChart;
class CYearResultsChart;

class CPlayerRecordWindow : public QDialog {
    Q_OBJECT
public:
    explicit CPlayerRecordWindow(CNorvaneDoc* doc, QWidget* parent = nullptr);

    // The record of the player stored exactly as name id; the names holding the same text
    // are offered beside it.
    void ShowPlayer(std::uint32_t name);
    // The record of the player whose name holds text, the one with the most games first (the
    // others are offered). False, showing nothing new, when no player's name holds it.
    bool ShowPlayerText(const QString& text);

    const PlayerRecord& Record() const { return m_record; }
    // The totals table (rows 白番, 黒番, 合計), the openings of a side (White 0, Black 1), the
    // beaten opponents, the year chart: for tests and screenshots.
    QTableWidget*      Totals() const { return m_pTotals; }
    QTableWidget*      Openings(int side) const { return m_pOpenings[side]; }
    QTableWidget*      Beaten() const { return m_pBeaten; }
    CYearResultsChart* YearChart() const { return m_pYears; }

    // Lists the player's games of a side (EitherSide, WhiteSide, BlackSide) with an ECO
    // index (-1: any) and of a year (0: any).
    void ListGames(int side, int eco, int year);

private:
    // The candidates' list (names holding text, each with its games) and the chosen one shown.
    void OfferPlayers(const std::vector<PlayerCount>& players, std::uint32_t chosen);
    // Reads the chosen player's record and fills the tables and charts.
    void Refresh();

    CNorvaneDoc*       m_pDoc;
    PlayerRecord       m_record;
    std::uint32_t      m_player = 0;
    QComboBox*         m_pPlayers;
    QCheckBox*         m_pMatchedOnly;
    QTableWidget*      m_pTotals;
    QTableWidget*      m_pOpenings[2];
    QTableWidget*      m_pBeaten;
    CYearResultsChart* m_pYears;
    CRatingChart*      m_pRatings;
};
