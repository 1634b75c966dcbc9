// The UCI session on recorded engine transcripts: each case plays the engine's lines, the
// owner's commands and the clock into a client, and looks at where the session ends up.
#include <gtest/gtest.h>

#include <functional>

#include "uci/uciclient.h"

namespace {

class RecordingTransport : public UciTransport {
public:
    bool sendLine(const std::string& line) override {
        sent.push_back(line);
        return !broken;
    }
    std::vector<std::string> sent;
    bool                     broken = false;
};

// One step of a transcript: "< line" the engine writes, "@ ms" the clock moves on,
// "go", "stop", "isready", "quit" the owner's commands, "exit detail" the process ends.
using Transcript = std::vector<std::string>;

// A handshake the cases start from, with an option whose name and default have spaces.
const Transcript Handshake = {
    "< Fake Engine 1.0 by nobody", // a banner before uci, as engines print
    "< id name Fake Engine 1.0",
    "< id author Some One",
    "< option name Hash type spin default 16 min 1 max 1024",
    "< option name Book File type string default my book.bin",
    "< uciok"};

Transcript withHandshake(const Transcript& rest) {
    Transcript all = Handshake;
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
}

void play(UciClient& client, const Transcript& transcript) {
    std::int64_t now = 0;
    client.start(now);
    for (const std::string& step : transcript) {
        const std::size_t space = step.find(' ');
        const std::string word  = step.substr(0, space);
        const std::string rest  = space == std::string::npos ? "" : step.substr(space + 1);
        if (word == "<")
            client.lineReceived(rest, now);
        else if (word == "@")
            client.tick(now = std::stoll(rest));
        else if (word == "go")
            client.go("", {"e2e4"}, UciGo{});
        else if (word == "stop")
            client.stop(now);
        else if (word == "isready")
            client.isReady(now);
        else if (word == "quit")
            client.quit();
        else if (word == "exit")
            client.engineExited(rest);
        else
            FAIL() << "unknown step " << step;
    }
}

struct TranscriptCase {
    const char*                           name;
    Transcript                            transcript;
    UciClient::State                      state;
    UciErrorKind                          error;
    std::function<void(const UciClient&)> check;
};

} // namespace

