#include "records/playerrecord.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>

#include "records/gamefilter.h"

void ScoreLine::add(int result) {
    ++games;
    wins += result == PlayerWon;
    draws += result == PlayerDrew;
    losses += result == PlayerLost;
}

namespace {

// The game's result from one side.
int resultFor(const GameEntry& e, bool white) {
    if (e.info & Drawn) return PlayerDrew;
    if (e.info & WhiteWon) return white ? PlayerWon : PlayerLost;
    if (e.info & BlackWon) return white ? PlayerLost : PlayerWon;
    return 0;
}

std::int32_t dateOf(const GameEntry& e) {
    return static_cast<std::int32_t>((e.year & 0xFFF) * 10000 + e.month * 100 + e.day);
}

// The openings of a side, most played first, then by code (games without one last).
std::vector<OpeningLine> openingLines(const std::array<ScoreLine, NoEco + 1>& byEco) {
    std::vector<OpeningLine> lines;
    for (int eco = 0; eco <= NoEco; ++eco)
        if (byEco[static_cast<std::size_t>(eco)].games)
            lines.push_back({eco, byEco[static_cast<std::size_t>(eco)]});
    std::stable_sort(lines.begin(), lines.end(), [](const OpeningLine& a, const OpeningLine& b) {
        return a.score.games > b.score.games;
    });
    return lines;
}

} // namespace

std::uint32_t playerId(const PlayerNames& names, std::string_view name) {
    if (name.empty()) return 0;
    for (std::uint32_t id = 1; id < names.size(); ++id)
        if (names.name(id) == name) return id;
    return 0;
}

PlayerRecord playerRecord(const std::vector<GameEntry>& games, const PlayerNames& names,
                          std::string_view name, bool matchedOnly, int beatenLimit) {
    PlayerRecord record;
    record.player = playerId(names, name);
    if (record.player == 0) return record;
    const std::uint32_t              id = record.player;
    std::array<ScoreLine, NoEco + 1> byEco[2];
    std::array<ScoreLine, 4096>      byYear;
    for (const GameEntry& e : games) {
        if (e.white != id && e.black != id) continue;
        if (matchedOnly && !(e.info & Matched)) continue;
        // A game against oneself counts once, from White's side.
        const bool white  = e.white == id;
        const int  result = resultFor(e, white);
        (white ? record.asWhite : record.asBlack).add(result);
        record.all.add(result);
        byEco[white ? 0 : 1]
             [static_cast<std::size_t>(e.info & EcoMask) <= NoEco ? e.info & EcoMask : NoEco]
                 .add(result);
        const int year = e.year & 0xFFF;
        if (year) byYear[static_cast<std::size_t>(year)].add(result);
        const int rating = white ? e.whiteElo : e.blackElo;
        if (rating && year) record.ratings.push_back({dateOf(e), rating, e.number});
        if (result == PlayerWon)
            record.beaten.push_back({white ? e.black : e.white, white ? e.blackElo : e.whiteElo,
                                     year ? dateOf(e) : 0, e.number, white});
    }
    record.whiteOpenings = openingLines(byEco[0]);
    record.blackOpenings = openingLines(byEco[1]);
    for (int year = 1; year < 4096; ++year)
        if (byYear[static_cast<std::size_t>(year)].games)
            record.years.push_back({year, byYear[static_cast<std::size_t>(year)]});
    std::stable_sort(record.ratings.begin(), record.ratings.end(),
                     [](const RatingPoint& a, const RatingPoint& b) { return a.date < b.date; });
    std::stable_sort(
        record.beaten.begin(), record.beaten.end(),
        [](const BeatenOpponent& a, const BeatenOpponent& b) { return a.rating > b.rating; });
    if (beatenLimit >= 0 && record.beaten.size() > static_cast<std::size_t>(beatenLimit))
        record.beaten.resize(static_cast<std::size_t>(beatenLimit));
    return record;
}

std::vector<PlayerCount> playersMatching(const std::vector<GameEntry>& games,
                                         const PlayerNames& names, std::string_view text,
                                         std::size_t limit) {
    std::vector<int>  counts(names.size(), 0);
    std::vector<char> holds(names.size(), 0);
    for (std::uint32_t id = 1; id < names.size(); ++id)
        holds[id] = matchName(names.name(id), text);
    for (const GameEntry& e : games) {
        if (holds[e.white]) ++counts[e.white];
        if (holds[e.black] && e.black != e.white) ++counts[e.black];
    }
    std::vector<PlayerCount> players;
    for (std::uint32_t id = 1; id < names.size(); ++id)
        if (counts[id]) players.push_back({id, counts[id]});
    std::sort(players.begin(), players.end(), [&names](const PlayerCount& a, const PlayerCount& b) {
        return a.games != b.games ? a.games > b.games : names.name(a.name) < names.name(b.name);
    });
    if (players.size() > limit) players.resize(limit);
    return players;
}

std::int64_t markPlayerGames(std::vector<GameEntry>& games, const PlayerGames& selection) {
    std::int64_t marked = 0;
    for (GameEntry& e : games) {
        const bool white = e.white == selection.player;
        const bool black = e.black == selection.player && !white;
        bool       take  = selection.player != 0 && (selection.side == WhiteSide   ? white
                                                     : selection.side == BlackSide ? black
                                                                                   : white || black);
        if (take && selection.eco >= 0) take = (e.info & EcoMask) == selection.eco;
        if (take && selection.year) take = (e.year & 0xFFF) == selection.year;
        e.info = static_cast<std::uint16_t>(take ? e.info | Matched : e.info & ~Matched);
        marked += take;
    }
    return marked;
}
