// A player's record from a game index: results with White, with Black and in all, by
// opening for each side, year by year, the player's rating over time and the strongest
// opponents beaten. Read from the index alone (no game is read from the file).
//
// The player is named exactly: the stored name, byte for byte and case-sensitive, so that
// "Carlsen, Magnus" and "carlsen, magnus" are two players, as the file wrote them. A caller
// that has only part of a name finds the stored names holding it (playersMatching).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "records/gameindex.h"
#include "records/playernames.h"

// Results from the player's side. Unfinished games ("*") count as games and nothing else.
struct ScoreLine {
    int games = 0, wins = 0, draws = 0, losses = 0;
    // The score in half points: two a win, one a draw.
    int  halfPoints() const { return 2 * wins + draws; }
    void add(int result); // PlayerWon, PlayerDrew, PlayerLost or 0
};
inline constexpr int PlayerWon = 1, PlayerDrew = 2, PlayerLost = 3;

struct OpeningLine {
    int       eco; // ECO index, NoEco for games without a code
    ScoreLine score;
};
struct YearLine {
    int       year; // 1-4095
    ScoreLine score;
};
// The player's rating in one game: date as YYYYMMDD (unknown month or day 0).
struct RatingPoint {
    std::int32_t  date;
    int           rating;
    std::uint32_t number; // the game
};
struct BeatenOpponent {
    std::uint32_t name;   // the opponent's id in the names
    int           rating; // the opponent's rating in that game (0: unknown)
    std::int32_t  date;   // YYYYMMDD, 0 when unknown
    std::uint32_t number; // the game
    bool          playerWhite;
};

struct PlayerRecord {
    std::uint32_t player = 0; // the player's id in the names; 0 when the name was not found
    ScoreLine     asWhite, asBlack, all;
    // By opening for each side: the most played first, then by ECO code.
    std::vector<OpeningLine> whiteOpenings, blackOpenings;
    // Years ascending; games without a year are in the totals only.
    std::vector<YearLine> years;
    // Games with a known date and a rating for the player, by date (file order among equals).
    std::vector<RatingPoint> ratings;
    // Won games, the opponent's rating highest first (unknown ratings after the known ones,
    // file order among equals), at most the limit asked for.
    std::vector<BeatenOpponent> beaten;
};

// The record of the player named exactly name in games (only those marked Matched when
// matchedOnly). At most beatenLimit opponents beaten are kept.
PlayerRecord playerRecord(const std::vector<GameEntry>& games, const PlayerNames& names,
                          std::string_view name, bool matchedOnly = false, int beatenLimit = 10);

// The id of the name stored exactly as name, or 0.
std::uint32_t playerId(const PlayerNames& names, std::string_view name);

// The stored player names that hold text (matchName: ASCII case folded), the one with most
// games first (then by name), each with its number of games; at most limit of them.
struct PlayerCount {
    std::uint32_t name;
    int           games;
};
std::vector<PlayerCount> playersMatching(const std::vector<GameEntry>& games,
                                         const PlayerNames& names, std::string_view text,
                                         std::size_t limit = 50);

// Which of the player's games a selection takes: a side (EitherSide, WhiteSide, BlackSide),
// an ECO index (-1: any, NoEco: games without a code) and a year (0: any).
struct PlayerGames {
    std::uint32_t player;
    NameSide      side = EitherSide;
    int           eco  = -1;
    int           year = 0;
};
// Marks Matched exactly the games of the selection (clearing it on every other); answers how
// many.
std::int64_t markPlayerGames(std::vector<GameEntry>& games, const PlayerGames& selection);
