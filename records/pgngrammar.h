// The PGN grammar: one character-driven state machine shared by the game parser, the index
// pass and the search pass. Each user supplies hooks (inline member functions, resolved at
// compile time) for what it does with tags, move tokens and termination tokens.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "records/game.h"

enum PgnState {
    BetweenGames         = 0,
    TagName              = 1,
    TagValue             = 2,
    AfterTagValue        = 3,
    Movetext             = 4,
    MoveToken            = 5,
    AfterOne             = 6, // "1": a move number or the start of 1-0 or 1/2-1/2
    MoveNumber           = 7,
    OneDash              = 8,  // "1-"
    OneSlash             = 9,  // "1/"
    OneSlashTwo          = 10, // "1/2"
    OneSlashTwoDash      = 11, // "1/2-"
    HalfDashOne          = 12, // "1/2-1"
    HalfDashOneSlash     = 13, // "1/2-1/"
    Zero                 = 14, // "0": 0-1, or castling written with zeros
    ZeroDash             = 15, // "0-"
    Glyph                = 16, // "$" and its digits
    Variation            = 17, // skipped, parentheses counted (the game parser: a damaged one)
    Comment              = 18, // "{...}", skipped
    EscapeBetweenGames   = 19, // a "%" or ";" line between games
    EscapeInMovetext     = 20, // a "%" or ";" line in the movetext
    VariationComment     = 21, // "{...}" inside a variation: its parentheses do not count
    VariationLineComment = 22, // a ";" or "%" line inside a variation
    TagValueEscape       = 23, // a backslash in a tag value: the next byte is taken as it is
    Resync               = 24, // after a damaged game: skipping to the end of the line
    ResyncLineStart      = 25, // after a damaged game: at the start of a line
    ResyncBracket        = 26, // after a damaged game: a "[" that starts a line
    PgnFailed            = 27,
    // A "[" that opens a line after a blank line inside a comment or a variation: if the line
    // is a tag line, [Name "value"], the comment or variation was never closed and a game
    // begins there; else it is read on as what it stood in.
    LostTagName          = 28,
    LostTagGap           = 29, // between the name and the value's opening quote
    LostTagValue         = 30,
    LostTagEscape        = 31, // a backslash in the value
    LostTagClose         = 32, // after the value's closing quote, before "]"
};

// Which machine runs the grammar. The game parser is strict between games, keeps move tokens
// to 7 characters and stops at the first error. The index and search passes skip stray text
// between games, and skip a damaged game: reading resumes at the next tag section (a line
// starting "[" and a letter, after a blank line or movetext), so that one bad game never costs
// the rest of the file.
inline constexpr int GameParser = 0, IndexPass = 1, SearchPass = 2;

// Tag names and values hold at most this many characters.
inline constexpr int MaxTagText = 255;

// Move tokens hold at most this many characters: in the game parser, in the passes.
inline constexpr int ParserTokenLimit = 7, PassTokenLimit = 9;

struct PgnMachine {
    int          state         = BetweenGames;
    bool         movetextBegun = false;
    bool         stopped       = false; // a hook asked to stop after a game
    bool         resyncInTags  = false; // skipping a damaged game still inside its tag lines
    char         previous      = '\n';  // the byte before the next one; a file starts a line
    // Inside a comment or a variation: 0 in a line with text, 1 at the start of a line, 2 at
    // the start of a line after a blank line (where a "[" may open a tag line).
    std::int8_t  lineStart     = 0;
    int          lostFrom      = 0;     // the state a LostTag state returns to
    std::int64_t openedAt      = 0;     // the offset of the "{" or "(" being skipped
    std::int64_t lostTagAt     = 0;     // the offset of the "[" of a LostTag state
    std::int64_t depth         = 0;     // parentheses open in a variation
    std::int64_t skipDepth     = 0;     // game parser: the depth of the side line being skipped
    int          nag           = -1;    // game parser: the digits of a "$" glyph so far
    int          nameLength    = 0;
    int          valueLength   = 0;
    int          tokenLength   = 0;
    char         name[MaxTagText + 1];
    char         value[MaxTagText + 1];
    char         token[16];
};

