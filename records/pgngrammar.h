// The PGN grammar: one character-driven state machine shared by the game parser, the index
// pass and the search pass. Each user supplies hooks (inline member functions, resolved at
// compile time) for what it does with tags, move tokens and termination tokens.
#pragma once

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
    Variation            = 17, // skipped, parentheses counted
    Comment              = 18, // "{...}", skipped
    EscapeBetweenGames   = 19, // a "%" or ";" line between games
    EscapeInMovetext     = 20, // a "%" or ";" line in the movetext
    VariationComment     = 21, // "{...}" inside a variation: its parentheses do not count
    VariationLineComment = 22, // a ";" or "%" line inside a variation
    PgnFailed            = 23,
};

// Which machine runs the grammar. The game parser is strict between games and keeps move
// tokens to 7 characters; the index and search passes skip stray text between games.
inline constexpr int GameParser = 0, IndexPass = 1, SearchPass = 2;

// Tag names and values hold at most this many characters.
inline constexpr int MaxTagText = 255;

struct PgnMachine {
    int          state         = BetweenGames;
    bool         movetextBegun = false;
    bool         stopped       = false; // a hook asked to stop after a game
    char         previous      = '\n';  // the byte before the next one; a file starts a line
    std::int64_t depth         = 0;     // parentheses open in a variation
    int          nameLength    = 0;
    int          valueLength   = 0;
    int          tokenLength   = 0;
    char         name[MaxTagText + 1];
    char         value[MaxTagText + 1];
    char         token[16];
};

namespace pgn_detail {

inline bool isSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Character classes for the inner loops: whitespace, and what ends a move token.
inline constexpr unsigned char SpaceClass = 1, TokenEndClass = 2;
inline constexpr auto          charClass = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const bool space = c == ' ' || (c >= '\t' && c <= '\r');
        table[c]         = static_cast<unsigned char>(
            (space ? SpaceClass : 0) |
            (space || c == '.' || c == '?' || c == '!' ? TokenEndClass : 0));
    }
    return table;
}();

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
// Answers where reading stopped: end, the byte after a game whose hook asked to stop, or the
// failing byte, with the machine in PgnFailed.
template <int Mode, class Hooks>
const char* runPgn(PgnMachine& m, const char* const begin, const char* const end,
                   const std::int64_t base, Hooks& hooks) {
    using pgn_detail::isSpace;
    constexpr int tokenLimit = Mode == GameParser ? 7 : 9;
    int           state      = m.state;
    const char*   p          = begin;

    // Leaves the loop at the byte p with the machine failed.
#define PGN_FAIL()                                                                                 \
    do {                                                                                           \
        m.state = PgnFailed;                                                                       \
        return p;                                                                                  \
    } while (0)
    // A termination token whose last byte is at p.
#define PGN_END_GAME(result)                                                                       \
    do {                                                                                           \
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
            // The value runs to the next double quote; there are no escapes.
            const char*          q      = static_cast<const char*>(std::memchr(p, '"', end - p));
            const char*          stopAt = q ? q : end;
            const std::ptrdiff_t n      = stopAt - p;
            if (m.valueLength + n > MaxTagText) {
                p += MaxTagText - m.valueLength;
                PGN_FAIL();
            }
            std::memcpy(m.value + m.valueLength, p, static_cast<std::size_t>(n));
            m.valueLength += static_cast<int>(n);
            if (!q) {
                p = end;
                continue;
            }
            p     = q;
            state = AfterTagValue;
            break;
        }
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
                next = Glyph;
            } else if (c == '(') {
                m.depth = 1;
                next    = Variation;
            } else if (c == '{') {
                next = Comment;
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
                                pgn_detail::TokenEndClass))
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
            break;
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
            if (isSpace(c))
                state = Movetext;
            else if (c < '0' || c > '9')
                PGN_FAIL();
            break;
        case Variation:
            // Variations are skipped; only brackets, braces and line comments matter here.
            for (; p < end; ++p) {
                const char v = *p;
                if (v == '(') {
                    ++m.depth;
                } else if (v == ')') {
                    if (--m.depth == 0) {
                        state = Movetext;
                        break;
                    }
                } else if (v == '{') {
                    state = VariationComment;
                    break;
                } else if (v == ';' || (v == '%' && (p > begin ? p[-1] : m.previous) == '\n')) {
                    state = VariationLineComment;
                    break;
                }
            }
            if (p == end) continue;
            break;
        case Comment:
        case VariationComment: {
            const char* q = static_cast<const char*>(std::memchr(p, '}', end - p));
            if (!q) {
                p = end;
                continue;
            }
            p     = q;
            state = state == Comment ? Movetext : Variation;
            break;
        }
        case EscapeBetweenGames:
        case EscapeInMovetext:
        case VariationLineComment:
            while (p < end && *p != '\n' && *p != '\r')
                ++p;
            if (p == end) continue;
            state = state == EscapeBetweenGames ? BetweenGames
                    : state == EscapeInMovetext ? Movetext
                                                : Variation;
            break;
        default:
            PGN_FAIL();
        }
        ++p;
    }
#undef PGN_FAIL
#undef PGN_END_GAME
    m.state = state;
    if (p > begin) m.previous = p[-1];
    return p;
}
