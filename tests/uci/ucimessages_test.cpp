// Reading engine lines and writing client commands.
#include <gtest/gtest.h>

#include "uci/ucimessages.h"

TEST(UciMessages, IdAndHandshakeLines) {
    EXPECT_EQ(parseUciLine("id name Norvane  1.0\r\n").kind, UciMessageKind::IdName);
    EXPECT_EQ(parseUciLine("id name Norvane  1.0\r\n").text, "Norvane  1.0");
    EXPECT_EQ(parseUciLine("id author A. N. Other").text, "A. N. Other");
    EXPECT_EQ(parseUciLine("uciok").kind, UciMessageKind::UciOk);
    EXPECT_EQ(parseUciLine("readyok\n").kind, UciMessageKind::ReadyOk);
    EXPECT_EQ(parseUciLine("uciok now").kind, UciMessageKind::Unknown);
}

TEST(UciMessages, Options) {
    UciMessage spin = parseUciLine("option name Hash Size type spin default 16 min 1 max 33554432");
    ASSERT_EQ(spin.kind, UciMessageKind::Option);
    EXPECT_EQ(spin.option.name, "Hash Size");
    EXPECT_EQ(spin.option.type, UciOptionType::Spin);
    EXPECT_EQ(spin.option.defaultValue, "16");
    EXPECT_EQ(spin.option.min, 1);
    EXPECT_EQ(spin.option.max, 33554432);

    UciMessage combo =
        parseUciLine("option name Style type combo default Very Solid var Very Solid var Risky");
    ASSERT_EQ(combo.kind, UciMessageKind::Option);
    EXPECT_EQ(combo.option.defaultValue, "Very Solid");
    EXPECT_EQ(combo.option.vars, (std::vector<std::string>{"Very Solid", "Risky"}));

    UciMessage button = parseUciLine("option name Clear Hash type button");
    ASSERT_EQ(button.kind, UciMessageKind::Option);
    EXPECT_EQ(button.option.type, UciOptionType::Button);
    EXPECT_FALSE(button.option.defaultValue);

    UciMessage text = parseUciLine("option name SyzygyPath type string default <empty>");
    ASSERT_EQ(text.kind, UciMessageKind::Option);
    EXPECT_EQ(text.option.defaultValue, "");
    EXPECT_EQ(parseUciLine("option name Ponder type check default false").option.defaultValue,
              "false");

    for (const char* bad : {"option name type spin", "option name X", "option name X type slider",
                            "option name X type spin default 1 min low",
                            "option name X type spin default big", "option X type check"})
        EXPECT_EQ(parseUciLine(bad).kind, UciMessageKind::Unknown) << bad;
}

TEST(UciMessages, InfoFields) {
    UciMessage full = parseUciLine(
        "info depth 18 seldepth 27 multipv 2 score cp -31 upperbound wdl 40 900 60 nodes 1234567 "
        "nps 2000000 hashfull 412 tbhits 3 time 617 pv e2e4 e7e5 g1f3");
    ASSERT_EQ(full.kind, UciMessageKind::Info);
    const UciInfo& info = full.info;
    EXPECT_EQ(info.depth, 18);
    EXPECT_EQ(info.seldepth, 27);
    EXPECT_EQ(info.multipv, 2);
    ASSERT_TRUE(info.score);
    EXPECT_EQ(info.score->kind, UciScore::Centipawns);
    EXPECT_EQ(info.score->value, -31);
    EXPECT_TRUE(info.score->upperbound);
    EXPECT_FALSE(info.score->lowerbound);
    ASSERT_TRUE(info.wdl);
    EXPECT_EQ(info.wdl->draw, 900);
    EXPECT_EQ(info.nodes, 1234567);
    EXPECT_EQ(info.nps, 2000000);
    EXPECT_EQ(info.hashfull, 412);
    EXPECT_EQ(info.tbhits, 3);
    EXPECT_EQ(info.time, 617);
    EXPECT_EQ(info.pv, (std::vector<std::string>{"e2e4", "e7e5", "g1f3"}));

    UciMessage mate = parseUciLine("info score mate -3 lowerbound pv e7e8q");
    ASSERT_EQ(mate.kind, UciMessageKind::Info);
    EXPECT_EQ(mate.info.score->kind, UciScore::Mate);
    EXPECT_EQ(mate.info.score->value, -3);
    EXPECT_TRUE(mate.info.score->lowerbound);
    EXPECT_EQ(mate.info.pv, (std::vector<std::string>{"e7e8q"}));

    UciMessage current = parseUciLine("info depth 5 currmove g1f3 currmovenumber 2");
    EXPECT_EQ(current.info.currmove, "g1f3");
    EXPECT_EQ(current.info.currmovenumber, 2);

    // Words the client does not know are passed over; a string takes the rest of the line.
    UciMessage odd = parseUciLine("info depth 3 frobnicate 9 string depth 4  is next  ");
    ASSERT_EQ(odd.kind, UciMessageKind::Info);
    EXPECT_EQ(odd.info.depth, 3);
    EXPECT_EQ(odd.info.text, "depth 4  is next");
    EXPECT_EQ(parseUciLine("info refutation d1h5 g6h5 depth 7").info.depth, 7);
    EXPECT_EQ(parseUciLine("info currline 1 e2e4 e7e5 nodes 9").info.nodes, 9);

    for (const char* bad :
         {"info depth", "info depth x", "info score cp", "info score pawns 3", "info wdl 1 2",
          "info currmove Nf3", "info nodes 99999999999999999999999"})
        EXPECT_EQ(parseUciLine(bad).kind, UciMessageKind::Unknown) << bad;
}

