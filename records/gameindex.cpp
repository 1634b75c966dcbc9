#include "records/gameindex.h"

#include <cstring>

#include "engine/attacks.h"
#include "engine/makemove.h"
#include "records/gamefilter.h"
#include "records/pgnfastindex.h"
#include "records/pgngrammar.h"
#include "records/san.h"

namespace {

// The index pass's side of the grammar: one entry per game, the file's counts.
struct IndexHooks {
    FileInfo&               info;
    std::vector<GameEntry>& games;
    GameEntry               staging{};
    std::uint32_t           halfMoves  = 0;
    bool                    blackFirst = false;

    void gameStart(std::int64_t offset) {
        staging       = GameEntry{};
        staging.info  = NoEco;
        staging.start = offset;
        halfMoves     = 0;
        blackFirst    = false;
    }

    void tagTaken(const PgnMachine& m) {
        const char* name = m.name;
        const char* v    = m.value;
        switch (name[0]) {
        case 'D':
            if (std::strcmp(name, "Date") == 0 && m.valueLength >= 4 &&
                (v[0] == '1' || v[0] == '2') && v[1] >= '0' && v[1] <= '9' && v[2] >= '0' &&
                v[2] <= '9' && v[3] >= '0' && v[3] <= '9')
                staging.year = static_cast<std::int16_t>((v[0] - '0') * 1000 + (v[1] - '0') * 100 +
                                                         (v[2] - '0') * 10 + (v[3] - '0'));
            break;
        case 'W':
            if (std::strcmp(name, "White") == 0)
                copyEntryName(staging.white, v, static_cast<std::size_t>(m.valueLength));
            break;
        case 'B':
            if (std::strcmp(name, "Black") == 0)
                copyEntryName(staging.black, v, static_cast<std::size_t>(m.valueLength));
            break;
        case 'E':
            if (std::strcmp(name, "ECO") == 0) {
                const int eco = ecoIndexOf(v, m.valueLength);
                if (eco != NoEco)
                    staging.info = static_cast<std::uint16_t>((staging.info & ~EcoMask) | eco);
            }
            break;
        case 'F':
            // A game from a set-up position counts its moves from the side the FEN names.
            if (std::strcmp(name, "FEN") == 0) blackFirst = gameStartOf(v).blackFirst;
            break;
        case 'V':
            if (std::strcmp(name, "Variant") == 0 && !standardVariant(v))
                staging.info = static_cast<std::uint16_t>(staging.info | Unreadable);
            break;
        default:
            break;
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
        const std::uint32_t moves = (halfMoves + (blackFirst ? 1 : 0) + 1) / 2;
        staging.moves             = static_cast<std::uint16_t>(moves > 65535 ? 65535 : moves);
        staging.end               = lastOffset;
        games.push_back(staging);
        ++info.games;
        return true;
    }

    void gameSkipped(std::int64_t offset) {
        if (info.skippedGames < NotedSkips) info.skippedAt[info.skippedGames] = offset;
        ++info.skippedGames;
    }

    void strayByte(std::int64_t offset, unsigned char c) {
        // A UTF-8 byte-order mark opening the file is no stray text.
        static constexpr unsigned char byteOrderMark[3] = {0xEF, 0xBB, 0xBF};
        if (offset < 3 && c == byteOrderMark[offset]) return;
        if (info.strayBytes++ == 0) info.firstStray = offset;
    }

    void zeroByte(std::int64_t offset) {
        if (info.zeroBytes++ == 0) info.firstZero = offset;
    }
};

// The search pass's side: replays each game looking for the position, then tests its entry.
struct SearchHooks {
    std::vector<GameEntry>& games;
    const SearchFilter&     filter;
    std::int64_t&           firstMatch;
    std::size_t             count      = 0;
    int                     staging    = NoEco;
    bool                    begun      = false; // the Board holds this game's start
    bool                    seen       = false;
    bool                    outOfReach = false;
    bool                    overrun    = false; // more games than entries: the file changed
    bool                    otherVariant = false;
    char                    fen[MaxTagText + 1] = {};

