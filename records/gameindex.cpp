#include "records/gameindex.h"

#include <cstring>

#include "engine/attacks.h"
#include "engine/makemove.h"
#include "records/gamefilter.h"
#include "records/pgngrammar.h"
#include "records/san.h"

namespace {

// The index pass's side of the grammar: one entry per game, the file's counts.
struct IndexHooks {
    FileInfo&               info;
    std::vector<GameEntry>& games;
    GameEntry               staging{};
    std::uint32_t           halfMoves = 0;

    void gameStart(std::int64_t offset) {
        staging       = GameEntry{};
        staging.info  = NoEco;
        staging.start = offset;
        halfMoves     = 0;
    }

    void tagTaken(const PgnMachine& m) {
        const char* name = m.name;
        if (std::strcmp(name, "Date") == 0) {
            const char* v = m.value;
            if (m.valueLength >= 4 && (v[0] == '1' || v[0] == '2') && v[1] >= '0' && v[1] <= '9' &&
                v[2] >= '0' && v[2] <= '9' && v[3] >= '0' && v[3] <= '9')
                staging.year = static_cast<std::int16_t>((v[0] - '0') * 1000 + (v[1] - '0') * 100 +
                                                         (v[2] - '0') * 10 + (v[3] - '0'));
        } else if (std::strcmp(name, "White") == 0) {
            copyEntryName(staging.white, m.value, static_cast<std::size_t>(m.valueLength));
        } else if (std::strcmp(name, "Black") == 0) {
            copyEntryName(staging.black, m.value, static_cast<std::size_t>(m.valueLength));
        } else if (std::strcmp(name, "ECO") == 0) {
            const int eco = ecoIndexOf(m.value, m.valueLength);
            if (eco != NoEco)
                staging.info = static_cast<std::uint16_t>((staging.info & ~EcoMask) | eco);
        }
    }

    void movetextBegins() {}

    bool moveToken(const char*, int) {
        ++halfMoves;
        return true;
    }

    bool gameEnd(int result, std::int64_t lastOffset, bool&) {
        if (result == WhiteWon)
            ++info.whiteWins;
        else if (result == BlackWon)
            ++info.blackWins;
        else if (result == Drawn)
            ++info.draws;
        const int eco = staging.info & EcoMask;
        if (eco != NoEco) ++info.ecoCounts[eco]; // once per game, with its last ECO tag
        staging.info              = static_cast<std::uint16_t>(staging.info | result | Matched);
        staging.number            = static_cast<std::uint32_t>(info.games);
        const std::uint32_t moves = (halfMoves + 1) / 2;
        staging.moves             = static_cast<std::uint16_t>(moves > 65535 ? 65535 : moves);
        staging.end               = lastOffset;
        games.push_back(staging);
        ++info.games;
        return true;
    }
};

// The search pass's side: replays each game looking for the position, then tests its entry.
struct SearchHooks {
    std::vector<GameEntry>& games;
    const SearchFilter&     filter;
    std::int64_t&           firstMatch;
    std::size_t             count      = 0;
    int                     staging    = NoEco;
    bool                    seen       = false;
    bool                    outOfReach = false;

    void gameStart(std::int64_t) {
        staging    = NoEco;
        seen       = false;
        outOfReach = false;
    }
    void tagTaken(const PgnMachine&) {}
    void movetextBegins() { setupStartKeepingMoves(); }

