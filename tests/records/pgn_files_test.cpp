// The index pass and the game parser on real files written by other programs.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "records/gameindex.h"
#include "records/fileplaces.h"
#include "records/indexpass.h"
#include "records/positionsearch.h"
#include "records/pgnread.h"
#include "records/pgnwrite.h"
#include "records_fixture.h"

namespace {

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Indexed {
    bool                   ok = false;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ScanFailure            failure{};
};

Indexed indexTestFile(const std::string& path) {
    Indexed      result;
    BufferedFile file;
    EXPECT_TRUE(file.open(path.c_str())) << path;
    result.ok = indexFile(file, result.info, result.games, result.names, &result.failure);
    return result;
}

const char* resultToken(int info) {
    return info & WhiteWon ? "1-0" : info & BlackWon ? "0-1" : info & Drawn ? "1/2-1/2" : "*";
}

struct Header {
    std::string fields[6], fen, otherTags;
    int         info;
    bool operator==(const Header&) const = default;
};

// The current game's tags, an empty field read as the "-" the writer puts there.
Header currentHeader() {
    const char* fields[] = {gameHeader.event, gameHeader.site,  gameHeader.date,
                            gameHeader.round, gameHeader.white, gameHeader.black};
    Header h;
    for (int i = 0; i < 6; ++i) h.fields[i] = fields[i][0] ? fields[i] : "-";
    h.fen       = gameHeader.fen;
    h.otherTags = gameHeader.otherTags;
    h.info      = gameHeader.info;
    return h;
}

std::vector<Move> currentMoves() {
    std::vector<Move> moves;
    for (int i = 0; i < MaxGameMoves && gameMoves[i].piece; ++i) moves.push_back(gameMoves[i]);
    return moves;
}

}  // namespace

TEST(PgnFiles, IndexPassCountsGamesAndCutsTheirRanges) {
    struct Case { const char* file; int games; int skipped; std::int64_t failLine; };
    const Case cases[] = {
        {"twic944.pgn", 2953, 0, 0},
        {"capablanca.pgn", 597, 0, 0},
        {"carlsen-chesscom.pgn", 334, 0, 0},      // no blank line between games
        {"chess-informant-sample.pgn", 5, 0, 0},
        {"kasparov-deep-blue-1997.pgn", 6, 0, 0},
        {"chessbase-empty-line.pgn", 1, 0, 0},
        {"lichess-annotated.pgn", 1, 0, 0},
        {"nested-variations.pgn", 3, 0, 0},       // "(" and ")" inside comments in variations
        {"utf8-bom.pgn", 2, 0, 0},                // a 17-character tag name
        {"anastasian-lewis.pgn", 0, 1, 20},       // null move Z0: no game is readable
        {"torture.pgn", 1, 2, 0},
        {"pgn4web-test.pgn", 14, 1, 0},           // tokens run into "(" and "*"; "--" in a main line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Indexed     indexed = indexTestFile(testData(c.file));
        const std::string text    = readWhole(testData(c.file));
        EXPECT_EQ(indexed.ok, c.failLine == 0);
        EXPECT_EQ(indexed.info.skippedGames, c.skipped);
        if (c.failLine) {
            EXPECT_EQ(indexed.failure.line, c.failLine);
            continue;
        }
        ASSERT_EQ(indexed.games.size(), static_cast<std::size_t>(c.games));
        EXPECT_EQ(indexed.info.games, c.games);
        EXPECT_EQ(indexed.info.whiteWins + indexed.info.blackWins + indexed.info.draws,
                  static_cast<int>(std::count_if(indexed.games.begin(), indexed.games.end(),
                                                 [](const GameEntry& e) { return e.info & ResultMask; })));
        std::int64_t previousEnd = -1;
        for (const GameEntry& e : indexed.games) {
            SCOPED_TRACE(e.number);
            ASSERT_GT(e.start(), previousEnd);
            ASSERT_LT(e.end(), static_cast<std::int64_t>(text.size()));
            EXPECT_EQ(text[static_cast<std::size_t>(e.start())], '[');
            const std::string token = resultToken(e.info);
            // A game that runs to the end of the file without a termination token ends there.
            if (e.end() + 1 < static_cast<std::int64_t>(text.size())) {
                EXPECT_EQ(text.substr(static_cast<std::size_t>(e.end() + 1 - token.size()), token.size()), token);
            }
            EXPECT_TRUE(e.info & Matched);
            previousEnd = e.end();
        }
    }
}

TEST(PgnFiles, EveryGameParsesWritesAndParsesAgainTheSame) {
    const char* files[] = {"twic944.pgn", "capablanca.pgn", "carlsen-chesscom.pgn",
                           "chess-informant-sample.pgn", "kasparov-deep-blue-1997.pgn",
                           "chessbase-empty-line.pgn", "lichess-annotated.pgn",
                           "nested-variations.pgn", "utf8-bom.pgn", "pgn4web-test.pgn"};
    int setUps = 0, otherVariants = 0, games = 0;
    setupStartPosition();
    const std::uint64_t startKey = board.hashKey;
    std::vector<char> record(GameRecordSize);
    for (const char* name : files) {
        SCOPED_TRACE(name);
        const Indexed indexed = indexTestFile(testData(name));
        ASSERT_TRUE(indexed.ok);
        BufferedFile file;
        ASSERT_TRUE(file.open(testData(name).c_str()));
        for (const GameEntry& e : indexed.games) {
            SCOPED_TRACE(e.number);
            std::string text;
            ASSERT_EQ(readGameText(file, &e, text), static_cast<std::size_t>(e.end() - e.start() + 1));
            ParseOutcome outcome;
            if (!parseGameText(text.c_str(), text.size(), &outcome)) {
                // Chess960 games are not replayed.
                ASSERT_EQ(outcome.problem, ParseProblem::OtherVariant);
                EXPECT_TRUE(e.info & Unreadable);
                ++otherVariants;
                continue;
            }
            // The parser leaves the Board at the game's start.
            if (gameHeader.fen[0])
                ++setUps;
            else
                EXPECT_EQ(board.hashKey, startKey);
            const Header            header = currentHeader();
            const std::vector<Move> moves  = currentMoves();
            EXPECT_EQ(static_cast<int>(moves.size() + (gameStart().blackFirst ? 2 : 1)) / 2, e.moves);

            writeGameRecord(record.data(), record.size());
            const std::string written = record.data();
            ASSERT_TRUE(parseGameText(written.c_str(), written.size())) << written;
            EXPECT_EQ(currentHeader(), header) << written;
            const std::vector<Move> again = currentMoves();
            ASSERT_EQ(again.size(), moves.size());
            for (std::size_t i = 0; i < moves.size(); ++i) ASSERT_TRUE(sameMove(again[i], moves[i]));
            ++games;
        }
    }
    EXPECT_EQ(otherVariants, 21);  // the Chess960 games of carlsen-chesscom.pgn
    EXPECT_EQ(setUps, 5);          // in pgn4web-test.pgn
    EXPECT_EQ(games, 2953 + 597 + 334 - 21 + 5 + 6 + 1 + 1 + 3 + 2 + 14);
}
