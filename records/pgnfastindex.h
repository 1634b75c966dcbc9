// The grammar of the index and search passes, fast: the machine of runPgn, with the common
// shapes of a PGN file read in straight-line code (a tag line, a move number, a move token, a
// result, a comment, a variation) and runs of bytes that cannot change the state skipped by the
// vector scans of bytescan.h (the sets in pgnbytesets.h). Whatever is unusual (a tag line of
// another shape, an escape, a damaged game's next line, bytes that break the grammar) is left to
// runPgn itself for a few bytes, and so are the last bytes of the text, so that every decision
// the grammar makes is made by the same rules.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "records/bytescan.h"
#include "records/pgnbytesets.h"
#include "records/pgngrammar.h"

namespace pgn_fast {

using namespace pgn_bytes;

// What a byte starts in the movetext, for the straight-line reading of it.
enum MovetextByte : unsigned char {
    UnusualByte, // left to the grammar itself
    GapByte,     // whitespace, "." or a suffix mark
    PieceByte,   // a move token's first byte
    DigitByte,   // 1 to 9: a move number, or "1-0", "1/2-1/2"
    ZeroByte,    // "0-1"
    BraceByte,
    ParenByte,
    StarByte,
    DollarByte,
    BracketByte,
};
inline constexpr auto movetextByte = [] {
    std::array<MovetextByte, 256> table{};
    for (int c = 0; c < 256; ++c) {
        MovetextByte kind = UnusualByte;
        if (charClass[c] & pgn_detail::TokenEndClass)
            kind = GapByte;
        else if (PieceLetter::holds(static_cast<unsigned char>(c)))
            kind = PieceByte;
        else if (c >= '1' && c <= '9')
            kind = DigitByte;
        else if (c == '0')
            kind = ZeroByte;
        else if (c == '{')
            kind = BraceByte;
        else if (c == '(')
            kind = ParenByte;
        else if (c == '*')
            kind = StarByte;
        else if (c == '$')
            kind = DollarByte;
        else if (c == '[')
            kind = BracketByte;
        table[c] = kind;
    }
    return table;
}();

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The hooks as the grammar sees them when it reads a few bytes for the fast pass: each call
// goes through, and a game end that stops the run is noted.
template <class Hooks> struct StopNoted {
    Hooks& hooks;
    bool   stopped = false;

    void gameStart(std::int64_t offset) { hooks.gameStart(offset); }
    void tagTaken(const PgnMachine& m) { hooks.tagTaken(m); }
    void movetextBegins() { hooks.movetextBegins(); }
    bool moveToken(const char* text, int n) { return hooks.moveToken(text, n); }
    bool gameEnd(int result, std::int64_t lastOffset, bool& stop) {
        const bool ok = hooks.gameEnd(result, lastOffset, stop);
        stopped       = stopped || (ok && stop);
        return ok;
    }
    void gameSkipped(std::int64_t offset) { hooks.gameSkipped(offset); }
    void strayByte(std::int64_t offset, unsigned char c) { hooks.strayByte(offset, c); }
};

// One run of the fast pass over [begin, end): p and state are the machine's place and state
// (the machine's own copy of the state is written back when the grammar takes over or the run
// ends).
template <int Mode, class Hooks> struct FastIndexRun {
    static_assert(Mode == IndexPass || Mode == SearchPass);
    PgnMachine&        m;
    const char* const  begin;
    const char* const  end;
    const std::int64_t base;
    Hooks&             hooks;
    const char*        p;
    int                state;

    const char* run() {
        while (end - p > LookAhead) {
            switch (state) {
            case BetweenGames:
                p = bytescan::findFirst<NotSpace>(p, end);
                if (end - p > LookAhead && *p == '[' && takeTags(true)) continue;
                break;
            case Movetext:
                if (readMovetext()) return p;
                if (state != Movetext || end - p <= LookAhead) continue;
                break;
            case Comment:
            case VariationComment: {
                const char* const q = bytescan::findFirst<ClosingBrace>(p, end);
                if (const char* const lost = skipLines(p, q); lost != q) {
                    p = lost; // perhaps a tag line: the grammar reads it
                    break;
                }
                if (q == end) {
                    p = end;
                    continue;
                }
                p           = q + 1;
                m.lineStart = 0;
                state       = state == Comment ? Movetext : Variation;
                continue;
            }
            case Variation:
                if (skipVariation()) continue;
                break;
            case EscapeBetweenGames:
            case EscapeInMovetext:
            case VariationLineComment:
            case Resync: {
                const char* const q = bytescan::findFirst<LineEnd>(p, end);
                if (q == end) {
                    p = end;
                    continue;
                }
                p = q + 1;
                if (state == VariationLineComment) m.lineStart = 1;
                state = state == EscapeBetweenGames ? BetweenGames
                        : state == EscapeInMovetext ? Movetext
                        : state == Resync           ? ResyncLineStart
                                                    : Variation;
                continue;
            }
            default:
                break;
            }
            if (end - p <= LookAhead) break;
            if (leaveToGrammar(grammarStep())) return p;
        }
        leaveToGrammar(end - p);
        return p;
    }

    // The fast paths read up to this many bytes past the one they start at (a result token);
    // the grammar reads the last bytes of the text itself.
    static constexpr std::ptrdiff_t LookAhead = 8;
    // When the grammar takes over it reads the rest of the line (what is unusual, a stray
    // byte, an escape, a tag of another shape, mostly ends there), within these bounds.
    static constexpr std::ptrdiff_t LeastGrammarStep = 16, MostGrammarStep = 256;

    std::ptrdiff_t grammarStep() const {
        const std::ptrdiff_t most = std::min(MostGrammarStep, end - p);
        const std::ptrdiff_t line = bytescan::findFirst<LineEnd>(p, p + most) - p + 1;
        return std::min(std::max(line, LeastGrammarStep), most);
    }

    std::int64_t offsetOf(const char* at) const { return base + (at - begin); }
    char         byteBefore(const char* at) const { return at > begin ? at[-1] : m.previous; }

    // Text of a comment or a variation from p to q, its line starts followed as the grammar
    // follows them: the first "[" that opens a line after a blank line, or q.
    const char* skipLines(const char* from, const char* q) {
        return pgn_detail::scanSkippedLines(
            from, q, m.lineStart, byteBefore(from),
            [](const char* s, const char* to) { return bytescan::findFirst<LineEnd>(s, to); });
    }

    // The grammar reads the next n bytes (n > 0 unless at the end); true when a hook stopped
    // the run, with p where it stopped.
    bool leaveToGrammar(std::ptrdiff_t n) {
        m.state = state;
        if (p > begin) m.previous = p[-1];
        StopNoted<Hooks> noted{hooks};
        p     = runPgn<Mode>(m, p, p + n, offsetOf(p), noted);
        state = m.state;
        return noted.stopped;
    }

    // A move token of n bytes at text, whole in the buffer, to the hooks. The search pass's
    // hooks read its text, which the grammar keeps in the machine; the index pass's count it.
    bool takeToken(const char* text, int n) {
        if constexpr (Mode == SearchPass) {
            static_assert(sizeof m.token >= 16 && PassTokenLimit <= 16);
            std::memcpy(m.token, text, end - text >= 16 ? 16 : static_cast<std::size_t>(n));
            m.tokenLength = n;
        }
        return hooks.moveToken(m.token, n);
    }

    void beginMovetext() {
        if (!m.movetextBegun) {
            m.movetextBegun = true;
            hooks.movetextBegins();
        }
    }

    // The game is damaged at the byte at: it is dropped and reading resumes at the next tag
    // section, the byte at read again (resume: the byte after it).
    void fail(const char* at, const char* resume) {
        hooks.gameSkipped(offsetOf(at));
        m.resyncInTags  = !m.movetextBegun;
        m.movetextBegun = false;
        state           = pgn_detail::isLineEnd(byteBefore(at)) ? ResyncLineStart : Resync;
        p               = resume;
    }

    // A termination token whose last byte is last; true when the hooks stop the run there.
    bool endGame(int result, const char* last) {
        bool stop       = false;
        m.movetextBegun = false;
        if (!hooks.gameEnd(result, offsetOf(last), stop)) {
            fail(last, last + 1); // the grammar takes the token's last byte as read
            return false;
        }
        state = BetweenGames;
        p     = last + 1;
        if (!stop) return false;
        m.state    = state;
        m.stopped  = true;
        m.previous = *last;
        return true;
    }

    // n bytes of a tag name or value into the machine's buffer: in whole blocks of 16 where the
    // text has them (the buffer holds MaxTagText + 1 bytes, a multiple of 16, so a block
    // never leaves it; the bytes past n are not the tag's and nothing reads them).
    void copyTagText(char* to, const char* from, int n) {
        static_assert((MaxTagText + 1) % 16 == 0);
        if (end - from < n + 16) {
            std::memcpy(to, from, static_cast<std::size_t>(n));
            return;
        }
        for (int k = 0; k < n; k += 16)
            std::memcpy(to + k, from + k, 16);
    }

    // A tag line of the common shape, [Name "value"] or [Name"value"], from its "[" at p:
    // read whole (the game started first when it opens one) with the state left in the
    // movetext, as the grammar leaves it. False, with nothing read, for any other shape.
    bool takeTag(bool opensGame) {
        const char* const nameStart = p + 1;
        const char* const nameEnd   = bytescan::findFirst<TagNameEnd>(nameStart, end);
        if (nameEnd - nameStart > MaxTagText || end - nameEnd < 2) return false;
        const char* valueStart = nameEnd + 1;
        if (*nameEnd != '"') {
            if (*nameEnd != ' ' || nameEnd[1] != '"') return false;
            ++valueStart;
        }
        const char* const valueEnd = bytescan::findFirst<QuoteOrBackslash>(valueStart, end);
        if (valueEnd - valueStart > MaxTagText || end - valueEnd < 2 || *valueEnd != '"' ||
            valueEnd[1] != ']')
            return false;
        if (opensGame) hooks.gameStart(offsetOf(p));
        m.nameLength  = static_cast<int>(nameEnd - nameStart);
        m.valueLength = static_cast<int>(valueEnd - valueStart);
        copyTagText(m.name, nameStart, m.nameLength);
        copyTagText(m.value, valueStart, m.valueLength);
        m.name[m.nameLength]   = '\0';
        m.value[m.valueLength] = '\0';
        hooks.tagTaken(m);
        state = Movetext;
        p     = valueEnd + 2;
        return true;
    }

    // The tag lines from the "[" at p, one after another, while they have the common shape
    // and each follows the one before on the next line; false when the first is of another.
    bool takeTags(bool opensGame) {
        if (!takeTag(opensGame)) return false;
        while (end - p > LookAhead && !m.movetextBegun) {
            const char* const next = p + (p[0] == '\r' ? 1 : 0);
            if (next[0] != '\n' || next[1] != '[') break;
            p = next + 1; // whitespace in the movetext, as the grammar reads it
            if (!takeTag(false)) break;
        }
        return true;
    }

    // Move numbers, move tokens and comments between gaps (whitespace, "." and suffix marks),
    // read on masks of the 64 bytes from p, up to the first byte of anything else: a mark that
    // ends a token otherwise, a run that starts with another byte, a move number with another
    // byte in it or a suffix mark after it. A run or a comment that goes past the 64 bytes,
    // or a token too long, is left for the unit-by-unit reading. False when nothing was read.
    bool takeMoveRuns() {
        const char* const   from     = p;
        const std::uint64_t runBytes = bytescan::setBits64<NotTokenGap>(from);
        if (!runBytes) {
            p += 64;
            return true;
        }
        const std::uint64_t digits  = bytescan::setBits64<Digit>(from);
        const std::uint64_t pieces  = bytescan::setBits64<PieceLetter>(from);
        const std::uint64_t numbers = digits & ~bytescan::setBits64<ZeroDigit>(from);
        const std::uint64_t marks   = bytescan::setBits64<TokenMark>(from);
        const std::uint64_t suffix  = bytescan::setBits64<SuffixMark>(from);
        const std::uint64_t closing = bytescan::setBits64<ClosingBrace>(from);
        // The bytes from the one where a unit begins on: p, then the byte after a comment.
        for (std::uint64_t valid = ~std::uint64_t{0};;) {
            const std::uint64_t run = runBytes & valid, gaps = ~runBytes & valid;
            // Each run's first byte; adding it carries through the run: its bits clear, the
            // gap byte after it set (a run that reaches the last byte loses its carry).
            const std::uint64_t starts       = run & (gaps << 1 | (valid & (0 - valid)));
            const std::uint64_t tokenStarts  = starts & pieces;
            const std::uint64_t numberStarts = starts & numbers;
            const std::uint64_t afterNumbers = run + numberStarts;
            const std::uint64_t unusual =
                (marks & valid) | (starts & ~(tokenStarts | numberStarts)) |
                (run & ~afterNumbers & ~digits) | (afterNumbers & gaps & suffix);
            const std::uint64_t first  = unusual & (0 - unusual);
            const std::uint64_t before = first - 1; // all of them when nothing is unusual
            if (const std::uint64_t ends = gaps & run << 1 & before) {
                beginMovetext();
                std::uint64_t tokens = tokenStarts, tokenEnds = (run + tokenStarts) & gaps & before;
                for (; tokenEnds; tokens &= tokens - 1, tokenEnds &= tokenEnds - 1) {
                    const int start = std::countr_zero(tokens), stop = std::countr_zero(tokenEnds);
                    if (stop - start > PassTokenLimit) {
                        p = from + start;
                        return p != from;
                    }
                    if (!takeToken(from + start, stop - start)) {
                        fail(from + stop, from + stop);
                        return true;
                    }
                }
                p = from + 64 - std::countl_zero(ends); // past the gap byte after the last run
            }
            // A comment that begins a unit and ends in the 64 bytes: skipped, and reading goes
            // on after it.
            const std::uint64_t closes = closing & ~(first | before);
            if (!(first & starts) || from[std::countr_zero(first)] != '{' || !closes) break;
            // A comment of several lines is left for the unit-by-unit reading, which follows
            // its lines (a blank line and a tag line in it end it).
            if (bytescan::setBits64<LineEnd>(from) & ((closes & (0 - closes)) - 1) & ~before) break;
            beginMovetext();
            const int after = std::countr_zero(closes) + 1;
            p               = from + after;
            if (after == 64) return true;
            valid = ~std::uint64_t{0} << after;
        }
        if (p != from) return true;
        p += std::countr_zero(runBytes); // the gap before the first run
        return p != from;
    }

    // The movetext from p while it has the common shapes; returns with another state, or with
    // the state unchanged and p at a byte for the grammar itself. True when the hooks stopped
    // the run.
    bool readMovetext() {
        while (end - p > LookAhead) {
            if (end - p > 64 && takeMoveRuns()) {
                if (state != Movetext) return false;
                continue;
            }
            const char c = *p;
            switch (movetextByte[static_cast<unsigned char>(c)]) {
            case GapByte:
                p = bytescan::findFirst<NotTokenGap>(p + 1, end);
                continue;
            case PieceByte: {
                const char* const q = bytescan::findFirst<TokenStop>(p + 1, end);
                if (q == end || q - p > PassTokenLimit) return false;
                beginMovetext();
                if (!takeToken(p, static_cast<int>(q - p))) {
                    fail(q, q);
                    return false;
                }
                p = q;
                continue;
            }
            case DigitByte: {
                if (c == '1' && p[1] == '-') {
                    if (p[2] != '0') return false;
                    beginMovetext();
                    return endGame(WhiteWon, p + 2);
                }
                if (c == '1' && p[1] == '/') {
                    if (std::memcmp(p, "1/2-1/2", 7) != 0) return false;
                    beginMovetext();
                    return endGame(Drawn, p + 6);
                }
                // A move number: its digits and the "." or whitespace after them.
                const char* q = p + 1;
                while (q < end && isDigit(*q))
                    ++q;
                if (q == end || !(*q == '.' || (charClass[static_cast<unsigned char>(*q)] &
                                                pgn_detail::SpaceClass)))
                    return false;
                beginMovetext();
                p = q + 1;
                continue;
            }
            case ZeroByte:
                if (p[1] != '-' || p[2] != '1') return false;
                beginMovetext();
                return endGame(BlackWon, p + 2);
            case StarByte:
                return endGame(0, p);
            case BraceByte: {
                beginMovetext();
                m.lineStart         = 0;
                m.openedAt          = offsetOf(p);
                const char* const q = bytescan::findFirst<ClosingBrace>(p + 1, end);
                if (const char* const lost = skipLines(p + 1, q); lost != q) {
                    state = Comment; // perhaps a tag line at lost: the grammar reads it
                    p     = lost;
                    return false;
                }
                if (q == end) {
                    state = Comment;
                    p     = end;
                    return false;
                }
                p = q + 1;
                continue;
            }
            case ParenByte:
                beginMovetext();
                m.depth     = 1;
                m.lineStart = 0;
                m.openedAt  = offsetOf(p);
                state       = Variation;
                ++p;
                return false;
            case DollarByte: {
                const char* q = p + 1;
                while (q < end && isDigit(*q))
                    ++q;
                if (q == end) return false;
                beginMovetext();
                p = q;
                continue;
            }
            case BracketByte:
                if (m.movetextBegun || !takeTags(false)) return false;
                continue;
            default:
                return false;
            }
        }
        return false;
    }

    // A variation from p: its brackets counted, comments and line comments inside it skipped
    // (by their own states), up to the ")" that closes it or the end. False, with p at it,
    // when a "[" opens a line after a blank line: perhaps a tag line, for the grammar.
    bool skipVariation() {
        for (;;) {
            const char* const v = bytescan::findFirst<VariationMark>(p, end);
            if (const char* const lost = skipLines(p, v); lost != v) {
                p = lost;
                return false;
            }
            if (v == end) {
                p = end;
                return true;
            }
            p           = v + 1;
            m.lineStart = 0;
            switch (*v) {
            case '(':
                ++m.depth;
                break;
            case ')':
                if (--m.depth == 0) {
                    state = Movetext;
                    return true;
                }
                break;
            case '{':
                state = VariationComment;
                return true;
            case '%':
                if (byteBefore(v) != '\n') break;
                [[fallthrough]];
            default: // ';'
                state = VariationLineComment;
                return true;
            }
        }
    }
};

} // namespace pgn_fast

// Runs the grammar of the index pass or the search pass over [begin, end) exactly as
// runPgn<Mode> does (the same hook calls with the same arguments, the same answer and the same
// machine afterwards, for any text without zero bytes cut into any pieces), only faster. The
// index pass's move tokens reach the hooks by their length alone: their text is not kept.
template <int Mode, class Hooks>
const char* runPassFast(PgnMachine& m, const char* begin, const char* end, std::int64_t base,
                        Hooks& hooks) {
    return pgn_fast::FastIndexRun<Mode, Hooks>{m, begin, end, base, hooks, begin, m.state}.run();
}

// The grammar for a pass over a file, by the fastest routine that has it.
template <int Mode, class Hooks>
const char* runPgnPass(PgnMachine& m, const char* begin, const char* end, std::int64_t base,
                       Hooks& hooks) {
    if constexpr (Mode == IndexPass || Mode == SearchPass)
        return runPassFast<Mode>(m, begin, end, base, hooks);
    else
        return runPgn<Mode>(m, begin, end, base, hooks);
}
