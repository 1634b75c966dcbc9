// The fast index pass against the grammar's own machine: every hook call, every answer and the
// machine after every piece must be the same, over real files, the fuzz corpus and random
// mutations of them, fed whole and cut into pieces anywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/common/indexpasslog.h"

namespace {

// The line of log around offset at, and the three before it.
std::string linesBefore(const std::string& log, std::size_t at) {
    std::size_t start = at;
    for (int lines = 0; start > 0 && lines < 4; --start)
        if (log[start - 1] == '\n') ++lines;
    const std::size_t stop = log.find('\n', at);
    return log.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
}

// The two runs agree, for the index pass and for the search pass (which hands the hooks each
// move token's text); on a difference, the first differing call and what led to it.
template <int Mode>
void expectSameRunsIn(const std::string& text, const std::vector<std::size_t>& cuts,
                      unsigned answers, const std::string& what) {
    const std::string reference = passLog<Mode>(false, text, cuts, answers);
    const std::string fast      = passLog<Mode>(true, text, cuts, answers);
    if (reference == fast) return;
    const std::size_t at = static_cast<std::size_t>(
        std::mismatch(reference.begin(), reference.end(), fast.begin(), fast.end()).first -
        reference.begin());
    ADD_FAILURE() << what << (Mode == SearchPass ? " (search pass), " : " (index pass), ")
                  << cuts.size() << " cuts, answers " << answers << "\nreference:\n"
                  << linesBefore(reference, at) << "\nfast:\n"
                  << linesBefore(fast, at);
}

void expectSameRuns(const std::string& text, const std::vector<std::size_t>& cuts, unsigned answers,
                    const std::string& what) {
    expectSameRunsIn<IndexPass>(text, cuts, answers, what);
    expectSameRunsIn<SearchPass>(text, cuts, answers, what);
}

std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The PGN files of tests/data and the fuzz corpus, zero bytes (which the file reader never
// hands the grammar) made ones.
std::vector<std::pair<std::string, std::string>> sampleTexts() {
    std::vector<std::pair<std::string, std::string>> texts;
    const std::filesystem::path                      folders[] = {
                             NORVANE_TEST_DATA, std::filesystem::path(NORVANE_SOURCE_DIR) / "fuzz/corpus"};
    for (const std::filesystem::path& folder : folders)
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
            std::string text = readWhole(entry.path());
            std::replace(text.begin(), text.end(), '\0', '\1');
            texts.emplace_back(entry.path().lexically_relative(folder.parent_path()).string(),
                               text);
        }
    std::sort(texts.begin(), texts.end());
    return texts;
}

// Cuts at random places, pieces from 1 to maxPiece bytes.
std::vector<std::size_t> randomCuts(std::size_t size, std::size_t maxPiece, std::mt19937& random) {
    std::vector<std::size_t>                   cuts;
    std::uniform_int_distribution<std::size_t> piece(1, maxPiece);
    for (std::size_t at = piece(random); at < size; at += piece(random))
        cuts.push_back(at);
    return cuts;
}

// A copy of text with a few random edits: bytes changed, the bytes that steer the grammar put
// in, long runs of one byte (for the limits on names, values and tokens), bytes taken out.
std::string mutated(const std::string& text, std::mt19937& random) {
    static const std::string           pieces[] = {"{",
                                                   "}",
                                                   "(",
                                                   ")",
                                                   "[",
                                                   "]",
                                                   "\"",
                                                   "\\",
                                                   ";",
                                                   "%",
                                                   ".",
                                                   "*",
                                                   "$",
                                                   "$12",
                                                   "!",
                                                   "?",
                                                   "1-0",
                                                   "0-1",
                                                   "1/2-1/2",
                                                   "0-0",
                                                   "0-0-0",
                                                   "1.",
                                                   "12...",
                                                   "\n",
                                                   "\r",
                                                   "\r\n",
                                                   "\n\n",
                                                   " ",
                                                   "\t",
                                                   "\n*",
                                                   "\n1-0\n[",
                                                   "\n[Event \"x\"]\n",
                                                   "[White \"a\\\"b\"]",
                                                   "\n%x\n",
                                                   "e4",
                                                   "Nxe5+",
                                                   "1/2",
                                                   "1-"};
    std::string                        result   = text;
    std::uniform_int_distribution<int> edits(1, 8), kind(0, 9), byte(1, 255);
    for (int n = edits(random); n > 0; --n) {
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, result.size())(random);
        switch (kind(random)) {
        case 0:
        case 1:
            if (at < result.size()) result[at] = static_cast<char>(byte(random));
            break;
        case 2:
            result.insert(
                at, std::string(std::uniform_int_distribution<std::size_t>(1, 300)(random),
                                "ax\" {(-1e"[std::uniform_int_distribution<int>(0, 9)(random)]));
            break;
        case 3:
            result.erase(at, std::uniform_int_distribution<std::size_t>(1, 20)(random));
            break;
        default:
            result.insert(at, pieces[std::uniform_int_distribution<std::size_t>(
                                  0, std::size(pieces) - 1)(random)]);
            break;
        }
    }
    std::replace(result.begin(), result.end(), '\0', '\1');
    return result;
}