TEST(UciMessages, BestMove) {
    UciMessage best = parseUciLine("bestmove e7e8n ponder d2d1q");
    ASSERT_EQ(best.kind, UciMessageKind::BestMove);
    EXPECT_EQ(best.bestMove.move, "e7e8n");
    EXPECT_EQ(best.bestMove.ponder, "d2d1q");
    UciMessage none = parseUciLine("bestmove (none)");
    ASSERT_EQ(none.kind, UciMessageKind::BestMove);
    EXPECT_EQ(none.bestMove.move, "");
    EXPECT_EQ(parseUciLine("bestmove").kind, UciMessageKind::Unknown);
    EXPECT_EQ(parseUciLine("bestmove Nf3").kind, UciMessageKind::Unknown);
    EXPECT_TRUE(parseUciLine("bestmove").unreadableBestMove);
    EXPECT_TRUE(parseUciLine("  bestmove Nf3 ponder e7e5").unreadableBestMove);
    EXPECT_FALSE(parseUciLine("bestmoves e2e4").unreadableBestMove);
    EXPECT_FALSE(best.unreadableBestMove);
}

TEST(UciMessages, BinaryAndUnknownLines) {
    EXPECT_FALSE(isBinaryLine("info string caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac\t\r\n"));
    for (const std::string& bad :
         {std::string("ok\0", 3), std::string("\x1b[31m"), std::string("\xff\xfe"),
          std::string("\xc3"), std::string("\xe6\x97x")})
        EXPECT_TRUE(isBinaryLine(bad));
    UciMessage banner = parseUciLine("Stockfish 16 by the Stockfish developers");
    EXPECT_EQ(banner.kind, UciMessageKind::Unknown);
    EXPECT_EQ(banner.text, "Stockfish 16 by the Stockfish developers");
    EXPECT_EQ(parseUciLine("").kind, UciMessageKind::Unknown);
    EXPECT_EQ(parseUciLine(std::string("uciok\0", 6)).kind, UciMessageKind::Unknown);
}

TEST(UciMessages, Commands) {
    EXPECT_EQ(uciSetOption("Skill Level", std::string("20")),
              "setoption name Skill Level value 20");
    EXPECT_EQ(uciSetOption("Clear Hash", std::nullopt), "setoption name Clear Hash");
    // A line break in a value could start a command of its own; it becomes a space.
    EXPECT_EQ(uciSetOption("Path", std::string("/tmp\nquit")),
              "setoption name Path value /tmp quit");
    EXPECT_EQ(uciPosition("", {}), "position startpos");
    EXPECT_EQ(uciPosition("8/8/8/8/8/8/8/K1k5 w - - 0 1", {"a1a2", "c1c2"}),
              "position fen 8/8/8/8/8/8/8/K1k5 w - - 0 1 moves a1a2 c1c2");
    UciGo clock;
    clock.wtime = 60000, clock.btime = 55000, clock.winc = 1000, clock.binc = 1000,
    clock.movestogo = 20;
    EXPECT_EQ(uciGo(clock), "go wtime 60000 btime 55000 winc 1000 binc 1000 movestogo 20");
    UciGo limits;
    limits.depth = 12, limits.nodes = 5000, limits.mate = 2, limits.movetime = 300;
    limits.searchmoves = {"e2e4", "d2d4"};
    EXPECT_EQ(uciGo(limits), "go depth 12 nodes 5000 mate 2 movetime 300 searchmoves e2e4 d2d4");
    UciGo forever;
    forever.infinite = true;
    EXPECT_EQ(uciGo(forever), "go infinite");
    EXPECT_EQ(uciGo({}), "go");
}
