// Playing strength: levels from beginner to full. The full level is thinkMove itself; the
// lower ones search less and, with a chance each level fixes, choose a weaker move than the
// best they found, so that a beginner can win.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/board.h"
#include "engine/think.h"

// What a level does. The search runs under the level's limits (or the caller's, where those
// are tighter); then every legal root move is scored at the depth reached and one is chosen:
// with mistakePercent chance a random move scoring below the best but within mistakeMarginCp
// of it, otherwise the move whose score plus a random 0..noiseCp is highest.
struct StrengthLevel {
    int          elo;             // estimated rating, measured against a rated peer
    int          maxDepth;        // the last iteration
    std::int64_t hardLimitMs;     // the search budget, as in ThinkLimits
    std::int64_t softLimitMs;
    bool         useBook;
    int          noiseCp;         // 0: the best score is taken as it is
    int          mistakePercent;  // 0 to 100
    int          mistakeMarginCp;
};

inline constexpr int StrengthLevelCount = 6;
inline constexpr int BeginnerStrength   = 0;
inline constexpr int FullStrength       = StrengthLevelCount - 1;

// Beginner first. The ratings are estimates from 10-game matches at 100 ms a move against
// Stockfish 15.1 with UCI_LimitStrength (its floor is 1350) and, below that, against the
// next level up; see the README. At the desktop's 4-second budget the top two play stronger.
// clang-format off
inline constexpr StrengthLevel strengthLevels[StrengthLevelCount] = {
    //  elo  depth  hard  soft  book  noise  mistake%  margin
    {   200,    1,   300,  300, false,  150,      30,     700},
    {   700,    2,   500,  500, false,  100,      15,     350},
    {   850,    3,  1000, 1000, true,    50,       8,     150},
    {  1150,    4,  1500, 1000, true,    20,       3,      80},
    {  1700,    6,  2000, 1000, true,     0,       0,       0},
    {  1850, MaxSearchDepth, HardTimeLimitMs, SoftTimeLimitMs, true, 0, 0, 0},
};
// clang-format on

// The level thinkMove plays at; FullStrength unless a player or a UCI option chose another.
// Set only while no search runs (before a worker starts one, or on the searching thread).
extern int playingStrength;
// The generator state of thinkMove's level choices; seeded by whoever sets a level. Atomic, as
// searches on several threads may each take their choices from it.
extern std::atomic<std::uint64_t> strengthRandom;

// The level for a UCI_Elo: the strongest whose rating does not exceed elo (the beginner's
// below it).
int levelForElo(int elo);
// The level for a UCI Skill Level from 0 to 20 (20: full strength).
int levelForSkill(int skill);

// Chooses a move for side, the colour to move on the Board, at level (0 to FullStrength),
// under limits (the caller's budget and its iterationDone) tightened by the level's own.
// random is the level's generator state; its choices advance it. Answers as thinkMove does;
// at FullStrength it is searchBestMove(side, out, limits) and nothing else.
int thinkAtLevel(int level, int side, Move* out, const ThinkLimits& limits,
                 std::uint64_t& random);