// A set's vector form (where the processor has one) gives its bytes as its definition does,
// with every byte value at every place of the 16 and 64 bytes read.
template <class Set> void expectSetAsDefined(const char* name) {
    SCOPED_TRACE(name);
    std::string text;
    for (int round = 0; round < 3; ++round)
        for (int c = 0; c < 256; ++c)
            text += static_cast<char>((c * 167 + round * 61) % 256);
    const char* const end = text.data() + text.size();
    for (std::size_t start = 0; start + 64 <= 300; ++start) {
        const char* const from  = text.data() + start;
        const char*       first = from;
        while (first < end && !Set::holds(static_cast<unsigned char>(*first)))
            ++first;
        EXPECT_EQ(bytescan::findFirst<Set>(from, end) - from, first - from);
        const std::uint64_t bits = bytescan::setBits64<Set>(from);
        for (int k = 0; k < 64; ++k)
            ASSERT_EQ((bits >> k & 1) != 0, Set::holds(static_cast<unsigned char>(from[k])))
                << "byte " << static_cast<int>(static_cast<unsigned char>(from[k]));
    }
}

} // namespace

TEST(FastIndexPass, ByteSetsAsDefined) {
    using namespace pgn_bytes;
    expectSetAsDefined<NotSpace>("NotSpace");
    expectSetAsDefined<NotTokenGap>("NotTokenGap");
    expectSetAsDefined<TagNameEnd>("TagNameEnd");
    expectSetAsDefined<QuoteOrBackslash>("QuoteOrBackslash");
    expectSetAsDefined<ClosingBrace>("ClosingBrace");
    expectSetAsDefined<LineEnd>("LineEnd");
    expectSetAsDefined<VariationMark>("VariationMark");
    expectSetAsDefined<TokenMark>("TokenMark");
    expectSetAsDefined<ZeroDigit>("ZeroDigit");
    expectSetAsDefined<SuffixMark>("SuffixMark");
    expectSetAsDefined<PieceLetter>("PieceLetter");
    expectSetAsDefined<Digit>("Digit");
    expectSetAsDefined<TokenStop>("TokenStop");
}

TEST(FastIndexPass, SameAsTheGrammarOnEveryTestFile) {
    std::mt19937 random(2024);
    for (const auto& [name, text] : sampleTexts()) {
        expectSameRuns(text, {}, AcceptAll, name);
        expectSameRuns(text, randomCuts(text.size(), 4000, random), AcceptAll, name);
        expectSameRuns(text, randomCuts(text.size(), 200, random), 1 + random() % 1000, name);
        if (text.size() < 20000)
            expectSameRuns(text, randomCuts(text.size(), 3, random), AcceptAll, name);
    }
}

TEST(FastIndexPass, SameAsTheGrammarWhenTheHooksRefuseOrStop) {
    // A refused game end drops the game at its termination token's last byte; at a line's
    // start ("*") what follows decides whether the next line opens a tag section.
    const std::string game = "[Event \"e\"]\n[Site \"s\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 "
                             "Nf6 5. O-O Be7 6. Re1 b5 7. Bb3 d6 8. c3 O-O 9. h3 Nb8\n";
    const std::string texts[] = {game + "*[Event \"b\"]\n1. d4 *\n\n" + game + "1-0\n\n" + game +
                                     "1/2-1/2",
                                 game + "*\n[Event \"b\"]\n\n" + game + "0-1 " + game + "*",
                                 game + "e4\n*a\n\n" + game + "*" + game + "Nf3{x}*\n" + game};
    std::mt19937      random(11);
    for (const unsigned answers : {RefuseMoveTokens, RefuseGameEnds, StopEveryGame})
        for (const std::string& text : texts) {
            expectSameRuns(text, {}, answers, "whole");
            expectSameRuns(text, randomCuts(text.size(), 90, random), answers, "pieces");
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
        const std::string what =
            name + " from " + std::to_string(start) + " mutation " + std::to_string(k);
        expectSameRuns(sample, {}, k % 2 == 0 ? AcceptAll : 1 + random() % 1000, what);
        expectSameRuns(sample, randomCuts(sample.size(), 1 + random() % 300, random),
                       k % 3 == 0 ? 1 + random() % 1000 : AcceptAll, what);
    }
}

// A comment or a side line never closed ends at a tag line after a blank line, and one that
// holds blank lines and other text does not: the fast pass hands these lines to the grammar
// wherever the cuts fall, and keeps the lines it skips in step with it.
TEST(FastIndexPass, SameAsTheGrammarWhereACommentIsNeverClosed) {
    const std::string game = "[Event \"e\"]\n[Site \"s\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 ";
    const std::string openings[] = {
        "{never closed",
        "{never closed\n \t",
        "(3... Nf6 4. O-O",
        "(3... Nf6 {in the side line",
        "(3... Nf6 ; a line comment\n",
        "{%clk\n\n[%clk 0:01]\n\n[Event]\n\n[Event \"x\" y]\n\n[9 \"x\"]\n\n[E \"v\\\"a\\\\l\\q",
        "(3... Nf6 (4. d4\n\n[Event \"open\" ]\n",
    };
    const std::string ends[] = {"\n\n[Event \"b\"]\n\n1. d4 *\n", "\r\n\r\n[Event \"b\"]\r\n1. d4 *\r\n",
                                "\n \n  [Event\t\"b\"] 1. d4 *\n", "\n\n[Event \"b\"", "} 4. Ba4 *\n"};
    std::mt19937 random(3);
    for (const std::string& opening : openings)
        for (const std::string& end : ends) {
            const std::string text = game + opening + end + game + "*\n";
            expectSameRuns(text, {}, AcceptAll, opening + end);
            for (const std::size_t piece : {1, 3, 17, 80})
                expectSameRuns(text, randomCuts(text.size(), piece, random), AcceptAll, opening + end);
            // Long enough for the fast pass's own reading of the comment or side line.
            const std::string padded = game + opening + std::string(300, ' ') + "x\n" + end + game + "*\n";
            expectSameRuns(padded, {}, AcceptAll, "padded " + opening + end);
            expectSameRuns(padded, randomCuts(padded.size(), 120, random), AcceptAll, "padded " + opening + end);
        }
}