TEST(UciClient, Transcripts) {
    using State                             = UciClient::State;
    const std::vector<TranscriptCase> cases = {
        {"normal search",
         withHandshake({"go", "< info depth 1 score cp 20 nodes 30 pv d2d4",
                        "< info depth 2 seldepth 4 score cp 31 nodes 900 nps 90000 hashfull 5 "
                        "time 10 pv e2e4 e7e5",
                        "< bestmove e2e4 ponder e7e5"}),
         State::Idle, UciErrorKind::None,
         [](const UciClient& c) {
             EXPECT_EQ(c.engineName(), "Fake Engine 1.0");
             EXPECT_EQ(c.engineAuthor(), "Some One");
             ASSERT_EQ(c.options().size(), 2u);
             EXPECT_EQ(c.options()[1].defaultValue, "my book.bin");
             ASSERT_EQ(c.lines().size(), 1u);
             EXPECT_EQ(c.lines().at(1).score->value, 31);
             EXPECT_EQ(c.lines().at(1).pv, (std::vector<std::string>{"e2e4", "e7e5"}));
             EXPECT_EQ(c.progress().depth, 2);
             EXPECT_EQ(c.progress().seldepth, 4);
             EXPECT_EQ(c.progress().nps, 90000);
             EXPECT_EQ(c.progress().hashfull, 5);
             EXPECT_EQ(c.bestMove()->move, "e2e4");
             EXPECT_EQ(c.bestMove()->ponder, "e7e5");
         }},
        {"mate scores",
         withHandshake({"go", "< info depth 3 score mate 2 pv d1h5 g7g6 h5e5",
                        "< info depth 3 multipv 2 score mate -1 pv a2a3 f6f2"}),
         State::Searching, UciErrorKind::None,
         [](const UciClient& c) {
             EXPECT_EQ(c.lines().at(1).score->kind, UciScore::Mate);
             EXPECT_EQ(c.lines().at(1).score->value, 2);
             EXPECT_EQ(c.lines().at(2).score->value, -1);
             EXPECT_FALSE(c.bestMove());
         }},
        {"bounds keep the line's moves",
         withHandshake({"go", "< info depth 9 score cp 40 pv g1f3 g8f6",
                        "< info depth 10 score cp 75 lowerbound",
                        "< info depth 10 score cp 60 upperbound"}),
         State::Searching, UciErrorKind::None,
         [](const UciClient& c) {
             const UciInfo& line = c.lines().at(1);
             EXPECT_EQ(line.score->value, 60);
             EXPECT_TRUE(line.score->upperbound);
             EXPECT_FALSE(line.score->lowerbound);
             EXPECT_EQ(line.pv, (std::vector<std::string>{"g1f3", "g8f6"}));
         }},
        {"WDL per line",
         withHandshake({"go", "< info depth 5 multipv 1 score cp 30 wdl 120 850 30 pv e2e4",
                        "< info depth 5 multipv 2 score cp 10 wdl 60 880 60 pv d2d4"}),
         State::Searching, UciErrorKind::None,
         [](const UciClient& c) {
             ASSERT_EQ(c.lines().size(), 2u);
             EXPECT_EQ(c.lines().at(1).wdl->win, 120);
             EXPECT_EQ(c.lines().at(2).wdl->draw, 880);
         }},
        {"currmove lines make no line",
         withHandshake({"go", "< info depth 7 currmove b1c3 currmovenumber 4",
                        "< info nodes 5000 nps 100000"}),
         State::Searching, UciErrorKind::None,
         [](const UciClient& c) {
             EXPECT_TRUE(c.lines().empty());
             EXPECT_EQ(c.progress().currmove, "b1c3");
             EXPECT_EQ(c.progress().currmovenumber, 4);
             EXPECT_EQ(c.progress().nodes, 5000);
         }},
        {"unknown lines are noted",
         withHandshake({"go", "< debug: hash resized", "< info depth x",
                        "< info string NNUE loaded", "< bestmove (none)"}),
         State::Idle, UciErrorKind::None,
         [](const UciClient& c) {
             EXPECT_EQ(c.notes().back(), "NNUE loaded");
             EXPECT_EQ(c.notes()[c.notes().size() - 2], "info depth x");
             EXPECT_EQ(c.bestMove()->move, "");
         }},
        {"a new search drops the old lines",
         withHandshake({"go", "< info depth 4 score cp 5 pv a2a3", "< bestmove a2a3", "go"}),
         State::Searching, UciErrorKind::None,
         [](const UciClient& c) {
             EXPECT_TRUE(c.lines().empty());
             EXPECT_FALSE(c.bestMove());
         }},
        {"an unreadable bestmove ends the search", withHandshake({"go", "< bestmove Nf3"}),
         State::Failed, UciErrorKind::Garbage,
         [](const UciClient& c) { EXPECT_EQ(c.error().text, "bestmove Nf3"); }},
        {"an unreadable bestmove after stop", withHandshake({"go", "stop", "< bestmove"}),
         State::Failed, UciErrorKind::Garbage, nullptr},
        {"a stray unreadable bestmove is only noted", withHandshake({"< bestmove ???"}),
         State::Idle, UciErrorKind::None, nullptr},
        {"binary garbage", withHandshake({"go", "< info depth 3 \x01\x02\xff"}), State::Failed,
         UciErrorKind::Garbage, nullptr},
        {"garbage during the handshake",
         {"< id name X", std::string("< \x00\x00\x00", 5)},
         State::Failed,
         UciErrorKind::Garbage,
         nullptr},
        {"dies mid-search",
         withHandshake({"go", "< info depth 1 score cp 3 pv e2e4", "exit signal 11"}),
         State::Failed, UciErrorKind::Exited,
         [](const UciClient& c) { EXPECT_EQ(c.error().text, "signal 11"); }},
        {"never answers uci",
         {"@ 4999", "< id name Slow"},
         State::Handshake,
         UciErrorKind::None,
         nullptr},
        {"never answers uci, past the timeout",
         {"@ 4999", "@ 5000"},
         State::Failed,
         UciErrorKind::HandshakeTimeout,
         nullptr},
        {"never answers isready", withHandshake({"isready", "@ 6000"}), State::Failed,
         UciErrorKind::ReadyTimeout, nullptr},
        {"readyok in time", withHandshake({"isready", "@ 4000", "< readyok", "@ 9000"}),
         State::Idle, UciErrorKind::None,
         [](const UciClient& c) { EXPECT_FALSE(c.readyPending()); }},
        {"never answers stop",
         withHandshake({"go", "@ 100", "stop", "@ 5099", "< info depth 30", "@ 5100"}),
         State::Failed, UciErrorKind::StopTimeout, nullptr},
        {"stop answered", withHandshake({"go", "stop", "< bestmove g1f3"}), State::Idle,
         UciErrorKind::None, nullptr},
        {"exit after quit is no error", withHandshake({"quit", "exit status 0"}), State::Closed,
         UciErrorKind::None, nullptr},
        {"exit while idle is an error", withHandshake({"exit status 1"}), State::Failed,
         UciErrorKind::Exited, nullptr},
    };
    for (const TranscriptCase& test : cases) {
        SCOPED_TRACE(test.name);
        RecordingTransport transport;
        UciClient          client(transport);
        play(client, test.transcript);
        EXPECT_EQ(client.state(), test.state);
        EXPECT_EQ(client.error().kind, test.error);
        if (test.check) test.check(client);
    }
}