namespace pgn_detail {

inline bool isSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// Follows the starts of lines through [from, to), text inside a comment or a variation, with
// lineStart as PgnMachine keeps it (before: the byte before from). Answers the first "[" that
// opens a line after a blank line (lineStart is then 2), or to. nextLineEnd(s, to) finds the
// first CR or LF in [s, to), or to.
template <class NextLineEnd>
const char* scanSkippedLines(const char* from, const char* to, std::int8_t& lineStart,
                             char before, NextLineEnd nextLineEnd) {
    for (const char* s = from; s < to;) {
        const char c = *s;
        if (c == ' ' || c == '\t') {
            ++s;
        } else if (isLineEnd(c)) {
            // CR, LF and CR LF each end one line.
            if (!(c == '\n' && (s > from ? s[-1] : before) == '\r') && lineStart < 2) ++lineStart;
            ++s;
        } else if (c == '[' && lineStart == 2) {
            return s;
        } else {
            lineStart = 0;
            s         = nextLineEnd(s + 1, to);
        }
    }
    return to;
}

inline const char* nextLineEnd(const char* s, const char* to) {
    const char* lf = static_cast<const char*>(std::memchr(s, '\n', static_cast<std::size_t>(to - s)));
    const char* cr = static_cast<const char*>(std::memchr(s, '\r', static_cast<std::size_t>((lf ? lf : to) - s)));
    return cr ? cr : lf ? lf : to;
}

inline bool isTagNameByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Character classes for the inner loops: whitespace; what is skipped between tokens; what
// ends a move token (those, and the bytes that start something else: "a5*", "Nf3{", "e4)").
inline constexpr unsigned char SpaceClass = 1, TokenEndClass = 2, TokenStopClass = 4;
inline constexpr auto          charClass = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const bool space = c == ' ' || (c >= '\t' && c <= '\r');
        const bool end   = space || c == '.' || c == '?' || c == '!';
        const bool stop  = end || c == '*' || c == '(' || c == ')' || c == '{' || c == '}' ||
                          c == '[' || c == '$' || c == ';' || c == 0;
        table[c] = static_cast<unsigned char>((space ? SpaceClass : 0) |
                                              (end ? TokenEndClass : 0) |
                                              (stop ? TokenStopClass : 0));
    }
    return table;
}();

// The glyph of a run of suffix marks: "!" 1, "?" 2, "!!" 3, "??" 4, "!?" 5, "?!" 6, else 0.
inline int suffixGlyph(const char* marks, int n) {
    static constexpr const char* glyphs[] = {"!", "?", "!!", "??", "!?", "?!"};
    for (int i = 0; i < 6; ++i)
        if (static_cast<int>(std::strlen(glyphs[i])) == n &&
            std::memcmp(glyphs[i], marks, static_cast<std::size_t>(n)) == 0)
            return i + 1;
    return 0;
}

} // namespace pgn_detail

