// uci/ucimessages: reading the engine's lines and writing the client's commands.
#include "uci/ucimessages.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
#include <type_traits>

#include "records/utf8.h"

namespace {

// The words of a line, split at spaces and tabs.
std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::size_t              at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        if (end > at) words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// The line without its line end (a "\r\n" included).
std::string withoutLineEnd(const std::string& line) {
    std::size_t end = line.size();
    while (end > 0 && (line[end - 1] == '\n' || line[end - 1] == '\r'))
        --end;
    return line.substr(0, end);
}

// The text of the line after its first count words, without the spaces around it.
std::string restAfterWords(const std::string& line, int count) {
    std::size_t at = 0;
    for (int word = 0; word < count; ++word) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t')
            ++at;
    }
    const std::size_t first = line.find_first_not_of(" \t", at);
    if (first == std::string::npos) return "";
    const std::size_t last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}

template <typename Number> bool readNumber(const std::string& word, Number& value) {
    const char* first       = word.data();
    const char* last        = word.data() + word.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

std::string joinWords(const std::vector<std::string>& words, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t at = from; at < to; ++at) {
        if (at > from) text += ' ';
        text += words[at];
    }
    return text;
}

bool readOption(const std::vector<std::string>& words, UciOption& option) {
    // option name <words> type <t> [default <words>] [min n] [max n] [var <words>]...
    if (words.size() < 2 || words[1] != "name") return false;
    std::size_t at = 2;
    while (at < words.size() && words[at] != "type")
        ++at;
    if (at == 2 || at + 1 >= words.size()) return false;
    option.name             = joinWords(words, 2, at);
    const std::string& type = words[at + 1];
    if (type == "spin")
        option.type = UciOptionType::Spin;
    else if (type == "check")
        option.type = UciOptionType::Check;
    else if (type == "combo")
        option.type = UciOptionType::Combo;
    else if (type == "string")
        option.type = UciOptionType::String;
    else if (type == "button")
        option.type = UciOptionType::Button;
    else
        return false;
    at += 2;
    const auto isKey = [](const std::string& word) {
        return word == "default" || word == "min" || word == "max" || word == "var";
    };
    while (at < words.size()) {
        const std::string& key = words[at];
        std::size_t        end = at + 1;
        while (end < words.size() && !isKey(words[end]))
            ++end;
        const std::string value = joinWords(words, at + 1, end);
        if (key == "default") {
            // An empty string option is written "<empty>" by many engines.
            option.defaultValue = value == "<empty>" ? std::string() : value;
        } else if (key == "var") {
            option.vars.push_back(value);
        } else if (key == "min" || key == "max") {
            long long number = 0;
            if (end != at + 2 || !readNumber(words[at + 1], number)) return false;
            (key == "min" ? option.min : option.max) = number;
        } else {
            return false; // a word where a key belongs
        }
        at = end;
    }
    if (option.type == UciOptionType::Spin && option.defaultValue) {
        long long number = 0;
        if (!readNumber(*option.defaultValue, number)) return false;
    }
    return true;
}

bool readInfo(const std::string& line, const std::vector<std::string>& words, UciInfo& info) {
    std::size_t at = 1;
    // Reads the next word as a number into field; false when it is missing or not a number.
    const auto next = [&](auto& field) {
        if (at + 1 >= words.size()) return false;
        typename std::remove_reference_t<decltype(field)>::value_type number{};
        if (!readNumber(words[at + 1], number)) return false;
        field = number;
        at += 2;
        return true;
    };
    while (at < words.size()) {
        const std::string& key = words[at];
        if (key == "depth") {
            if (!next(info.depth)) return false;
        } else if (key == "seldepth") {
            if (!next(info.seldepth)) return false;
        } else if (key == "multipv") {
            if (!next(info.multipv)) return false;
        } else if (key == "hashfull") {
            if (!next(info.hashfull)) return false;
        } else if (key == "currmovenumber") {
            if (!next(info.currmovenumber)) return false;
        } else if (key == "nodes") {
            if (!next(info.nodes)) return false;
        } else if (key == "nps") {
            if (!next(info.nps)) return false;
        } else if (key == "tbhits") {
            if (!next(info.tbhits)) return false;
        } else if (key == "time") {
            if (!next(info.time)) return false;
        } else if (key == "sbhits" || key == "cpuload") {
            std::optional<long long> ignored;
            if (!next(ignored)) return false;
        } else if (key == "score") {
            if (at + 2 >= words.size()) return false;
            UciScore score;
            if (words[at + 1] == "cp")
                score.kind = UciScore::Centipawns;
            else if (words[at + 1] == "mate")
                score.kind = UciScore::Mate;
            else
                return false;
            if (!readNumber(words[at + 2], score.value)) return false;
            at += 3;
            for (; at < words.size(); ++at) {
                if (words[at] == "lowerbound")
                    score.lowerbound = true;
                else if (words[at] == "upperbound")
                    score.upperbound = true;
                else
                    break;
            }
            info.score = score;
        } else if (key == "wdl") {
            if (at + 3 >= words.size()) return false;
            UciWdl wdl;
            if (!readNumber(words[at + 1], wdl.win) || !readNumber(words[at + 2], wdl.draw) ||
                !readNumber(words[at + 3], wdl.loss))
                return false;
            info.wdl = wdl;
            at += 4;
        } else if (key == "currmove") {
            if (at + 1 >= words.size() || !isUciMove(words[at + 1])) return false;
            info.currmove = words[at + 1];
            at += 2;
        } else if (key == "pv") {
            info.pv.clear();
            for (++at; at < words.size() && isUciMove(words[at]); ++at)
                info.pv.push_back(words[at]);
        } else if (key == "refutation" || key == "currline") {
            // Moves the client does not use; a currline starts with its thread's number.
            int thread = 0;
            for (++at; at < words.size() && (isUciMove(words[at]) || readNumber(words[at], thread));
                 ++at) {
            }
        } else if (key == "string") {
            info.text = restAfterWords(line, static_cast<int>(at + 1));
            return true;
        } else {
            ++at; // a word this client does not know: passed over
        }
    }
    return true;
}

} // namespace