TEST(UciClient, FloodOfUnknownLinesIsGarbage) {
    RecordingTransport transport;
    UciClient          client(transport);
    play(client, Handshake);
    for (int line = 0; line < UciClient::MaxUnknownRun - 1; ++line)
        client.lineReceived("chatter", 0);
    EXPECT_EQ(client.state(), UciClient::State::Idle);
    EXPECT_EQ(client.lineReceived("chatter", 0), UciEvent::Failed);
    EXPECT_EQ(client.error().kind, UciErrorKind::Garbage);
}

TEST(UciClient, SendsTheCommandsInOrder) {
    RecordingTransport transport;
    UciClient          client(transport);
    play(client, Handshake);
    EXPECT_TRUE(client.setOption("Book File", std::string("a b.bin")));
    EXPECT_TRUE(client.newGame());
    UciGo limits;
    limits.depth = 3;
    EXPECT_TRUE(client.go("", {"e2e4", "e7e5"}, limits));
    EXPECT_FALSE(client.setOption("Hash", std::string("32"))); // not while searching
    EXPECT_FALSE(client.go("", {}, limits));
    EXPECT_TRUE(client.isReady(0));
    EXPECT_TRUE(client.stop(0));
    client.quit();
    EXPECT_EQ(transport.sent,
              (std::vector<std::string>{"uci", "setoption name Book File value a b.bin",
                                        "ucinewgame", "position startpos moves e2e4 e7e5",
                                        "go depth 3", "isready", "stop", "quit"}));
}

TEST(UciClient, ABrokenPipeFailsTheSession) {
    RecordingTransport transport;
    UciClient          client(transport);
    play(client, Handshake);
    transport.broken = true;
    EXPECT_FALSE(client.go("", {}, UciGo{}));
    EXPECT_EQ(client.state(), UciClient::State::Failed);
    EXPECT_EQ(client.error().kind, UciErrorKind::SendFailed);
    // The owner then finds the engine gone: the failure is told as its end.
    EXPECT_EQ(client.engineExited("exit status 3"), UciEvent::Failed);
    EXPECT_EQ(client.error().kind, UciErrorKind::Exited);
    EXPECT_EQ(client.error().text, "exit status 3");
}