// Runs the grammar over [begin, end), which must hold no zero byte; base is the file offset of
// begin. Hooks, a class with these members, sees the game:
//   void gameStart(std::int64_t offset)      at the "[" opening a game's first tag
//   void tagTaken(const PgnMachine&)         at the "]" closing a tag (name and value filled)
//   void movetextBegins()
//   bool moveToken(const char* text, int n)  at the end of a move token; false: error
//   bool gameEnd(int result, std::int64_t lastOffset, bool& stop)
//        at a termination token (result WhiteWon, BlackWon, Drawn or 0 for "*"); false: error;
//        stop = true ends the run after the token.
//   void gameSkipped(std::int64_t offset)    (index and search passes) a game is damaged at
//        offset: it is dropped and reading resumes at the next tag section.
//   void strayByte(std::int64_t offset, unsigned char c)   (the passes) a byte between games
//        that belongs to no game.
// The passes skip comments, glyphs and variations. The game parser reads them, through these
// hooks besides (the passes need not have them):
//   void commentText(const char* text, std::size_t n)   a comment's text, in one or more
//        pieces, then void commentEnds();
//   void nag(int number)                     "$n", or a suffix "!", "?", "!!", "??", "!?", "?!"
//        as 1 to 6 (other runs of marks as 0)
//   void variationBegins(), void variationEnds()   at "(" and ")"; move tokens between them
//        go to moveToken as well (the hooks tell them from the main line's by these calls).
//        A variation that breaks the grammar is no error, as the passes skip it: the hooks
//        hear void variationDamaged() and the rest of it, up to its ")", is skipped. A
//        termination token inside a variation is ignored.
// Answers where reading stopped: end, the byte after a game whose hook asked to stop, or (game
// parser) the failing byte, with the machine in PgnFailed.
template <int Mode, class Hooks>
const char* runPgn(PgnMachine& m, const char* const begin, const char* const end,
                   const std::int64_t base, Hooks& hooks) {
    using pgn_detail::isSpace;
    constexpr int tokenLimit = Mode == GameParser ? ParserTokenLimit : PassTokenLimit;
    int           state      = m.state;
    const char*   p          = begin;

    // The game parser leaves the loop at the byte p with the machine failed; the passes drop
    // the game and look at p again as the first byte of the skip.
#define PGN_FAIL()                                                                                 \
    {                                                                                              \
        if constexpr (Mode == GameParser) {                                                        \
            if (m.depth > 0) {                                                                     \
                hooks.variationDamaged();                                                          \
                m.skipDepth = m.depth;                                                             \
                m.lineStart = 0;                                                                   \
                state       = Variation;                                                           \
                continue;                                                                          \
            }                                                                                      \
            m.state = PgnFailed;                                                                   \
            return p;                                                                              \
        } else {                                                                                   \
            hooks.gameSkipped(base + (p - begin));                                                 \
            m.resyncInTags  = !m.movetextBegun;                                                    \
            m.movetextBegun = false;                                                               \
            state = pgn_detail::isLineEnd(p > begin ? p[-1] : m.previous) ? ResyncLineStart        \
                                                                          : Resync;                \
            continue;                                                                              \
        }                                                                                          \
    }
    // A termination token whose last byte is at p.
#define PGN_END_GAME(result)                                                                       \
    do {                                                                                           \
        if (Mode == GameParser && m.depth > 0) {                                                   \
            state = Movetext; /* inside a variation: the passes skip it too */                     \
            break;                                                                                 \
        }                                                                                          \
        bool stop       = false;                                                                   \
        m.movetextBegun = false;                                                                   \
        if (!hooks.gameEnd(result, base + (p - begin), stop)) PGN_FAIL();                          \
        state = BetweenGames;                                                                      \
        if (stop) {                                                                                \
            ++p;                                                                                   \
            m.state    = state;                                                                    \
            m.stopped  = true;                                                                     \
            m.previous = p[-1];                                                                    \
            return p;                                                                              \
        }                                                                                          \
    } while (0)

    // A LostTag state meets a byte that no tag line holds there: the line was text of the
    // comment or variation, which is read on from this byte (the game parser's comment gets
    // the bytes taken for the tag).
#define PGN_NOT_A_TAG_LINE()                                                                       \
    {                                                                                              \
        if constexpr (Mode == GameParser)                                                          \
            if (m.lostFrom == Comment && m.lostTagAt - base >= 0)                                  \
                hooks.commentText(begin + (m.lostTagAt - base),                                    \
                                  static_cast<std::size_t>(p - begin - (m.lostTagAt - base)));     \
        m.lineStart = 0;                                                                           \
        state       = m.lostFrom;                                                                  \
        continue;                                                                                  \
    }

    while (p < end) {
        const unsigned char c = static_cast<unsigned char>(*p);
        switch (state) {
        case BetweenGames:
            if (c == '[') {
                hooks.gameStart(base + (p - begin));
                m.nameLength = m.valueLength = 0;
                state                        = TagName;
            } else if (isSpace(c)) {
            } else if (c == ';' || (c == '%' && (p > begin ? p[-1] : m.previous) == '\n')) {
                state = EscapeBetweenGames;
            } else if constexpr (Mode == GameParser) {
                PGN_FAIL();
            } else {
                hooks.strayByte(base + (p - begin), c);
            }
            break;
        case TagName:
            if (c == '"') {
                state = TagValue;
            } else if (!isSpace(c)) {
                if (m.nameLength == MaxTagText) PGN_FAIL();
                m.name[m.nameLength++] = static_cast<char>(c);
            }
            break;
        case TagValue: {
            // The value runs to the next double quote that no backslash escapes ("\"" and
            // "\\" stand for the quote and the backslash).
            const char* q      = static_cast<const char*>(std::memchr(p, '"', end - p));
            const char* stopAt = q ? q : end;
            if (const void* slash = std::memchr(p, '\\', stopAt - p)) {
                stopAt = static_cast<const char*>(slash);
                q      = nullptr;
            }
            const std::ptrdiff_t n = stopAt - p;
            if (m.valueLength + n > MaxTagText) {
                p += MaxTagText - m.valueLength;
                PGN_FAIL();
            }
            std::memcpy(m.value + m.valueLength, p, static_cast<std::size_t>(n));
            m.valueLength += static_cast<int>(n);
            if (stopAt == end) {
                p = end;
                continue;
            }
            p     = stopAt;
            state = q ? AfterTagValue : TagValueEscape;
            break;
        }
        case TagValueEscape:
            // "\"" and "\\" are the quote and the backslash; before any other byte the
            // backslash is kept as it stands, as writers that know no escapes left it.
            if (m.valueLength == MaxTagText) PGN_FAIL();
            state = TagValue;
            if (c == '"' || c == '\\') {
                m.value[m.valueLength++] = static_cast<char>(c);
                break;
            }
            m.value[m.valueLength++] = '\\';
            continue; // the byte after a lone backslash is read as part of the value
        case AfterTagValue:
            if (c == ']') {
                m.name[m.nameLength]   = '\0';
                m.value[m.valueLength] = '\0';
                hooks.tagTaken(m);
                state = Movetext;
            }
            break;
        case Movetext: {
            int next = Movetext;
            if ((c >= 'a' && c <= 'h') || c == 'P' || c == 'N' || c == 'B' || c == 'R' ||
                c == 'Q' || c == 'K' || c == 'O') {
                m.token[0]    = static_cast<char>(c);
                m.tokenLength = 1;
                next          = MoveToken;
            } else if (Mode == GameParser && (c == '!' || c == '?')) {
                // A suffix mark: read as its glyph.
                const char* q = p;
                while (q < end && (*q == '!' || *q == '?'))
                    ++q;
                if constexpr (Mode == GameParser)
                    hooks.nag(pgn_detail::suffixGlyph(p, static_cast<int>(q - p)));
                p = q;
                continue;
            } else if (Mode == GameParser &&
                       (pgn_detail::charClass[c] & pgn_detail::TokenEndClass)) {
                // Whitespace and "." between tokens, in one go.
                ++p;
                while (p < end && (pgn_detail::charClass[static_cast<unsigned char>(*p)] &
                                   pgn_detail::TokenEndClass) &&
                       *p != '!' && *p != '?')
                    ++p;
                continue;
            } else if (pgn_detail::charClass[c] & pgn_detail::TokenEndClass) {
                // Whitespace, "." and suffix marks between tokens, in one go.
                ++p;
                while (p < end && (pgn_detail::charClass[static_cast<unsigned char>(*p)] &
                                   pgn_detail::TokenEndClass))
                    ++p;
                continue;
            } else if (c == '1') {
                next = AfterOne;
            } else if (c >= '2' && c <= '9') {
                next = MoveNumber;
            } else if (c == '0') {
                next = Zero;
            } else if (c == '$') {
                if constexpr (Mode == GameParser) m.nag = -1;
                next = Glyph;
            } else if (c == '(') {
                if constexpr (Mode == GameParser) {
                    ++m.depth;
                    hooks.variationBegins();
                } else {
                    m.depth     = 1;
                    m.lineStart = 0;
                    m.openedAt  = base + (p - begin);
                    next        = Variation;
                }
            } else if (Mode == GameParser && c == ')' && m.depth > 0) {
                --m.depth;
                if constexpr (Mode == GameParser) hooks.variationEnds();
            } else if (c == '{') {
                m.lineStart = 0;
                m.openedAt  = base + (p - begin);
                next        = Comment;
            } else if (c == '[') {
                if (m.movetextBegun) PGN_FAIL();
                m.nameLength = m.valueLength = 0;
                state                        = TagName;
                break;
            } else if (c == ';' || (c == '%' && (p > begin ? p[-1] : m.previous) == '\n')) {
                state = EscapeInMovetext;
                break;
            } else if (c == '*') {
                PGN_END_GAME(0);
                break;
            } else {
                PGN_FAIL();
            }
            if (!m.movetextBegun) {
                m.movetextBegun = true;
                hooks.movetextBegins();
            }
            state = next;
            break;
        }
        case MoveToken: {
            // The rest of the token in one go, up to the character that ends it.
            const char* q = p;
            while (q < end && !(pgn_detail::charClass[static_cast<unsigned char>(*q)] &
                                pgn_detail::TokenStopClass))
                ++q;
            if (q - p > tokenLimit - m.tokenLength) {
                p += tokenLimit - m.tokenLength;
                PGN_FAIL();
            }
            if constexpr (Mode != IndexPass) {
                for (const char* t = p; t < q; ++t)
                    m.token[m.tokenLength++] = *t;
            } else {
                m.tokenLength += static_cast<int>(q - p);
            }
            if (q == end) {
                p = end;
                continue;
            }
            p = q;
            if (!hooks.moveToken(m.token, m.tokenLength)) PGN_FAIL();
            state = Movetext;
            continue; // the byte that ended the token is read in the movetext
        }
        case AfterOne:
            if (c == '.' || isSpace(c))
                state = Movetext;
            else if (c >= '0' && c <= '9')
                state = MoveNumber;
            else if (c == '-')
                state = OneDash;
            else if (c == '/')
                state = OneSlash;
            else
                PGN_FAIL();
            break;
        case MoveNumber:
            while (c >= '0' && c <= '9' && p + 1 < end && p[1] >= '0' && p[1] <= '9')
                ++p;
            if (c == '.' || isSpace(c))
                state = Movetext;
            else if (c < '0' || c > '9')
                PGN_FAIL();
            break;
        case OneDash:
            if (c != '0') PGN_FAIL();
            PGN_END_GAME(WhiteWon);
            break;
        case OneSlash:
        case OneSlashTwo:
        case OneSlashTwoDash:
        case HalfDashOne:
        case HalfDashOneSlash: {
            static constexpr char expected[] = "2-1/2";
            if (c != static_cast<unsigned char>(expected[state - OneSlash])) PGN_FAIL();
            if (state == HalfDashOneSlash)
                PGN_END_GAME(Drawn);
            else
                ++state;
            break;
        }
        case Zero:
            if (c != '-') PGN_FAIL();
            state = ZeroDash;
            break;
        case ZeroDash:
            if (c == '1') {
                PGN_END_GAME(BlackWon);
            } else if (c == '0') {
                std::memcpy(m.token, "O-O", 3);
                m.tokenLength = 3;
                state         = MoveToken;
            } else {
                PGN_FAIL();
            }
            break;
        case Glyph:
            if (c < '0' || c > '9') {
                if constexpr (Mode == GameParser)
                    if (m.nag >= 0) hooks.nag(m.nag);
                state = Movetext;
                continue; // "$6)": what follows the digits is read in the movetext
            }
            if constexpr (Mode == GameParser)
                m.nag = std::min(std::max(m.nag, 0) * 10 + (c - '0'), 9999);
            break;
        case Variation:
            // Variations are skipped; only brackets, braces and line comments matter here.
            for (; p < end; ++p) {
                const char v = *p;
                if (v == '(') {
                    ++m.depth;
                    m.lineStart = 0;
                } else if (v == ')') {
                    m.lineStart = 0;
                    if constexpr (Mode == GameParser) {
                        // The end of the damaged side line: reading goes on in its parent.
                        if (--m.depth < m.skipDepth) {
                            hooks.variationEnds();
                            state = Movetext;
                            break;
                        }
                    } else if (--m.depth == 0) {
                        state = Movetext;
                        break;
                    }
                } else if (v == '{') {
                    m.lineStart = 0;
                    state       = VariationComment;
                    break;
                } else if (v == ';' || (v == '%' && (p > begin ? p[-1] : m.previous) == '\n')) {
                    state = VariationLineComment;
                    break;
                } else if (v == ' ' || v == '\t') {
                } else if (pgn_detail::isLineEnd(v)) {
                    if (!(v == '\n' && (p > begin ? p[-1] : m.previous) == '\r') && m.lineStart < 2)
                        ++m.lineStart;
                } else if (v == '[' && m.lineStart == 2) {
                    m.lostFrom   = Variation;
                    m.lostTagAt  = base + (p - begin);
                    m.nameLength = m.valueLength = 0;
                    state                        = LostTagName;
                    break;
                } else {
                    m.lineStart = 0;
                }
            }
            if (p == end) continue;
            break;
        case Comment:
        case VariationComment: {
            const char* q      = static_cast<const char*>(std::memchr(p, '}', end - p));
            const char* stopAt = q ? q : end;
            const char* lost   = pgn_detail::scanSkippedLines(
                p, stopAt, m.lineStart, p > begin ? p[-1] : m.previous, pgn_detail::nextLineEnd);
            if constexpr (Mode == GameParser)
                if (state == Comment) {
                    hooks.commentText(p, static_cast<std::size_t>(lost - p));
                    if (q && lost == q) hooks.commentEnds();
                }
            if (lost != stopAt) {
                // A "[" opening a line after a blank line: perhaps the next game's tags.
                m.lostFrom   = state;
                m.lostTagAt  = base + (lost - begin);
                m.nameLength = m.valueLength = 0;
                p                            = lost;
                state                        = LostTagName;
                break;
            }
            if (!q) {
                p = end;
                continue;
            }
            p           = q;
            m.lineStart = 0;
            state       = state == Comment ? Movetext : Variation;
            break;
        }
        case LostTagName:
            if (pgn_detail::isTagNameByte(c) && m.nameLength < MaxTagText &&
                (m.nameLength > 0 || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
                m.name[m.nameLength++] = static_cast<char>(c);
                break;
            }
            if (m.nameLength == 0 || !(c == ' ' || c == '\t' || c == '"')) PGN_NOT_A_TAG_LINE();
            state = LostTagGap;
            continue;
        case LostTagGap:
            if (c == '"')
                state = LostTagValue;
            else if (c != ' ' && c != '\t')
                PGN_NOT_A_TAG_LINE();
            break;
        case LostTagValue:
            if (c == '"') {
                state = LostTagClose;
                break;
            }
            if (c == '\\') {
                state = LostTagEscape;
                break;
            }
            if (pgn_detail::isLineEnd(static_cast<char>(c)) || m.valueLength == MaxTagText)
                PGN_NOT_A_TAG_LINE();
            m.value[m.valueLength++] = static_cast<char>(c);
            break;
        case LostTagEscape:
            // As in a tag value: "\"" and "\\" are the quote and the backslash, a lone backslash
            // stays.
            if (m.valueLength == MaxTagText) PGN_NOT_A_TAG_LINE();
            state = LostTagValue;
            if (c == '"' || c == '\\') {
                m.value[m.valueLength++] = static_cast<char>(c);
                break;
            }
            m.value[m.valueLength++] = '\\';
            continue;
        case LostTagClose:
            if (c == ' ' || c == '\t') break;
            if (c != ']') PGN_NOT_A_TAG_LINE();
            // A tag line: the comment or variation was never closed. Its game is damaged, and
            // the next one begins at the tag line.
            m.name[m.nameLength]   = '\0';
            m.value[m.valueLength] = '\0';
            if constexpr (Mode == GameParser) {
                m.state = PgnFailed;
                return m.lostTagAt - base >= 0 ? begin + (m.lostTagAt - base) : p;
            } else {
                hooks.gameSkipped(m.openedAt);
                m.movetextBegun = false;
                m.depth         = 0;
                hooks.gameStart(m.lostTagAt);
                hooks.tagTaken(m);
                state = Movetext;
            }
            break;
        case EscapeBetweenGames:
        case EscapeInMovetext:
        case VariationLineComment:
            while (p < end && *p != '\n' && *p != '\r')
                ++p;
            if (p == end) continue;
            if (state == VariationLineComment) m.lineStart = 1; // its line end is read here
            state = state == EscapeBetweenGames ? BetweenGames
                    : state == EscapeInMovetext ? Movetext
                                                : Variation;
            break;
        case Resync: {
            const char* q = p;
            while (q < end && !pgn_detail::isLineEnd(*q))
                ++q;
            p = q;
            if (q == end) continue;
            state = ResyncLineStart;
            break;
        }
        case ResyncLineStart:
            if (pgn_detail::isLineEnd(static_cast<char>(c))) {
                // A blank line (the LF of a CR LF pair is not one) ends a tag section.
                if (!(c == '\n' && (p > begin ? p[-1] : m.previous) == '\r'))
                    m.resyncInTags = false;
            } else if (c == ' ' || c == '\t') {
            } else if (c == '[' && !m.resyncInTags) {
                state = ResyncBracket;
            } else {
                m.resyncInTags = m.resyncInTags && c == '[';
                state          = Resync;
            }
            break;
        case ResyncBracket:
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                c == ' ') {
                // A tag section begins: the game starts at the "[" before this byte.
                hooks.gameStart(base + (p - begin) - 1);
                m.nameLength = m.valueLength = 0;
                state                        = TagName;
            } else {
                state = Resync;
            }
            continue;
        default:
            PGN_FAIL();
        }
        ++p;
    }
#undef PGN_FAIL
#undef PGN_END_GAME
#undef PGN_NOT_A_TAG_LINE
    m.state = state;
    if (p > begin) m.previous = p[-1];
    return p;
}

