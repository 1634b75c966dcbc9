// The fast index pass against the grammar's own machine: every hook call, every answer and the
// machine after every piece must be the same, over real files, the fuzz corpus and random
// mutations of them, fed whole and cut into pieces anywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "records/pgnfastindex.h"
#include "records/pgngrammar.h"

namespace {

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
std::string machineState(const PgnMachine& m) {
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

// The log of one run over text cut before each offset of cuts (ascending, inside the text).
std::vector<std::string> runLog(bool fast, const std::string& text,
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

// The two runs agree; on a difference, the first differing call and what led to it.
void expectSameRuns(const std::string& text, const std::vector<std::size_t>& cuts,
                    unsigned refusalSeed, const std::string& what) {
    const std::vector<std::string> reference = runLog(false, text, cuts, refusalSeed);
    const std::vector<std::string> fast      = runLog(true, text, cuts, refusalSeed);
    const auto [r, f] = std::mismatch(reference.begin(), reference.end(), fast.begin(), fast.end());
    if (r == reference.end() && f == fast.end()) return;
    const std::size_t at = static_cast<std::size_t>(r - reference.begin());
    std::string       before;
    for (std::size_t i = at > 3 ? at - 3 : 0; i < at; ++i)
        before += "  " + reference[i] + "\n";
    ADD_FAILURE() << what << ", " << cuts.size() << " cuts, refusals " << refusalSeed
                  << ": call " << at << "\n"
                  << before << "reference: " << (r == reference.end() ? "(none)" : *r) << "\n"
                  << "fast:      " << (f == fast.end() ? "(none)" : *f);
}

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The PGN files of tests/data and the fuzz corpus, zero bytes (which the file reader never
// hands the grammar) made ones.
std::vector<std::pair<std::string, std::string>> sampleTexts() {
    std::vector<std::pair<std::string, std::string>> texts;
    const std::filesystem::path folders[] = {NORVANE_TEST_DATA,
                                              std::filesystem::path(NORVANE_SOURCE_DIR) / "fuzz/corpus"};
    for (const std::filesystem::path& folder : folders)
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
            std::string text = readWhole(entry.path());
            std::replace(text.begin(), text.end(), '\0', '\1');
            texts.emplace_back(entry.path().lexically_relative(folder.parent_path()).string(), text);
        }
    std::sort(texts.begin(), texts.end());
    return texts;
}

// Cuts at random places, pieces from 1 to maxPiece bytes.
std::vector<std::size_t> randomCuts(std::size_t size, std::size_t maxPiece, std::mt19937& random) {
    std::vector<std::size_t> cuts;
    std::uniform_int_distribution<std::size_t> piece(1, maxPiece);
    for (std::size_t at = piece(random); at < size; at += piece(random))
        cuts.push_back(at);
    return cuts;
}

// A copy of text with a few random edits: bytes changed, the bytes that steer the grammar put
// in, long runs of one byte (for the limits on names, values and tokens), bytes taken out.
std::string mutated(const std::string& text, std::mt19937& random) {
    static const std::string pieces[] = {
        "{", "}", "(", ")", "[", "]", "\"", "\\", ";", "%", ".", "*", "$", "$12", "!", "?",
        "1-0", "0-1", "1/2-1/2", "0-0", "0-0-0", "1.", "12...", "\n", "\r", "\r\n", "\n\n", " ",
        "\t", "\n*", "\n1-0\n[", "\n[Event \"x\"]\n", "[White \"a\\\"b\"]", "\n%x\n", "e4", "Nxe5+", "1/2", "1-"};
    std::string result = text;
    std::uniform_int_distribution<int> edits(1, 8), kind(0, 9), byte(1, 255);
    for (int n = edits(random); n > 0; --n) {
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, result.size())(random);
        switch (kind(random)) {
        case 0:
        case 1:
            if (at < result.size()) result[at] = static_cast<char>(byte(random));
            break;
        case 2:
            result.insert(at, std::string(std::uniform_int_distribution<std::size_t>(1, 300)(random),
                                          "ax\" {(-1e"[std::uniform_int_distribution<int>(0, 9)(random)]));
            break;
        case 3:
            result.erase(at, std::uniform_int_distribution<std::size_t>(1, 20)(random));
            break;
        default:
            result.insert(at, pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)]);
            break;
        }
    }
    std::replace(result.begin(), result.end(), '\0', '\1');
    return result;
}

} // namespace

TEST(FastIndexPass, SameAsTheGrammarOnEveryTestFile) {
    std::mt19937 random(2024);
    for (const auto& [name, text] : sampleTexts()) {
        expectSameRuns(text, {}, 0, name);
        expectSameRuns(text, randomCuts(text.size(), 4000, random), 0, name);
        expectSameRuns(text, randomCuts(text.size(), 200, random), 1 + random() % 1000, name);
        if (text.size() < 20000) expectSameRuns(text, randomCuts(text.size(), 3, random), 0, name);
    }
}

TEST(FastIndexPass, SameAsTheGrammarOnMutatedTexts) {
    const std::vector<std::pair<std::string, std::string>> samples = sampleTexts();
    std::mt19937                                           random(7);
    for (int k = 0; k < 3000; ++k) {
        const auto& [name, text] = samples[random() % samples.size()];
        // A stretch of the file from anywhere, so that it may start inside a game.
        const std::size_t length = std::min<std::size_t>(text.size(), 100 + random() % 3000);
        const std::size_t start  = random() % (text.size() - length + 1);
        const std::string sample = mutated(text.substr(start, length), random);
        const std::string what   = name + " from " + std::to_string(start) + " mutation " + std::to_string(k);
        expectSameRuns(sample, {}, k % 2 == 0 ? 0 : 1 + random() % 1000, what);
        expectSameRuns(sample, randomCuts(sample.size(), 1 + random() % 300, random),
                       k % 3 == 0 ? 1 + random() % 1000 : 0, what);
    }
}