    bool moveToken(const char* text, int length) {
        if ((staging & Unreadable) || seen || outOfReach) return true;
        Move move{};
        if (!sanToMove(text, length - 1, &move)) {
            staging |= Unreadable;
            return true;
        }
        if (board.hashKey == filter.positionKey) {
            seen = true; // the position before this move; the one after the last never counts
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

    bool gameEnd(int result, std::int64_t, bool&) {
        // The entries come from the index pass over the same file, so game k is entry k.
        if (count >= games.size()) return false;
        GameEntry& entry = games[count++];
        staging |= result;
        // A game whose moves do not replay keeps the mark, so the list can show it ("12?").
        if (staging & Unreadable) entry.info |= Unreadable;
        if (seen && entryMatches(entry, filter)) {
            entry.info |= Matched;
            if (firstMatch < 0) firstMatch = entry.number;
        }
        return true;
    }
};

// Fills failure with the line holding the byte at offset (or the end of the file there).
void locateFailure(BufferedFile& file, std::int64_t offset, ScanFailure& failure) {
    failure.line           = 1;
    failure.text[0]        = '\0';
    std::int64_t lineStart = 0, position = 0;
    if (!file.seek(0)) return;
    while (position < offset) {
        const std::size_t n = file.refill();
        if (n == 0) break;
        const char*       data = file.data();
        const std::size_t take = static_cast<std::size_t>(offset - position) < n
                                     ? static_cast<std::size_t>(offset - position)
                                     : n;
        for (const char* p = data;
             (p = static_cast<const char*>(std::memchr(p, '\n', take - (p - data)))); ++p) {
            ++failure.line;
            lineStart = position + (p - data) + 1;
        }
        position += static_cast<std::int64_t>(n);
    }
    char line[256];
    if (!file.seek(lineStart)) return;
    const std::size_t n = file.read(line, 255);
    std::size_t       k = 0;
    while (k < n && line[k] != '\n' && line[k] != '\0')
        ++k;
    if (k > 0 && line[k - 1] == '\r') --k;
    std::memcpy(failure.text, line, k);
    failure.text[k] = '\0';
}

template <int Mode, class Hooks>
bool runOverFile(BufferedFile& file, Hooks& hooks, ScanFailure* failure) {
    PgnMachine   machine;
    std::int64_t offset = 0;
    bool         ended  = false;
    if (!file.seek(0)) return false;
    while (!ended) {
        std::size_t n = file.refill();
        if (n == 0) break;
        const char* data = file.data();
        // A zero byte ends the file for the scanner.
        if (const void* zero = std::memchr(data, 0, n)) {
            n     = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
            ended = true;
        }
        const char* stop = runPgn<Mode>(machine, data, data + n, offset, hooks);
        if (machine.state == PgnFailed) {
            if (failure) locateFailure(file, offset + (stop - data), *failure);
            return false;
        }
        offset += static_cast<std::int64_t>(n);
    }
    if (machine.state != BetweenGames) {
        if (failure) locateFailure(file, offset, *failure);
        return false;
    }
    return true;
}

} // namespace

void setPositionCriterion(SearchFilter& filter) {
    filter.positionKey              = board.hashKey;
    filter.positionMen              = popCount(board.occupied());
    filter.positionHomePawns[White] = board.pieceBits[White][Pawn] & 0x000000000000FF00;
    filter.positionHomePawns[Black] = board.pieceBits[Black][Pawn] & 0x00FF000000000000;
}

SearchFilter emptyFilter() {
    SearchFilter filter{};
    filter.eco = NoEco;
    return filter;
}

bool filterIsEmpty(const SearchFilter& filter) {
    return filter.name[0] == '\0' && filter.eco == NoEco && filter.positionKey == 0 &&
           filter.resultMask == 0 && filter.yearFrom == 0 && filter.yearTo == 0;
}

bool scanPgnFile(BufferedFile& file, FileInfo& info, std::vector<GameEntry>& games, int mode,
                 const SearchFilter* filter, std::int64_t* firstMatch, ScanFailure* failure) {
    if (mode == IndexMode) {
        IndexHooks hooks{info, games};
        return runOverFile<IndexPass>(file, hooks, failure);
    }
    if (mode != SearchMode || !filter || !firstMatch) return false;
    for (GameEntry& entry : games)
        entry.info &= ~Matched;
    *firstMatch = -1;
    SearchHooks hooks{games, *filter, *firstMatch};
    const bool  ok = runOverFile<SearchPass>(file, hooks, failure);
    // Back to the position the current game shows.
    setupStartKeepingMoves();
    for (int i = 0; i < gamePly && i < MaxGameMoves && gameMoves[i].piece; ++i)
        makeMove(gameMoves[i]);
    return ok;
}

std::string scanFailureMessage(const ScanFailure& failure) {
    return "ファイルを開くのに失敗しました\n\n" + std::to_string(failure.line) + "行目\n" +
           failure.text + "\n";
}
