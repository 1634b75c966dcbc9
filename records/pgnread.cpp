#include "records/pgnread.h"

#include <cstring>

#include "engine/makemove.h"
#include "records/annotations.h"
#include "records/fileplaces.h"
#include "records/pgngrammar.h"
#include "records/pgntags.h"
#include "records/san.h"

namespace {

// Writes value into out with the escapes of a tag value: "\"" for a quote, "\\\\" for a backslash.
// Answers the bytes written, or 0 when they do not fit in size.
std::size_t escapeTagValue(const char* value, std::size_t length, char* out, std::size_t size) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const bool escaped = value[i] == '"' || value[i] == '\\';
        if (n + (escaped ? 2 : 1) > size) return 0;
        if (escaped) out[n++] = '\\';
        out[n++] = value[i];
    }
    return n;
}

// The game parser's side of the grammar: tags into gameHeader, moves into gameMoves, comments,
// glyphs and side lines into gameAnnotations.
struct ParserHooks {
    ParseOutcome&    outcome;
    AnnotationReader annotations{gameAnnotations};
    std::size_t   otherLength  = 0;
    int           moveCount    = 0;
    GameTags      tags{};
    bool          begun        = false;
    bool          otherVariant = false;

    void gameStart(std::int64_t) {}

    void tagTaken(const PgnMachine& m) {
        outcome.gameFound = true;
        char* field       = nullptr;
        switch (tags.take(m)) {
        case PgnTag::Event: field = gameHeader.event; break;
        case PgnTag::Site: field = gameHeader.site; break;
        case PgnTag::Date: field = gameHeader.date; break;
        case PgnTag::Round: field = gameHeader.round; break;
        case PgnTag::WhiteName: field = gameHeader.white; break;
        case PgnTag::BlackName: field = gameHeader.black; break;
        case PgnTag::Fen: field = gameHeader.fen; break;
        case PgnTag::Eco: {
            // A code goes into the info word (the writer writes it from there); a value that is
            // no code is kept as it stands, so that a later ECO tag cannot take its place.
            const int eco = ecoIndexOf(m.value, m.valueLength);
            if (eco != NoEco)
                gameHeader.info = static_cast<std::uint16_t>((gameHeader.info & ~EcoMask) | eco);
            else
                appendOtherTag(m);
            break;
        }
        case PgnTag::Result:
        case PgnTag::SetUp:
            // Written again from the game: the result from its termination token, SetUp from
            // its FEN tag.
            break;
        case PgnTag::Repeated: {
            // A later tag of a name the game has had counts for nothing; it is kept as it
            // stands, after the first, so that a written game reads back the same. Not those
            // written again from the game, nor a FEN after an empty one (the writer writes
            // no empty FEN, so the later one would count when read back).
            const PgnTag again = tagNameOf(m.name, m.nameLength);
            if (again != PgnTag::Result && again != PgnTag::SetUp &&
                !(again == PgnTag::Fen && gameHeader.fen[0] == '\0'))
                appendOtherTag(m);
            break;
        }
        case PgnTag::Variant:
            // Kept even empty: a later Variant tag, written after it, must not count instead.
            otherVariant = !standardVariant(m.value);
            appendOtherTag(m);
            break;
        default:
            if (m.nameLength > 0 && m.valueLength > 0) appendOtherTag(m);
            break;
        }
        if (field) std::memcpy(field, m.value, static_cast<std::size_t>(m.valueLength) + 1);
    }

    // A tag line goes in whole or not at all, so that otherTags never ends in a broken line
    // that would make a written game unreadable. The value keeps its escapes.
    void appendOtherTag(const PgnMachine& m) {
        // "[", a name, ' "', a value whose every byte may be escaped, '"]' and LF.
        char              line[1 + MaxTagText + 2 + 2 * MaxTagText + 3];
        char*             out = line;
        *out++                = '[';
        std::memcpy(out, m.name, static_cast<std::size_t>(m.nameLength));
        out += m.nameLength;
        *out++ = ' ';
        *out++ = '"';
        out += escapeTagValue(m.value, static_cast<std::size_t>(m.valueLength), out, 2 * MaxTagText);
        *out++                   = '"';
        *out++                   = ']';
        *out++                   = '\n';
        const std::size_t length = static_cast<std::size_t>(out - line);
        if (otherLength + length >= OtherTagsSize) return;
        std::memcpy(gameHeader.otherTags + otherLength, line, length);
        otherLength += length;
        gameHeader.otherTags[otherLength] = '\0';
    }

