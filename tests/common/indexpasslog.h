// The index pass or the search pass written down call by call, for comparing the fast pass with
// the grammar's own machine (the differential test and the fuzz target).
#pragma once

#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "records/pgnfastindex.h"
#include "records/pgngrammar.h"

// Appends a space and the number n to a log line.
inline void putNumber(std::string& log, std::int64_t n) {
    char digits[24];
    log += ' ';
    log.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

// How the recording hooks answer: they accept every move token and game end, refuse every
// move token, refuse every game end, or stop the run after every game; any other value is a
// seed by which they refuse some of each and stop after some, the same calls in both runs as
// long as the two logs agree.
inline constexpr unsigned AcceptAll = 0, RefuseMoveTokens = ~0u, RefuseGameEnds = ~0u - 1,
                          StopEveryGame = ~0u - 2;

// Writes down every hook call, a line each, and answers as answers says.
struct RecordingHooks {
    std::string& log;
    unsigned     answers  = AcceptAll;
    bool         withText = false; // move tokens with their text (the search pass keeps it)
    unsigned     calls    = 0;

    bool refuses(unsigned every) {
        ++calls;
        return answers < StopEveryGame && answers != AcceptAll &&
               (calls * 2654435761u + answers) % every == 0;
    }
    void line(const char* word, std::int64_t a) {
        log += word;
        putNumber(log, a);
        log += '\n';
    }
    void gameStart(std::int64_t offset) { line("start", offset); }
    void tagTaken(const PgnMachine& m) {
        log += "tag ";
        log.append(m.name, static_cast<std::size_t>(m.nameLength)) += '=';
        log.append(m.value, static_cast<std::size_t>(m.valueLength));
        putNumber(log, static_cast<std::int64_t>(std::strlen(m.name)));
        line("", static_cast<std::int64_t>(std::strlen(m.value)));
    }
    void movetextBegins() { log += "movetext\n"; }
    bool moveToken(const char* text, int n) {
        if (withText) log.append(text, static_cast<std::size_t>(n)) += ' ';
        line("token", n);
        return answers != RefuseMoveTokens && !refuses(53);
    }
    bool gameEnd(int result, std::int64_t lastOffset, bool& stop) {
        log += "end";
        putNumber(log, result);
        line("", lastOffset);
        stop = answers == StopEveryGame || refuses(7);
        return answers != RefuseGameEnds && !refuses(11);
    }
    void gameSkipped(std::int64_t offset) { line("skip", offset); }
    void strayByte(std::int64_t offset, unsigned char c) {
        log += "stray";
        putNumber(log, offset);
        line("", c);
    }
};

// Writes down what later bytes can see of a machine: the tag being read only inside a tag, the
// depth only inside a variation, the token's length only inside a token (the passes never read
// a token's text). The grammar itself leaves the rest as the cuts fall: a tag value too long
// to keep is dropped with as much of it copied as the pieces before the failing one held.
inline void putMachine(std::string& log, const PgnMachine& m) {
    log += " state";
    putNumber(log, m.state);
    putNumber(log, m.movetextBegun);
    putNumber(log, m.stopped);
    putNumber(log, m.resyncInTags);
    putNumber(log, static_cast<unsigned char>(m.previous));
    if ((m.state >= TagName && m.state <= AfterTagValue) || m.state == TagValueEscape) {
        log.append(" name ").append(m.name, static_cast<std::size_t>(m.nameLength));
        log.append(" value ").append(m.value, static_cast<std::size_t>(m.valueLength));
    }
    if (m.state == Variation || m.state == VariationComment || m.state == VariationLineComment)
        putNumber(log, m.depth);
    // Inside a comment or a variation: where a line starts, and the "{" or "(" a tag line
    // would report; inside a line that may be a tag line, what it holds so far.
    if (m.state == Comment || m.state == Variation || m.state == VariationComment) {
        log += " line";
        putNumber(log, m.lineStart);
        putNumber(log, m.openedAt);
    }
    if (m.state >= LostTagName && m.state <= LostTagClose) {
        log.append(" lost ").append(m.name, static_cast<std::size_t>(m.nameLength));
        log.append(" value ").append(m.value, static_cast<std::size_t>(m.valueLength));
        putNumber(log, m.lostFrom);
        putNumber(log, m.lostTagAt);
        putNumber(log, m.openedAt);
        putNumber(log, m.depth);
    }
    if (m.state == MoveToken) putNumber(log, m.tokenLength);
    log += '\n';
}

// The log of one run of the index pass or the search pass (Mode), the grammar's own (fast
// false) or the fast one, over text cut before each offset of cuts (ascending, inside the
// text; no zero bytes in it): the hook calls, and the answer and the machine after each piece
// and at the end. The hooks answer as answers says.
template <int Mode = IndexPass>
std::string passLog(bool fast, const std::string& text, const std::vector<std::size_t>& cuts,
                    unsigned answers) {
    std::string       log;
    RecordingHooks    hooks{log, answers, Mode == SearchPass};
    PgnMachine        machine;
    const char* const data = text.data();
    std::size_t       from = 0;
    for (std::size_t k = 0; k <= cuts.size(); ++k) {
        const std::size_t to = k < cuts.size() ? cuts[k] : text.size();
        const char*       p  = data + from;
        do {
            const char* const q = fast ? runPassFast<Mode>(machine, p, data + to, p - data, hooks)
                                       : runPgn<Mode>(machine, p, data + to, p - data, hooks);
            log += "returned";
            putNumber(log, q - data);
            putMachine(log, machine);
            p = q;
        } while (p < data + to); // a stop: the run goes on after it
        from = to;
    }
    const bool finished = finishPgn<Mode>(machine, static_cast<std::int64_t>(text.size()), hooks);
    log += "finished";
    putNumber(log, finished);
    putMachine(log, machine);
    return log;
}
