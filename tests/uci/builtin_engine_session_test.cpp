// The built-in engine (norvane-cli uci) driven through the protocol layer as an analysis
// client drives it: the go limits, searchmoves, ponderhit, several lines, and the game's
// earlier positions. Node and depth limits keep every search short; the waits given to
// pumpUntil only catch a hang.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "uci/processrunner.h"
#include "uci/uciclient.h"

namespace {

constexpr int HangMs = 120000;

bool searched(const UciClient& client) { return client.bestMove().has_value(); }

// One engine process under a client, past its handshake, with the book off so that every move
// comes from a search.
class BuiltInEngine : public ::testing::Test {
protected:
    BuiltInEngine() : transport(runner), client(transport, UciTimeouts{HangMs, HangMs, HangMs}) {}

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(runner.start(NORVANE_CLI, {"uci"}, error)) << error;
        client.start(steadyMilliseconds());
        ASSERT_TRUE(pumpUntil(runner, client,
                              [](const UciClient& c) { return c.state() == UciClient::State::Idle; },
                              HangMs))
            << client.error().text;
        setOption("OwnBook", "false");
    }
    void TearDown() override {
        client.quit();
        runner.stop(HangMs);
    }

    void setOption(const std::string& name, const std::string& value) {
        ASSERT_TRUE(client.setOption(name, value));
        ready();
    }
    void ready() {
        ASSERT_TRUE(client.isReady(steadyMilliseconds()));
        ASSERT_TRUE(pumpUntil(runner, client, [](const UciClient& c) { return !c.readyPending(); },
                              HangMs))
            << client.error().text;
    }
    // Searches fen (empty: the initial position) after moves under limits; the bestmove.
    std::string search(const std::string& fen, const std::vector<std::string>& moves,
                       const UciGo& limits) {
        EXPECT_TRUE(client.go(fen, moves, limits));
        EXPECT_TRUE(pumpUntil(runner, client, searched, HangMs)) << client.error().text;
        return client.bestMove() ? client.bestMove()->move : "(none)";
    }
    const UciInfo& line(int multipv) {
        static const UciInfo none;
        const auto found = client.lines().find(multipv);
        return found == client.lines().end() ? none : found->second;
    }

    ProcessRunner    runner;
    ProcessTransport transport;
    UciClient        client;
};

UciGo depth(int plies) {
    UciGo go;
    go.depth = plies;
    return go;
}

// White mates in two: Nf6+ gxf6, Bxf7#.
constexpr const char* MateInTwo = "r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1";

}  // namespace

namespace {

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        out.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

}  // namespace

