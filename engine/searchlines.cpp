#include "engine/searchlines.h"

#include <algorithm>
#include <cstring>

#include "engine/attacks.h"
#include "engine/hash.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"

thread_local constinit SearchLine searchLines[MaxSearchLines]{};
thread_local constinit int        searchLineCount = 0;

namespace {

bool sameMove(const Move& a, const Move& b) {
    return a.fromTo == b.fromTo && promotionType(a) == promotionType(b);
}

// The legal move of [first, end) that wanted names, or null. A move from the transposition
// table has no promotion piece: the queen is taken.
const Move* findLegal(const Move* first, const Move* end, const Move& wanted, bool fromTable) {
    for (const Move* m = first; m != end; ++m)
        if (m->fromTo == wanted.fromTo &&
            (fromTable ? promotionType(*m) == 0 || promotionType(*m) == Queen
                       : promotionType(*m) == promotionType(wanted)))
            return m;
    return nullptr;
}

// Plays line from the Board's position as far as its moves are legal, then the table's moves
// up to maxPlies in all; the line is cut or lengthened to what was played. The Board is
// restored.
void followLine(Move* line, int maxPlies) {
    Move made[MaxPly];
    int  count = 0;
    Move legal[MaxMovesPerPly];
    while (count < MaxPly) {
        const Move* end       = genLegalMoves(legal);
        Move        wanted    = line[count];
        const bool  fromTable = wanted.fromTo == 0;
        if (end == legal || (fromTable && count >= maxPlies)) break;
        if (fromTable) {
            HashEntry entry{};
            if (!probeHash(&entry) || entry.move == 0) break;
            wanted        = Move{};
            wanted.fromTo = entry.move;
        }
        const Move* move = findLegal(legal, end, wanted, fromTable);
        if (!move) break;
        line[count] = *move;
        makeMove(*move);
        made[count++] = *move;
    }
    line[count] = Move{};
    while (count > 0) unmakeMove(made[--count]);
}

// Positions pliesToMate may visit for one line: a mate the search saw is short, and a long
// one whose replies are too many to walk is reported by its depth.
constexpr int MateWalkBudget = 20000;

// The plies to the checkmate from the Board at ply, where the side to move mates (mating) or
// is mated, and line[ply...] the moves that lead there: the mating side plays the line's move
// or, when that does not mate, the table's; the mated side each of its replies in turn, and
// the longest defence is kept in line. -1 when a branch does not reach the checkmate.
int pliesToMate(Move* line, int ply, bool mating, int& budget) {
    Move        legal[MaxMovesPerPly];
    const Move* end  = genLegalMoves(legal);
    const int   side = board.sideToMove;
    if (end == legal) return !mating && isAttacked(board.kingSquare[side], side ^ 1) ? 0 : -1;
    if (ply >= MaxPly || --budget < 0) return -1;

    Move branch[MaxPly + 1];
    if (mating) {
        // The line's move first, then the table's: a line past a mated node may be stale.
        HashEntry entry{};
        Move      fromTable{};
        if (probeHash(&entry)) fromTable.fromTo = entry.move;
        for (int source = 0; source < 2; ++source) {
            const Move& wanted = source == 0 ? line[ply] : fromTable;
            if (wanted.fromTo == 0 || (source == 1 && wanted.fromTo == line[ply].fromTo)) continue;
            const Move* move = findLegal(legal, end, wanted, source == 1);
            if (!move) continue;
            const Move played = *move;
            for (int i = ply + 1; i <= MaxPly; ++i) branch[i] = source == 0 ? line[i] : Move{};
            makeMove(played);
            const int plies = pliesToMate(branch, ply + 1, false, budget);
            unmakeMove(played);
            if (plies < 0) continue;
            line[ply] = played;
            for (int i = ply + 1; i <= MaxPly; ++i) line[i] = branch[i];
            return plies + 1;
        }
        // The capture search mates without keeping its move in the line or the table: a move
        // that mates at once ends the line.
        for (const Move* m = legal; m != end; ++m) {
            makeMove(*m);
            Move      replies[MaxMovesPerPly];
            const int mover = board.sideToMove;
            const bool mates = genLegalMoves(replies) == replies &&
                               isAttacked(board.kingSquare[mover], mover ^ 1);
            unmakeMove(*m);
            if (!mates) continue;
            line[ply] = *m;
            for (int i = ply + 1; i <= MaxPly; ++i) line[i] = Move{};
            return 1;
        }
        return -1;
    }

    // Each reply is walked on a copy of the line (the line's own moves only after its own
    // reply); the longest is kept.
    int longest = -1;
    for (const Move* m = legal; m != end; ++m) {
        const bool onLine = sameMove(*m, line[ply]);
        for (int i = ply + 1; i <= MaxPly; ++i) branch[i] = onLine ? line[i] : Move{};
        makeMove(*m);
        const int plies = pliesToMate(branch, ply + 1, true, budget);
        unmakeMove(*m);
        if (plies < 0) return -1;
        if (plies > longest) {
            longest   = plies;
            line[ply] = *m;
            for (int i = ply + 1; i <= MaxPly; ++i) line[i] = branch[i];
        }
    }
    return longest + 1;
}

// The order of lines, best first: the score, and among mates the nearer mate to give or the
// farther one to take.
long lineRank(const SearchLine& line) {
    if (line.score == MateScore) return 1000000L - line.mateMoves;
    if (line.score == -MateScore) return -1000000L - line.mateMoves;
    return line.score;
}

}  // namespace