bool isUciMove(const std::string& text) {
    if (text == "0000") return true;
    if (text.size() != 4 && text.size() != 5) return false;
    const auto file = [](char c) { return c >= 'a' && c <= 'h'; };
    const auto rank = [](char c) { return c >= '1' && c <= '8'; };
    if (!file(text[0]) || !rank(text[1]) || !file(text[2]) || !rank(text[3])) return false;
    return text.size() == 4 || std::string("qrbnQRBN").find(text[4]) != std::string::npos;
}

bool isBinaryLine(const std::string& line) {
    for (std::size_t at = 0; at < line.size();) {
        const auto byte = static_cast<unsigned char>(line[at]);
        if (byte < 0x80) {
            if ((byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || byte == 0x7f)
                return true;
            ++at;
            continue;
        }
        const int length = utf8SequenceLength(reinterpret_cast<const unsigned char*>(line.data()) + at,
                                              line.size() - at);
        if (length == 0) return true;
        at += length;
    }
    return false;
}

const UciOption* findUciOption(const std::vector<UciOption>& options, std::string_view name) {
    const auto sameLetter = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    for (const UciOption& option : options)
        if (std::equal(option.name.begin(), option.name.end(), name.begin(), name.end(), sameLetter))
            return &option;
    return nullptr;
}

UciMessage parseUciLine(const std::string& rawLine) {
    const std::string              line  = withoutLineEnd(rawLine);
    const std::vector<std::string> words = splitWords(line);
    UciMessage                     message;
    message.text = line;
    if (words.empty() || isBinaryLine(line)) return message;
    const std::string& first = words[0];
    if (first == "uciok" && words.size() == 1) {
        message.kind = UciMessageKind::UciOk;
    } else if (first == "readyok" && words.size() == 1) {
        message.kind = UciMessageKind::ReadyOk;
    } else if (first == "id" && words.size() >= 3 && (words[1] == "name" || words[1] == "author")) {
        message.kind = words[1] == "name" ? UciMessageKind::IdName : UciMessageKind::IdAuthor;
        message.text = restAfterWords(line, 2);
    } else if (first == "bestmove") {
        const bool none = words.size() >= 2 && (words[1] == "(none)" || words[1] == "0000");
        if (!none && (words.size() < 2 || !isUciMove(words[1]))) {
            message.unreadableBestMove = true;
            return message;
        }
        message.kind          = UciMessageKind::BestMove;
        message.bestMove.move = none ? "" : words[1];
        if (words.size() >= 4 && words[2] == "ponder" && isUciMove(words[3]))
            message.bestMove.ponder = words[3];
    } else if (first == "option") {
        if (readOption(words, message.option)) message.kind = UciMessageKind::Option;
    } else if (first == "info") {
        if (readInfo(line, words, message.info)) message.kind = UciMessageKind::Info;
    }
    return message;
}

namespace {

// The text with every control character turned to a space and the ends trimmed.
std::string oneLine(const std::string& text) {
    std::string line = text;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string uciSetOption(const std::string& name, const std::optional<std::string>& value) {
    std::string line = "setoption name " + oneLine(name);
    if (value) line.append(" value ").append(oneLine(*value));
    return line;
}

std::string uciPosition(const std::string& fen, const std::vector<std::string>& moves) {
    const std::string board = oneLine(fen);
    std::string       line  = board.empty() ? "position startpos" : "position fen ";
    line.append(board);
    if (!moves.empty()) {
        line += " moves";
        for (const std::string& move : moves)
            line.append(" ").append(oneLine(move));
    }
    return line;
}

std::string uciGo(const UciGo& go) {
    std::string line = "go";
    if (go.ponder) line += " ponder";
    const auto add = [&line](const char* key, const std::optional<long long>& value) {
        if (value) line.append(" ").append(key).append(" ").append(std::to_string(*value));
    };
    add("wtime", go.wtime);
    add("btime", go.btime);
    add("winc", go.winc);
    add("binc", go.binc);
    add("movestogo", go.movestogo);
    add("depth", go.depth);
    add("nodes", go.nodes);
    add("mate", go.mate);
    add("movetime", go.movetime);
    if (go.infinite) line += " infinite";
    if (!go.searchmoves.empty()) {
        line += " searchmoves";
        for (const std::string& move : go.searchmoves)
            line.append(" ").append(oneLine(move));
    }
    return line;
}