    void gameStart(std::int64_t) {
        staging      = NoEco;
        begun        = false;
        seen         = false;
        outOfReach   = false;
        otherVariant = false;
        fen[0]       = '\0';
    }
    void tagTaken(const PgnMachine& m) {
        if (m.name[0] == 'F' && std::strcmp(m.name, "FEN") == 0)
            std::memcpy(fen, m.value, static_cast<std::size_t>(m.valueLength) + 1);
        else if (m.name[0] == 'V' && std::strcmp(m.name, "Variant") == 0)
            otherVariant = !standardVariant(m.value);
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

    bool gameEnd(int result, std::int64_t, bool&) {
        // The entries come from the index pass over the same file, so game k is entry k.
        if (count >= games.size()) {
            overrun = true;
            return false;
        }
        if (!begun) movetextBegins(); // a game of tags alone: its start is its last position
        GameEntry& entry = games[count++];
        staging |= result;
        // The position after the last move.
        if (!(staging & Unreadable) && !seen && !outOfReach && board.hashKey == filter.positionKey)
            seen = true;
        // A game whose moves do not replay keeps the mark, so the list can show it ("12?").
        if (staging & Unreadable) entry.info |= Unreadable;
        if (seen && entryMatches(entry, filter)) {
            entry.info |= Matched;
            if (firstMatch < 0) firstMatch = entry.number;
        }
        return true;
    }

    void gameSkipped(std::int64_t) {}
    void strayByte(std::int64_t, unsigned char) {}
    void zeroByte(std::int64_t) {}
};

template <int Mode, class Hooks>
void runOverFile(BufferedFile& file, Hooks& hooks) {
    PgnMachine   machine;
    std::int64_t offset = 0;
    if (!file.seek(0)) return;
    for (;;) {
        const std::size_t n = file.refill();
        if (n == 0) break;
        const char* const data = file.data();
        const char* const last = data + n;
        // A zero byte is no text: the grammar runs over the text between zero bytes, and a
        // game that holds one is damaged.
        for (const char* p = data; p < last;) {
            const char* zero = static_cast<const char*>(std::memchr(p, 0, last - p));
            runPgnPass<Mode>(machine, p, zero ? zero : last, offset + (p - data), hooks);
            if (!zero) break;
            const std::int64_t at = offset + (zero - data);
            hooks.zeroByte(at);
            skipPgnGame(machine, at, hooks);
            machine.previous = '\0';
            p                = zero + 1;
        }
        offset += static_cast<std::int64_t>(n);
    }
    finishPgn<Mode>(machine, offset, hooks);
}

} // namespace

void quoteFileBytes(const char* line, std::size_t n, char* text, std::size_t size) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::size_t           k     = 0;
    for (std::size_t i = 0; i < n;) {
        const unsigned char c      = static_cast<unsigned char>(line[i]);
        std::size_t         length = c < 0x80 ? 1 : c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        for (std::size_t j = 1; j < length; ++j)
            if (i + j >= n || (static_cast<unsigned char>(line[i + j]) & 0xC0) != 0x80) length = 0;
        if (length == 1 && (c < 0x20 || c == 0x7F)) length = 0;
        if (length == 0) {
            if (k + 4 >= size) break;
            text[k++] = '\\';
            text[k++] = 'x';
            text[k++] = hex[c >> 4];
            text[k++] = hex[c & 15];
            ++i;
            continue;
        }
        if (k + length >= size) break;
        std::memcpy(text + k, line + i, length);
        k += length;
        i += length;
    }
    text[k] = '\0';
}

bool locateOffsets(BufferedFile& file, const std::int64_t* offsets, int count,
                   ScanFailure* places) {
    if (count <= 0) return true;
    std::int64_t line = 1, lineStart = 0, position = 0;
    std::vector<std::int64_t> starts(static_cast<std::size_t>(count));
    char                      previous = '\0';
    int                       next     = 0;
    if (!file.seek(0)) return false;
    while (next < count) {
        const std::size_t n = file.refill();
        const char*       data = file.data();
        for (std::size_t i = 0; i < n && next < count; ++i) {
            while (next < count && offsets[next] <= position + static_cast<std::int64_t>(i)) {
                places[next].line   = line;
                starts[static_cast<std::size_t>(next)] = lineStart;
                ++next;
            }
            const char c = data[i];
            // CR, LF and CR LF each end one line.
            if (c == '\r' || (c == '\n' && previous != '\r')) ++line;
            if (c == '\r' || c == '\n') lineStart = position + static_cast<std::int64_t>(i) + 1;
            previous = c;
        }
        position += static_cast<std::int64_t>(n);
        if (n == 0) break;
    }
    for (; next < count; ++next) { // offsets at or past the end of the file
        places[next].line                      = line;
        starts[static_cast<std::size_t>(next)] = lineStart;
    }
    for (int k = 0; k < count; ++k) {
        char              text[255];
        std::size_t       n = 0;
        if (file.seek(starts[static_cast<std::size_t>(k)])) n = file.read(text, sizeof text);
        std::size_t length = 0;
        while (length < n && text[length] != '\n' && text[length] != '\r')
            ++length;
        quoteFileBytes(text, length, places[k].text, sizeof places[k].text);
    }
    return true;
}

std::vector<ScanFailure> skippedGamePlaces(BufferedFile& file, const FileInfo& info) {
    const int noted = info.skippedGames < NotedSkips ? info.skippedGames : NotedSkips;
    std::vector<ScanFailure> places(static_cast<std::size_t>(noted));
    if (!locateOffsets(file, info.skippedAt, noted, places.data())) places.clear();
    return places;
}

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
        runOverFile<IndexPass>(file, hooks);
        if (info.games > 0 || info.skippedGames == 0) return true;
        if (failure) {
            *failure = ScanFailure{};
            locateOffsets(file, info.skippedAt, 1, failure);
        }
        return false;
    }
    if (mode != SearchMode || !filter || !firstMatch) return false;
    for (GameEntry& entry : games)
        entry.info &= ~Matched;
    *firstMatch = -1;
    SearchHooks hooks{games, *filter, *firstMatch};
    runOverFile<SearchPass>(file, hooks);
    const bool ok = !hooks.overrun && hooks.count == games.size();
    if (!ok && failure) {
        const std::int64_t end = file.size();
        *failure               = ScanFailure{};
        locateOffsets(file, &end, 1, failure);
    }
    // Back to the position the current game shows.
    setupGameStart();
    for (int i = 0; i < gamePly && i < MaxGameMoves && gameMoves[i].piece; ++i)
        makeMove(gameMoves[i]);
    return ok;
}

std::string scanFailureMessage(const ScanFailure& failure) {
    return "ファイルを開くのに失敗しました\n\n" + std::to_string(failure.line) + "行目\n" +
           failure.text + "\n";
}

std::string skippedGamesMessage(std::int64_t skipped, const std::vector<ScanFailure>& places) {
    std::string text = "読み込めない棋譜が";
    text.append(std::to_string(skipped)).append("局ありました。読み込めた棋譜だけを開きます。\n");
    for (const ScanFailure& place : places)
        text.append("\n").append(std::to_string(place.line)).append("行目\n").append(place.text).append("\n");
    if (skipped > static_cast<std::int64_t>(places.size())) text.append("\n…\n");
    return text;
}