void keepSearchLine(SearchLine& line, int score, int depth) {
    std::memcpy(line.pv, pvTable[0], sizeof line.pv);
    line.score     = score;
    line.mateMoves = 0;
    // A line the table cut short is lengthened from it, to the iteration's depth; a mate's to
    // the checkmate, along the longest defence.
    followLine(line.pv, depth);
    if (score != MateScore && score != -MateScore) return;
    Move walked[MaxPly + 1];
    std::memcpy(walked, line.pv, sizeof walked);
    int       budget = MateWalkBudget;
    const int plies  = pliesToMate(walked, 0, score == MateScore, budget);
    if (plies >= 0) {
        std::memcpy(line.pv, walked, sizeof walked);
        line.pv[plies] = Move{};
    }
    if (score == MateScore)
        line.mateMoves = plies > 0 ? (plies + 1) / 2 : std::max(1, (depth + 1) / 2);
    else
        line.mateMoves = plies >= 0 ? -(plies / 2) : -std::max(1, depth / 2);
}

RootLines::RootLines(const ThinkLimits& limits) {
    m_lines      = std::clamp(limits.lines, 1, MaxSearchLines);
    m_restricted = limits.searchMoves != nullptr && limits.searchMoveCount > 0;
    if (m_lines == 1 && !m_restricted) return;

    Move        legal[MaxMovesPerPly];
    const Move* end = genLegalMoves(legal);
    for (const Move* m = legal; m != end; ++m) {
        bool wanted = !m_restricted;
        for (int i = 0; i < limits.searchMoveCount && !wanted; ++i)
            wanted = sameMove(*m, limits.searchMoves[i]);
        if (wanted) m_moves[m_count++] = *m;
    }
    if (m_count == 0) {  // none of the moves asked for is legal: all of them
        m_restricted = false;
        m_count      = static_cast<int>(end - legal);
        std::copy(static_cast<const Move*>(legal), end, m_moves);
    }
    m_lines = std::min(m_lines, m_count);
    m_plain = m_count == 0 || (m_lines == 1 && !m_restricted);
}

bool RootLines::searchIteration(int side, int depth) {
    SearchLine fresh[MaxSearchLines];
    Move       allowed[MaxMovesPerPly];
    int        found = 0;
    for (int k = 0; k < m_lines; ++k) {
        int count = 0;
        for (int i = 0; i < m_count; ++i) {
            bool taken = false;
            for (int j = 0; j < k && !taken; ++j) taken = sameMove(m_moves[i], fresh[j].pv[0]);
            if (!taken) allowed[count++] = m_moves[i];
        }
        if (count == 0) break;

        // The first line of all the moves is the plain root, hash entry and all. Each line
        // tries first the move it chose the iteration before.
        const bool whole  = k == 0 && !m_restricted;
        rootMoves         = whole ? nullptr : allowed;
        rootMoveCount     = whole ? 0 : count;
        rootPreferredMove = 0;
        if (k < searchLineCount)
            for (int i = 0; i < count; ++i)
                if (sameMove(allowed[i], searchLines[k].pv[0])) rootPreferredMove = allowed[i].fromTo;
        if (k > 0) pvTable[0][0] = Move{};
        const int score = searchRoot(side, -MateScore, MateScore, depth);
        rootMoves     = nullptr;
        rootMoveCount = 0;
        if (stopSearch) {
            if (k > 0) std::memcpy(pvTable[0], fresh[0].pv, sizeof fresh[0].pv);
            return false;
        }
        // Every move of the line loses to a mate, so none raised alpha: it still needs one.
        if (pvTable[0][0].fromTo == 0) {
            pvTable[0][0] = allowed[0];
            pvTable[0][1] = Move{};
        }
        keepSearchLine(fresh[found++], score, depth);
    }
    // Into searchLines best first, equal lines in the order found (an insertion sort: the
    // search allocates nothing).
    for (int k = 0; k < found; ++k) {
        int hole = k;
        while (hole > 0 && lineRank(searchLines[hole - 1]) < lineRank(fresh[k])) {
            searchLines[hole] = searchLines[hole - 1];
            --hole;
        }
        searchLines[hole] = fresh[k];
    }
    searchLineCount = found;
    std::memcpy(pvTable[0], searchLines[0].pv, sizeof searchLines[0].pv);
    return true;
}

bool RootLines::allMates() const {
    for (int k = 0; k < searchLineCount; ++k)
        if (searchLines[k].score != MateScore && searchLines[k].score != -MateScore) return false;
    return searchLineCount > 0;
}

bool RootLines::firstAllowed(Move* out) const {
    if (m_plain || m_count == 0) return false;
    *out = m_moves[0];
    return true;
}
