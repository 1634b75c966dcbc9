#include "records/indexpass.h"

#include <memory>
#include <string_view>

#include "records/entrygrowth.h"
#include "records/fileplaces.h"
#include "records/pgngrammar.h"
#include "records/pgntags.h"
#include "records/rangedpass.h"

namespace {

// The index pass's side of the grammar: one entry per game, the counts (of a range of the
// file; the ranges' are joined in order).
struct IndexHooks {
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names; // this range's players, events, sites and rounds; joined with the file's
    GameEntry              staging{};
    GameTags               tags;
    std::int64_t           start      = 0;
    std::uint32_t          halfMoves  = 0;
    bool                   blackFirst = false;
    // The event and site of the game before: the games of one event follow one another, and
    // comparing with the text last seen is cheaper than looking it up.
    std::uint32_t          lastEvent = 0, lastSite = 0;

    std::uint32_t intern(const PgnMachine& m) {
        return names.intern({m.value, static_cast<std::size_t>(m.valueLength)});
    }
    std::uint32_t internAgain(std::uint32_t& last, const PgnMachine& m) {
        const std::string_view text{m.value, static_cast<std::size_t>(m.valueLength)};
        if (names.name(last) != text) last = names.intern(text);
        return last;
    }

    void gameStart(std::int64_t offset) {
        staging      = GameEntry{};
        staging.info = NoEco;
        tags.clear();
        start      = offset;
        halfMoves  = 0;
        blackFirst = false;
    }

    void tagTaken(const PgnMachine& m) {
        const char* v = m.value;
        switch (tags.take(m)) {
        case PgnTag::Date: {
            const PgnDate date = dateOf(v, m.valueLength);
            staging.year       = static_cast<std::int16_t>(date.year);
            staging.month      = static_cast<std::uint8_t>(date.month);
            staging.day        = static_cast<std::uint8_t>(date.day);
            break;
        }
        case PgnTag::WhiteName:
            staging.white = intern(m);
            break;
        case PgnTag::BlackName:
            staging.black = intern(m);
            break;
        case PgnTag::Event:
            staging.event = internAgain(lastEvent, m);
            break;
        case PgnTag::Site:
            staging.site = internAgain(lastSite, m);
            break;
        case PgnTag::Round:
            staging.round = intern(m);
            break;
        case PgnTag::WhiteElo:
            staging.whiteElo = static_cast<std::uint16_t>(ratingOf(v, m.valueLength));
            break;
        case PgnTag::BlackElo:
            staging.blackElo = static_cast<std::uint16_t>(ratingOf(v, m.valueLength));
            break;
        case PgnTag::Eco: {
            const int eco = ecoIndexOf(v, m.valueLength);
            if (eco != NoEco)
                staging.info = static_cast<std::uint16_t>((staging.info & ~EcoMask) | eco);
            break;
        }
        case PgnTag::Fen:
            // A game from a set-up position counts its moves from the side the FEN names.
            blackFirst = gameStartOf(v).blackFirst;
            break;
        case PgnTag::Variant:
            if (!standardVariant(v)) staging.info = static_cast<std::uint16_t>(staging.info | Unreadable);
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
        if (eco != NoEco) ++info.ecoCounts[eco];
        staging.info              = static_cast<std::uint16_t>(staging.info | result | Matched);
        staging.number            = static_cast<std::uint32_t>(info.games);
        const std::uint32_t moves = (halfMoves + (blackFirst ? 1 : 0) + 1) / 2;
        staging.moves             = static_cast<std::uint16_t>(moves > 65535 ? 65535 : moves);
        staging.setRange(start, lastOffset);
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

// Adds the counts, names and entries of one range of the index pass to the file's.
void joinIndexRange(FileInfo& info, std::vector<GameEntry>& games, PlayerNames& names,
                    std::int64_t fileSize, IndexHooks& part) {
    const std::vector<std::uint32_t> ids = names.absorb(part.names);
    if (!part.games.empty())
        reserveEntries(games, part.games.size(), part.games.back().end() + 1, fileSize);
    for (GameEntry entry : part.games) {
        entry.number += static_cast<std::uint32_t>(info.games);
        entry.white = ids[entry.white];
        entry.black = ids[entry.black];
        entry.event = ids[entry.event];
        entry.site  = ids[entry.site];
        entry.round = ids[entry.round];
        games.push_back(entry);
    }
    std::vector<GameEntry>().swap(part.games);
    part.names     = PlayerNames();
    part.lastEvent = part.lastSite = 0;
    const FileInfo& counts = part.info;
    info.games += counts.games;
    info.whiteWins += counts.whiteWins;
    info.blackWins += counts.blackWins;
    info.draws += counts.draws;
    for (int eco = 0; eco < NoEco; ++eco)
        info.ecoCounts[eco] += counts.ecoCounts[eco];
    for (int k = 0; k < counts.skippedGames && k < NotedSkips; ++k)
        if (info.skippedGames + k < NotedSkips) info.skippedAt[info.skippedGames + k] = counts.skippedAt[k];
    info.skippedGames += counts.skippedGames;
    if (info.zeroBytes == 0 && counts.zeroBytes > 0) info.firstZero = counts.firstZero;
    info.zeroBytes += counts.zeroBytes;
    if (info.strayBytes == 0 && counts.strayBytes > 0) info.firstStray = counts.firstStray;
    info.strayBytes += counts.strayBytes;
}

} // namespace

bool indexFile(BufferedFile& file, FileInfo& info, std::vector<GameEntry>& games,
               PlayerNames& names, ScanFailure* failure, PassControl* control) {
    const bool finished = runRangedPass<IndexPass, IndexHooks>(
        file, control, [] { return std::make_unique<PassRange<IndexHooks>>(); },
        [&](PassRange<IndexHooks>& range) {
            joinIndexRange(info, games, names, file.size(), range.hooks);
        });
    if (!finished) return false;
    if (info.games > 0 || info.skippedGames == 0) return true;
    if (failure) {
        *failure = ScanFailure{FileProblem::NoGameRead, 0, 0, {}};
        locateOffsets(file, info.skippedAt, 1, failure);
    }
    return false;
}
