#include "records/pgnread.h"

#include <cstring>

#include "engine/makemove.h"
#include "records/pgngrammar.h"
#include "records/san.h"

namespace {

// The game parser's side of the grammar: tags into gameHeader, moves into gameMoves.
struct ParserHooks {
    std::size_t otherLength = 0;
    int         moveCount   = 0;

    void gameStart(std::int64_t) {}

    void tagTaken(const PgnMachine& m) {
        static constexpr struct {
            const char* name;
            char*       field;
        } fields[] = {{"Event", gameHeader.event}, {"Site", gameHeader.site},
                      {"Date", gameHeader.date},   {"Round", gameHeader.round},
                      {"White", gameHeader.white}, {"Black", gameHeader.black}};
        for (const auto& f : fields)
            if (std::strcmp(m.name, f.name) == 0) {
                std::memcpy(f.field, m.value, static_cast<std::size_t>(m.valueLength) + 1);
                return;
            }
        if (std::strcmp(m.name, "Result") == 0) {
            if (std::strcmp(m.value, "1-0") == 0)
                gameHeader.info |= WhiteWon;
            else if (std::strcmp(m.value, "0-1") == 0)
                gameHeader.info |= BlackWon;
            else if (std::strcmp(m.value, "1/2-1/2") == 0)
                gameHeader.info |= Drawn;
        } else if (std::strcmp(m.name, "ECO") == 0) {
            const int eco = ecoIndexOf(m.value, m.valueLength);
            if (eco != NoEco)
                gameHeader.info = static_cast<std::uint16_t>((gameHeader.info & ~EcoMask) | eco);
        } else if (m.nameLength > 0 && m.valueLength > 0) {
            appendOtherTag(m);
        }
    }

    // A tag line goes in whole or not at all, so that otherTags never ends in a broken line
    // that would make a written game unreadable.
    void appendOtherTag(const PgnMachine& m) {
        const std::size_t length = static_cast<std::size_t>(m.nameLength + m.valueLength) + 6;
        if (otherLength + length >= OtherTagsSize) return;
        char* out = gameHeader.otherTags + otherLength;
        *out++    = '[';
        std::memcpy(out, m.name, static_cast<std::size_t>(m.nameLength));
        out += m.nameLength;
        *out++ = ' ';
        *out++ = '"';
        std::memcpy(out, m.value, static_cast<std::size_t>(m.valueLength));
        out += m.valueLength;
        *out++ = '"';
        *out++ = ']';
        *out++ = '\n';
        *out   = '\0';
        otherLength += length;
    }

    void movetextBegins() { setupStartKeepingMoves(); }

    bool moveToken(const char* text, int length) {
        Move move{};
        if (!sanToMove(text, length - 1, &move)) return false;
        makeMove(move);
        gameMoves[moveCount++] = move;
        if (moveCount == MaxGameMoves) return false;
        gameMoves[moveCount] = Move{};
        return true;
    }

    bool gameEnd(int, std::int64_t, bool& stop) {
        stop = true; // one game: text after its termination token is not read
        return true;
    }
};

} // namespace

bool parseGameText(const char* text, std::size_t maxLength) {
    std::memset(&gameHeader, 0, sizeof gameHeader);
    gameHeader.info = NoEco;
    std::memset(gameMoves, 0, sizeof gameMoves);
    gamePly = 0;

    PgnMachine  machine;
    ParserHooks hooks;
    if (text) {
        const std::size_t length = strnlen(text, maxLength);
        runPgn<GameParser>(machine, text, text + length, 0, hooks);
    }
    setupStartKeepingMoves();
    gameHeader.otherTags[OtherTagsSize - 1] = '\0';
    return machine.state != PgnFailed;
}

std::size_t readGameText(BufferedFile& file, const GameEntry* entry, std::string& text) {
    text.clear();
    if (!entry || entry->end - entry->start < 1 || entry->start < 0) return 0;
    const std::int64_t length = entry->end - entry->start + 1;
    if (length > file.size() || !file.seek(entry->start)) return 0;
    text.resize(static_cast<std::size_t>(length));
    const std::size_t got = file.read(text.data(), text.size());
    text.resize(got);
    return got;
}
