#include "records/pgnwrite.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/makemove.h"
#include "records/san.h"
#include "records/textout.h"

namespace {

// A tag value with the escapes a reader takes back: "\\\"" for a quote, "\\\\" for a backslash.
void putTagValue(TextOut& out, const char* value) {
    for (; *value; ++value) {
        if (*value == '"' || *value == '\\') out.put('\\');
        out.put(*value);
    }
}

} // namespace

void writeGameRecord(char* buffer, std::size_t size) {
    if (!buffer || size == 0) return;
    TextOut out(buffer, size);
    const struct {
        const char* opening;
        const char* value;
    } tags[] = {{"[Event \"", gameHeader.event}, {"[Site \"", gameHeader.site},
                {"[Date \"", gameHeader.date},   {"[Round \"", gameHeader.round},
                {"[White \"", gameHeader.white}, {"[Black \"", gameHeader.black}};
    for (const auto& tag : tags) {
        out.put(tag.opening);
        putTagValue(out, tag.value[0] ? tag.value : "-");
        out.put("\"]\n");
    }

    const int   info   = gameHeader.info;
    const char* result = info & WhiteWon   ? "1-0"
                         : info & BlackWon ? "0-1"
                         : info & Drawn    ? "1/2-1/2"
                                           : "*";
    out.put("[Result \"").put(result).put("\"]\n");
    const int eco = info & EcoMask;
    if (eco < NoEco) {
        out.put("[ECO \"")
            .put(static_cast<char>('A' + eco / 100))
            .put(static_cast<char>('0' + eco % 100 / 10))
            .put(static_cast<char>('0' + eco % 10))
            .put("\"]\n");
    }
    if (gameHeader.fen[0]) {
        out.put("[SetUp \"1\"]\n[FEN \"");
        putTagValue(out, gameHeader.fen);
        out.put("\"]\n");
    }
    gameHeader.otherTags[OtherTagsSize - 1] = '\0';
    out.put(gameHeader.otherTags);
    out.put('\n');

    setupGameStart();
    const GameStart start = gameStart();
    for (int k = 0; k < MaxGameMoves && gameMoves[k].piece; ++k) {
        const int ply = k + (start.blackFirst ? 1 : 0);
        if (ply % 2 == 0)
            out.putInt(start.moveNumber + ply / 2).put('.');
        else if (k == 0)
            out.putInt(start.moveNumber).put("...");
        char san[8];
        moveToSan(gameMoves[k], san);
        makeMove(gameMoves[k]);
        out.put(san).put((k + 1) % 10 == 0 ? '\n' : ' ');
    }
    out.put(result).put("\n\n");
}

int toCrLf(char* buffer, std::size_t size) {
    if (!buffer || size > (1u << 20)) return CrLfNoRoom;
    std::size_t length = 0, bareLf = 0, loneCr = 0;
    for (; length < size && buffer[length]; ++length) {
        const char c = buffer[length];
        if (c == '\n' && (length == 0 || buffer[length - 1] != '\r')) ++bareLf;
        if (length > 0 && buffer[length - 1] == '\r' && c != '\n') ++loneCr;
    }
    if (length > 0 && length < size && buffer[length - 1] == '\r') ++loneCr; // CR at the end
    if (bareLf == 0 && loneCr == 0) return CrLfDone;
    if (length + bareLf + loneCr + 1 >= size) return CrLfNoRoom;
    if (loneCr) return CrLfLoneCr;
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length]);
    if (!copy) return CrLfNoMemory;
    std::memcpy(copy.get(), buffer, length);
    std::size_t n = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (copy[i] == '\r') continue;
        if (copy[i] == '\n') buffer[n++] = '\r';
        buffer[n++] = copy[i];
    }
    buffer[n] = '\0';
    return CrLfDone;
}