    void fail(ParseProblem problem) {
        if (outcome.problem == ParseProblem::None) outcome.problem = problem;
    }

    // The Board at the game's start; a game that cannot start there is not replayed.
    void movetextBegins() {
        begun = true;
        if (otherVariant)
            fail(ParseProblem::OtherVariant);
        else if (!setupGameStart())
            fail(ParseProblem::BadSetUp);
    }

    void noteMove(const char* text, int length) {
        const GameStart start = ::gameStart();
        const int       ply   = moveCount + (start.blackFirst ? 1 : 0);
        outcome.moveNumber    = start.moveNumber + ply / 2;
        outcome.blackMove     = ply % 2 == 1;
        quoteFileBytes(text, static_cast<std::size_t>(length), outcome.move, sizeof outcome.move);
    }

    void commentText(const char* text, std::size_t n) { annotations.commentText(text, n); }
    void commentEnds() { annotations.commentEnds(); }
    void nag(int number) { annotations.nag(number); }
    void variationBegins() { annotations.variationBegins(); }
    void variationEnds() { annotations.variationEnds(); }
    void variationDamaged() { annotations.variationDamaged(); }

    bool moveToken(const char* text, int length) {
        if (annotations.inSideLine()) {
            annotations.sideMove(text, length);
            return true;
        }
        outcome.gameFound = true;
        if (outcome.problem != ParseProblem::None) return false;
        if (moveCount == MaxGameMoves) {
            noteMove(text, length);
            fail(ParseProblem::TooManyMoves);
            return false;
        }
        Move move{};
        if (!sanToMove(text, length - 1, &move)) {
            noteMove(text, length);
            fail(ParseProblem::IllegalMove);
            return false;
        }
        makeMove(move);
        annotations.mainMoveMade(move);
        gameMoves[moveCount++] = move;
        if (moveCount < MaxGameMoves) gameMoves[moveCount] = Move{};
        return true;
    }

    bool gameEnd(int result, std::int64_t, bool& stop) {
        outcome.gameFound = true;
        // The termination token gives the result, whatever the Result tag says: as in the passes.
        gameHeader.info = static_cast<std::uint16_t>((gameHeader.info & ~ResultMask) | result);
        stop = true; // one game: text after its termination token is not read
        return true;
    }
};

} // namespace

bool parseGameText(const char* text, std::size_t maxLength, ParseOutcome* outcome) {
    std::memset(&gameHeader, 0, sizeof gameHeader);
    gameHeader.info = NoEco;
    std::memset(gameMoves, 0, sizeof gameMoves);
    gamePly = 0;
    gameAnnotations.clear();

    ParseOutcome local;
    ParseOutcome& result = outcome ? *outcome : local;
    result               = ParseOutcome{};
    PgnMachine  machine;
    ParserHooks hooks{result};
    if (text) {
        const std::size_t length = strnlen(text, maxLength);
        const char*       stop   = runPgn<GameParser>(machine, text, text + length, 0, hooks);
        if (machine.state != PgnFailed && !machine.stopped)
            finishPgn<GameParser>(machine, static_cast<std::int64_t>(length), hooks);
        result.offset = static_cast<std::size_t>(stop - text);
    }
    if (!hooks.begun) hooks.movetextBegins(); // a game of tags alone
    if (result.problem == ParseProblem::None && machine.state == PgnFailed)
        result.problem = ParseProblem::Grammar;
    if (result.problem == ParseProblem::None && !result.gameFound)
        result.problem = ParseProblem::Grammar;
    if (result.problem == ParseProblem::OtherVariant || result.problem == ParseProblem::BadSetUp)
        setupStartKeepingMoves();
    else
        setupGameStart();
    gameHeader.otherTags[OtherTagsSize - 1] = '\0';
    return result.problem == ParseProblem::None;
}

std::size_t readGameText(BufferedFile& file, const GameEntry* entry, std::string& text) {
    text.clear();
    if (!entry || entry->end() - entry->start() < 1) return 0;
    const std::int64_t length = entry->end() - entry->start() + 1;
    if (length > file.size() || !file.seek(entry->start())) return 0;
    text.resize(static_cast<std::size_t>(length));
    const std::size_t got = file.read(text.data(), text.size());
    text.resize(got);
    return got;
}
