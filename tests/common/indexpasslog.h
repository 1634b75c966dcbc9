// The index pass written down call by call, for comparing the fast pass with the grammar's own
// machine (the differential test and the fuzz target).
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "records/pgnfastindex.h"
#include "records/pgngrammar.h"

// Writes down every hook call. With a refusal seed it also refuses some move tokens and game
// ends and stops the run after some games, the same calls in both runs as long as the two
// logs agree.
struct RecordingHooks {
    std::vector<std::string>& log;
    unsigned                  refusalSeed = 0;
    unsigned                  calls       = 0;

    bool refuses(unsigned every) {
        ++calls;
        return refusalSeed != 0 && (calls * 2654435761u + refusalSeed) % every == 0;
    }
    void gameStart(std::int64_t offset) { log.push_back("start " + std::to_string(offset)); }
    void tagTaken(const PgnMachine& m) {
        log.push_back("tag " + std::string(m.name, static_cast<std::size_t>(m.nameLength)) + "=" +
                      std::string(m.value, static_cast<std::size_t>(m.valueLength)) + " " +
                      std::to_string(std::strlen(m.name)) + " " +
                      std::to_string(std::strlen(m.value)));
    }
    void movetextBegins() { log.push_back("movetext"); }
    bool moveToken(const char*, int n) {
        log.push_back("token " + std::to_string(n));
        return !refuses(53);
    }
    bool gameEnd(int result, std::int64_t lastOffset, bool& stop) {
        log.push_back("end " + std::to_string(result) + " " + std::to_string(lastOffset));
        stop = refuses(7);
        return !refuses(11);
    }
    void gameSkipped(std::int64_t offset) { log.push_back("skip " + std::to_string(offset)); }
    void strayByte(std::int64_t offset, unsigned char c) {
        log.push_back("stray " + std::to_string(offset) + " " + std::to_string(c));
    }
};

// What later bytes can see of a machine: the tag being read only inside a tag, the depth only
// inside a variation, the token's length only inside a token (the passes never read a token's
// text). The grammar itself leaves the rest as the cuts fall: a tag value too long to keep is
// dropped with as much of it copied as the pieces before the failing one held.
inline std::string machineState(const PgnMachine& m) {
    std::string s = "state " + std::to_string(m.state) + " begun " +
                    std::to_string(m.movetextBegun) + " stopped " + std::to_string(m.stopped) +
                    " inTags " + std::to_string(m.resyncInTags) + " previous " +
                    std::to_string(static_cast<unsigned char>(m.previous));
    if ((m.state >= TagName && m.state <= AfterTagValue) || m.state == TagValueEscape)
        s += " name " + std::string(m.name, static_cast<std::size_t>(m.nameLength)) + " value " +
             std::string(m.value, static_cast<std::size_t>(m.valueLength));
    if (m.state == Variation || m.state == VariationComment || m.state == VariationLineComment)
        s += " depth " + std::to_string(m.depth);
    if (m.state == MoveToken) s += " token " + std::to_string(m.tokenLength);
    return s;
}

// The log of one run of the index pass, the grammar's own (fast false) or the fast one, over
// text cut before each offset of cuts (ascending, inside the text; no zero bytes in it).
inline std::vector<std::string> indexPassLog(bool fast, const std::string& text,
                                const std::vector<std::size_t>& cuts, unsigned refusalSeed) {
    std::vector<std::string> log;
    RecordingHooks           hooks{log, refusalSeed};
    PgnMachine               machine;
    const char* const        data = text.data();
    std::size_t              from = 0;
    for (std::size_t k = 0; k <= cuts.size(); ++k) {
        const std::size_t to = k < cuts.size() ? cuts[k] : text.size();
        const char*       p  = data + from;
        do {
            const char* const q =
                fast ? runIndexPassFast(machine, p, data + to, p - data, hooks)
                     : runPgn<IndexPass>(machine, p, data + to, p - data, hooks);
            log.push_back("returned " + std::to_string(q - data) + " " + machineState(machine));
            p = q;
        } while (p < data + to); // a stop: the run goes on after it
        from = to;
    }
    const bool finished = finishPgn<IndexPass>(machine, static_cast<std::int64_t>(text.size()), hooks);
    log.push_back("finished " + std::to_string(finished) + " " + machineState(machine));
    return log;
}
