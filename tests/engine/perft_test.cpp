// Perft against the published counts of the standard suite in tests/data.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/perft.h"
#include "engine_fixture.h"

namespace {

struct PerftCase {
    std::string id, fen;
    int         depth;
    std::uint64_t nodes;
};

// The deepest listed depth of each position whose count stays within the budget, so that
// the whole suite runs in seconds, in the sanitizer build too.
constexpr std::uint64_t NodeBudget = 5'000'000;

std::vector<PerftCase> loadSuite() {
    std::ifstream            in(NORVANE_TEST_DATA "/perft-standard.perft");
    std::vector<PerftCase>   cases;
    std::string              line;
    PerftCase                current{};
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string        tag;
        fields >> tag;
        if (tag == "id") {
            if (!current.id.empty()) cases.push_back(current);
            current = PerftCase{};
            fields >> current.id;
        } else if (tag == "epd") {
            std::getline(fields >> std::ws, current.fen);
        } else if (tag == "perft") {
            int           depth = 0;
            std::uint64_t nodes = 0;
            fields >> depth >> nodes;
            if (nodes <= NodeBudget && depth > current.depth) current.depth = depth, current.nodes = nodes;
        }
    }
    if (!current.id.empty()) cases.push_back(current);
    return cases;
}

void PrintTo(const PerftCase& c, std::ostream* os) { *os << c.id << " depth " << c.depth; }

class Perft : public ::testing::TestWithParam<PerftCase> {};

}  // namespace

TEST_P(Perft, MatchesThePublishedCount) {
    const PerftCase& c = GetParam();
    setFen(c.fen.c_str());
    const Board before = board;
    EXPECT_EQ(perft(c.depth), c.nodes) << c.fen << " depth " << c.depth;
    EXPECT_TRUE(board == before);
}

INSTANTIATE_TEST_SUITE_P(Suite, Perft, ::testing::ValuesIn(loadSuite()),
                         [](const ::testing::TestParamInfo<PerftCase>& param) {
                             std::string name = param.param.id;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(PerftSuite, IsComplete) { EXPECT_EQ(loadSuite().size(), 13u); }
