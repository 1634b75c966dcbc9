// uci/ucimessages: the UCI protocol as data. Reads one line an engine writes into a UciMessage,
// and writes the lines a client sends. No I/O here: the session and the process live elsewhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class UciOptionType { Spin, Check, Combo, String, Button };

// One "option name ... type ..." line. Values are kept as the engine wrote them (a spin's
// default included); min and max are given only for a spin.
struct UciOption {
    std::string                name;
    UciOptionType              type = UciOptionType::String;
    std::optional<std::string> defaultValue; // absent for a button, or when not given
    std::optional<long long>   min, max;
    std::vector<std::string>   vars; // a combo's choices, in order
};

struct UciScore {
    enum Kind { Centipawns, Mate };
    Kind kind       = Centipawns;
    int  value      = 0;     // centipawns, or moves to mate (negative: the side to move is mated)
    bool lowerbound = false; // the real score is at least this
    bool upperbound = false; // the real score is at most this
};

struct UciWdl {
    int win = 0, draw = 0, loss = 0; // per mille, from the side to move
};

// One "info" line: only the fields the line gives are set.
struct UciInfo {
    std::optional<int>         depth, seldepth, multipv, hashfull, currmovenumber;
    std::optional<UciScore>    score;
    std::optional<UciWdl>      wdl;
    std::optional<long long>   nodes, nps, tbhits, time;
    std::string                currmove;
    std::vector<std::string>   pv;   // moves in coordinate notation
    std::optional<std::string> text; // "string ...": the rest of the line
};

struct UciBestMove {
    std::string move;   // empty when the engine has none ("bestmove (none)", no legal move)
    std::string ponder; // empty when not given
};

enum class UciMessageKind { IdName, IdAuthor, Option, UciOk, ReadyOk, BestMove, Info, Unknown };

struct UciMessage {
    UciMessageKind kind = UciMessageKind::Unknown;
    std::string    text;     // id's value; for an unknown line, the line itself
    UciOption      option;   // for Option
    UciInfo        info;     // for Info
    UciBestMove    bestMove; // for BestMove
    // An Unknown line that begins with "bestmove" but names no move that can be read: a
    // search's answer that cannot be taken.
    bool unreadableBestMove = false;
};

// Reads one line the engine wrote, without or with its line end. A line that is not one of the
// messages above, or one whose fields cannot be read (a number that is not one, an option
// without its type), is Unknown and keeps its text. Unknown words inside an info line are
// passed over, as the protocol asks.
UciMessage parseUciLine(const std::string& line);

// True when a line holds something other than text: a NUL or another control character
// (a tab aside), or bytes that are not UTF-8. Such a line is not something an engine says.
bool isBinaryLine(const std::string& line);

// The option of options called name, compared without case as the protocol compares option
// names; null when there is none.
const UciOption* findUciOption(const std::vector<UciOption>& options, std::string_view name);

// True when text looks like a move in coordinate notation ("e2e4", "e7e8q", "0000").
bool isUciMove(const std::string& text);

// The search limits of a "go" command; unset fields are not sent.
struct UciGo {
    std::optional<long long> wtime, btime, winc, binc, movestogo, depth, nodes, mate, movetime;
    bool                     infinite = false;
    bool                     ponder   = false;
    std::vector<std::string> searchmoves;
};

// The client's commands, each one line without its end. Text taken from elsewhere (an option's
// name or value, a FEN) has its line breaks and other control characters turned to spaces, so
// that it can never end the line early and slip in a command of its own.
inline constexpr const char* UciCommandUci       = "uci";
inline constexpr const char* UciCommandIsReady   = "isready";
inline constexpr const char* UciCommandNewGame   = "ucinewgame";
inline constexpr const char* UciCommandStop      = "stop";
inline constexpr const char* UciCommandPonderHit = "ponderhit";
inline constexpr const char* UciCommandQuit      = "quit";

// "setoption name N value V"; without a value (a button) "setoption name N".
std::string uciSetOption(const std::string& name, const std::optional<std::string>& value);
// "position startpos [moves ...]" for an empty fen, else "position fen FEN [moves ...]".
std::string uciPosition(const std::string& fen, const std::vector<std::string>& moves);
std::string uciGo(const UciGo& go);