// Drops the game being read at offset (a zero byte in the file lands there), as a damaged
// game: the passes resume at the next tag section. Between games nothing is dropped.
template <class Hooks>
void skipPgnGame(PgnMachine& m, const std::int64_t offset, Hooks& hooks) {
    if (m.state == ResyncBracket) m.state = Resync; // the "[" before it starts no tag section
    if (m.state == BetweenGames || m.state == EscapeBetweenGames ||
        (m.state >= Resync && m.state <= PgnFailed))
        return;
    hooks.gameSkipped(offset);
    m.resyncInTags  = !m.movetextBegun;
    m.movetextBegun = false;
    m.state         = Resync;
}

// Ends the input at offset end (the byte after the last). A game whose movetext was being
// read ends there as if "*" followed (its last move token is taken, though no space ends it);
// a game cut inside its tags, a comment, a variation or a termination token is damaged: the
// game parser fails, the passes drop it. Answers false when the machine failed.
template <int Mode, class Hooks>
bool finishPgn(PgnMachine& m, const std::int64_t end, Hooks& hooks) {
    // The game parser reads variations as movetext: one left open is damaged.
    switch (Mode == GameParser && m.depth > 0 ? PgnFailed : m.state) {
    case MoveToken:
        if (!hooks.moveToken(m.token, m.tokenLength)) break;
        [[fallthrough]];
    case Glyph:
        if constexpr (Mode == GameParser)
            if (m.state == Glyph && m.nag >= 0) hooks.nag(m.nag);
        [[fallthrough]];
    case Movetext:
    case AfterOne:
    case MoveNumber:
    case EscapeInMovetext: {
        bool stop       = false;
        m.movetextBegun = false;
        if (!hooks.gameEnd(0, end - 1, stop)) break;
        m.state = BetweenGames;
        return true;
    }
    case BetweenGames:
    case EscapeBetweenGames:
    case Resync:
    case ResyncLineStart:
    case ResyncBracket:
        return true;
    default:
        break;
    }
    if constexpr (Mode == GameParser) {
        m.state = PgnFailed;
        return false;
    } else {
        hooks.gameSkipped(end);
        m.state = BetweenGames;
        return true;
    }
}
