#include "engine/strength.h"

#include <algorithm>

#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"

int                        playingStrength = FullStrength;
std::atomic<std::uint64_t> strengthRandom{0};

namespace {

// splitmix64: a full-period generator whose every state gives a well-mixed number.
std::uint64_t nextRandom(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z               = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z               = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A number from 0 to bound - 1 (bound > 0).
int randomBelow(std::uint64_t& state, int bound) {
    return static_cast<int>(nextRandom(state) % static_cast<std::uint64_t>(bound));
}

// The caller's limits, tightened by the level's.
ThinkLimits levelLimits(const StrengthLevel& level, const ThinkLimits& limits) {
    ThinkLimits tightened = limits;
    tightened.hardLimitMs = std::min(limits.hardLimitMs, level.hardLimitMs);
    tightened.softLimitMs = std::min(limits.softLimitMs, level.softLimitMs);
    tightened.maxDepth    = std::min(limits.maxDepth, level.maxDepth);
    tightened.useBook     = limits.useBook && level.useBook;
    return tightened;
}

// Scores every legal move of side at depth (from side's view) into scores, in the order of
// moves [first, end). False when the clock or a stop request ended the search first. Runs on
// the tables the last thinkMove left, which answer most of the positions at once.
bool scoreRootMoves(int side, int depth, const Move* first, const Move* end, int* scores) {
    const std::uint64_t rootKey = board.hashKey;
    searchPly                   = 0;
    pathKeys[0]                 = rootKey;
    for (const Move* m = first; m != end; ++m) {
        makeMove(*m);
        reversibleCount[1] =
            m->piece == Pawn || capturedType(*m) != NoPiece ? 0 : reversibleCount[0] + 1;
        searchPly         = 1;
        scores[m - first] = -alphaBeta(side ^ 1, -MateScore, MateScore, depth - 1);
        searchPly         = 0;
        unmakeMove(*m);
        if (stopSearch) return false;
    }
    return true;
}

}  // namespace

int levelForElo(int elo) {
    int level = BeginnerStrength;
    while (level < FullStrength && strengthLevels[level + 1].elo <= elo) ++level;
    return level;
}

int levelForSkill(int skill) {
    return std::clamp(skill, 0, 20) * FullStrength / 20;
}

int thinkAtLevel(int level, int side, Move* out, const ThinkLimits& limits,
                 std::uint64_t& random) {
    if (level >= FullStrength || level < BeginnerStrength) return searchBestMove(side, out, limits);
    const StrengthLevel& strength = strengthLevels[level];
    const int            result   = searchBestMove(side, out, levelLimits(strength, limits));
    // The book, no move at all, a lost position or a search stopped in its first iteration:
    // nothing to weaken; a level that only searches less keeps its search's move.
    if (thinkFromBook || out->fromTo == 0 || result == -MateScore || thinkDepth == 0 ||
        (strength.noiseCp == 0 && strength.mistakePercent == 0))
        return result;

    Move        moves[MaxMovesPerPly];
    int         scores[MaxMovesPerPly];
    const Move* end   = genLegalMoves(moves);
    const int   count = static_cast<int>(end - moves);
    if (count < 2 || !scoreRootMoves(side, thinkDepth, moves, end, scores)) return result;

    const int best = *std::max_element(scores, scores + count);
    // A mate the level has found is played; the beginner may overlook it.
    if (best == MateScore && level > BeginnerStrength) return result;

    int chosen = -1;
    if (randomBelow(random, 100) < strength.mistakePercent) {
        int candidates = 0;
        for (int i = 0; i < count; ++i)
            if (scores[i] < best && scores[i] >= best - strength.mistakeMarginCp) ++candidates;
        if (candidates > 0) {
            int pick = randomBelow(random, candidates);
            for (int i = 0; i < count && chosen < 0; ++i)
                if (scores[i] < best && scores[i] >= best - strength.mistakeMarginCp &&
                    pick-- == 0)
                    chosen = i;
        }
    }
    if (chosen < 0) {
        int top = -2 * MateScore;
        for (int i = 0; i < count; ++i) {
            const int noisy =
                scores[i] + (strength.noiseCp > 0 ? randomBelow(random, strength.noiseCp + 1) : 0);
            if (noisy > top) {
                top    = noisy;
                chosen = i;
            }
        }
    }
    *out = moves[chosen];
    return scores[chosen];
}
