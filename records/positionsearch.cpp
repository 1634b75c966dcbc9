#include "records/positionsearch.h"

#include <cstring>
#include <memory>

#include "engine/attacks.h"
#include "engine/makemove.h"
#include "records/fileplaces.h"
#include "records/gamefilter.h"
#include "records/pgngrammar.h"
#include "records/pgntags.h"
#include "records/rangedpass.h"
#include "records/san.h"

namespace {

// The search pass's side: replays each game looking for the position, and notes for each
// game in order whether its moves could be read and whether it passed through the position.
// The entries are marked when the ranges' notes are joined.
inline constexpr std::uint8_t NotedUnreadable = 1, NotedSeen = 2;

struct SearchHooks {
    explicit SearchHooks(const SearchFilter& criteria) : filter(criteria) {}

    const SearchFilter&       filter;
    std::vector<std::uint8_t> noted; // one per game read, in file order
    GameTags                  tags;
    int                       staging      = 0;
    bool                      begun        = false; // the Board holds this game's start
    bool                      seen         = false;
    bool                      outOfReach   = false;
    bool                      otherVariant = false;
    char                      fen[MaxTagText + 1] = {};

    void gameStart(std::int64_t) {
        tags.clear();
        staging      = 0;
        begun        = false;
        seen         = false;
        outOfReach   = false;
        otherVariant = false;
        fen[0]       = '\0';
    }
    void tagTaken(const PgnMachine& m) {
        switch (tags.take(m)) {
        case PgnTag::Fen:
            std::memcpy(fen, m.value, static_cast<std::size_t>(m.valueLength) + 1);
            break;
        case PgnTag::Variant:
            otherVariant = !standardVariant(m.value);
            break;
        default:
            break;
        }
    }
    void movetextBegins() {
        begun = true;
        // A game of another variant, or from a FEN that cannot be set up, is not replayed.
        if (otherVariant || !setupStartFrom(fen)) staging |= Unreadable;
    }

    bool moveToken(const char* text, int length) {
        if ((staging & Unreadable) || seen || outOfReach) return true;
        Move move{};
        if (!sanToMove(text, length - 1, &move)) {
            staging |= Unreadable;
            return true;
        }
        if (board.hashKey == filter.positionKey) {
            seen = true; // the position before this move
            return true;
        }
        makeMove(move);
        // Fewer men, or a pawn gone from a start square that the position still holds: the
        // rest of the game cannot reach it, and is not replayed.
        outOfReach = popCount(board.occupied()) < filter.positionMen ||
                     (filter.positionHomePawns[White] & ~board.pieceBits[White][Pawn]) ||
                     (filter.positionHomePawns[Black] & ~board.pieceBits[Black][Pawn]);
        return true;
    }

    bool gameEnd(int, std::int64_t, bool&) {
        if (!begun) movetextBegins(); // a game of tags alone: its start is its last position
        // The position after the last move.
        if (!(staging & Unreadable) && !seen && !outOfReach && board.hashKey == filter.positionKey)
            seen = true;
        noted.push_back(static_cast<std::uint8_t>(((staging & Unreadable) ? NotedUnreadable : 0) |
                                                  (seen ? NotedSeen : 0)));
        return true;
    }

    void gameSkipped(std::int64_t) {}
    void strayByte(std::int64_t, unsigned char) {}
};

} // namespace

bool findPosition(BufferedFile& file, std::vector<GameEntry>& games, const PlayerNames& names,
                  const SearchFilter& filter, std::int64_t& firstMatch, ScanFailure* failure,
                  PassControl* control) {
    for (GameEntry& entry : games)
        entry.info &= ~Matched;
    firstMatch = -1;
    // The entries come from the index pass over the same file, so game k is entry k; a file
    // with more games than entries has changed since.
    const NameMatches nameMatches = namesMatching(names, filter);
    std::size_t       count       = 0;
    bool              overrun     = false;
    const bool        finished    = runRangedPass<SearchPass, SearchHooks>(
        file, control, [&filter] { return std::make_unique<PassRange<SearchHooks>>(filter); },
        [&](PassRange<SearchHooks>& range) {
            for (const std::uint8_t noted : range.hooks.noted) {
                if (count >= games.size()) {
                    overrun = true;
                    return;
                }
                GameEntry& entry = games[count++];
                // A game whose moves do not replay keeps the mark, so the list can show it ("12?").
                if (noted & NotedUnreadable) entry.info |= Unreadable;
                if ((noted & NotedSeen) && entryMatches(entry, filter, nameMatches)) {
                    entry.info |= Matched;
                    if (firstMatch < 0) firstMatch = entry.number;
                }
            }
        });
    const bool ok = finished && !overrun && count == games.size();
    if (finished && !ok && failure) {
        const std::int64_t end = file.size();
        *failure               = ScanFailure{FileProblem::FileChanged, 0, 0, {}};
        locateOffsets(file, &end, 1, failure);
    }
    return ok;
}