// Two won endings played by the engine against a king that walks to and fro, up to where the
// engine, not knowing the game's earlier positions, played the move that repeats a position
// for the third time. Given the moves it plays another and stays winning.
TEST_F(BuiltInEngine, AvoidsTheThirdOccurrenceInAWonEnding) {
    struct Case {
        const char* ending;
        const char* fen;
        const char* moves;
        const char* repeating;  // the third occurrence
    } cases[] = {
        {"KRR v K", "8/8/8/3k4/8/8/1R6/R5K1 w - - 0 1",
         "g1f1 d5e5 f1g1 e5d5 a1e1 d5c4 e1d1 c4c3 d1b1 c3c4 b1c1 c4d3 c1d1 d3c3 d1d2 c3c4 "
         "b2b6 c4c3 b6b2 c3c4 b2b6 c4c3",
         "b6b2"},
        {"KQ v K", "8/8/8/4k3/8/8/8/1Q4K1 w - - 0 1",
         "b1d1 e5e6 g1h1 e6e5 d1c1 e5e6 c1e1 e6d5 e1f1 d5c5 f1a1 c5b4 a1b2 b4a4 b2c3 a4b5 "
         "c3d4 b5a5 d4a1 a5b4 a1b2 b4a4 b2c3 a4b5 c3d4 b5a5 d4a1 a5b4",
         "a1b2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ending);
        EXPECT_NE(search(c.fen, words(c.moves), depth(5)), c.repeating);
        ASSERT_TRUE(line(1).score.has_value());
        EXPECT_GT(line(1).score->value, 500) << "still winning";
    }
}

// go nodes, go mate, searchmoves: each obeyed, in one table of searches.
TEST_F(BuiltInEngine, ObeysTheGoLimits) {
    UciGo nodes;
    nodes.nodes = 20000;
    UciGo mate;
    mate.mate = 2;
    UciGo restricted = depth(4);
    restricted.searchmoves = {"a2a3", "b2b3"};  // the queen on h5 is lost either way
    struct Case {
        const char*              what;
        std::string              fen;
        UciGo                    go;
        std::vector<std::string> answers;    // empty: any legal move
        long long                maxNodes;   // the last info's nodes at most; 0: any
        std::vector<std::string> mateLine;   // a mate in two along this line; empty: no mate
    } cases[] = {
        {"nodes", "", nodes, {}, 20000, {}},
        {"mate", MateInTwo, mate, {"d5f6"}, 0, {"d5f6", "g7f6", "c4f7"}},
        {"searchmoves", "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
         restricted, {"a2a3", "b2b3"}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string move = search(c.fen, {}, c.go);
        EXPECT_TRUE(isUciMove(move)) << move;
        if (!c.answers.empty()) {
            EXPECT_NE(std::find(c.answers.begin(), c.answers.end(), move), c.answers.end()) << move;
        }
        if (c.maxNodes > 0) {
            ASSERT_TRUE(client.progress().nodes.has_value());
            EXPECT_LE(*client.progress().nodes, c.maxNodes);
        }
        if (!c.mateLine.empty()) {
            ASSERT_TRUE(line(1).score.has_value());
            EXPECT_EQ(line(1).score->kind, UciScore::Mate);
            EXPECT_EQ(line(1).score->value, 2);
            EXPECT_EQ(line(1).pv, c.mateLine);
        }
    }
}

// A ponder search answers after ponderhit, without a stop: at once when it had finished (a mate
// in one found while pondering), and by its depth when it had not.
TEST_F(BuiltInEngine, PonderHitBringsTheBestMove) {
    setOption("Ponder", "true");
    UciGo ponder = depth(1);
    ponder.ponder = true;
    ASSERT_TRUE(client.go("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", {}, ponder));
    ASSERT_TRUE(pumpUntil(runner, client, [](const UciClient& c) { return !c.lines().empty(); },
                          HangMs));
    ready();
    EXPECT_FALSE(client.bestMove().has_value()) << "no bestmove before ponderhit";
    ASSERT_TRUE(client.ponderHit());
    ASSERT_TRUE(pumpUntil(runner, client, searched, HangMs)) << client.error().text;
    EXPECT_EQ(client.bestMove()->move, "d1d8");

    ponder.depth = 4;
    ASSERT_TRUE(client.go("", {"e2e4", "e7e5"}, ponder));
    ASSERT_TRUE(client.ponderHit());
    ASSERT_TRUE(pumpUntil(runner, client, searched, HangMs)) << client.error().text;
    EXPECT_TRUE(isUciMove(client.bestMove()->move));
}

// MultiPV 3: three lines of distinct first moves, best first.
TEST_F(BuiltInEngine, GivesSeveralLines) {
    setOption("MultiPV", "3");
    search("", {"e2e4"}, depth(4));
    ASSERT_EQ(client.lines().size(), 3u);
    std::set<std::string> firstMoves;
    for (int k = 1; k <= 3; ++k) {
        SCOPED_TRACE(k);
        const UciInfo& info = line(k);
        ASSERT_TRUE(info.score.has_value());
        ASSERT_FALSE(info.pv.empty());
        EXPECT_EQ(info.depth, 4);
        firstMoves.insert(info.pv.front());
        if (k > 1) {
            EXPECT_EQ(info.score->kind, UciScore::Centipawns);
            EXPECT_LE(info.score->value, line(k - 1).score->value);
        }
    }
    EXPECT_EQ(firstMoves.size(), 3u);
    EXPECT_EQ(line(1).pv.front(), client.bestMove()->move);
}
