// The PGN grammar at its edges, in the game parser and the index pass alike.
#include <gtest/gtest.h>

#include "records/pgnread.h"
#include "records/pgnwrite.h"
#include "records_fixture.h"

namespace {

bool parse(const std::string& text) { return parseGameText(text.c_str(), text.size()); }

int storedMoves() {
    int n = 0;
    while (n < MaxGameMoves && gameMoves[n].piece) ++n;
    return n;
}

// Knight moves out and back: any number of legal half-moves.
std::string shuffle(int halfMoves) {
    static const char* const cycle[] = {"Nf3", "Nf6", "Ng1", "Ng8"};
    std::string              text;
    for (int i = 0; i < halfMoves; ++i) {
        if (i % 2 == 0) text += std::to_string(i / 2 + 1) + ". ";
        text += cycle[i % 4];
        text += ' ';
    }
    return text;
}

const std::string tags = "[Event \"E\"]\n[White \"W\"]\n[Black \"B\"]\n[Result \"*\"]\n\n";

}  // namespace

// Each case is one game; both machines must agree on whether it is valid (the index pass
// skips an invalid game and counts it apart), and the parser must read the given number of
// moves from it.
TEST(PgnGrammar, BothMachinesAgree) {
    struct Case { const char* what; std::string movetext; bool valid; int moves; };
    const Case cases[] = {
        {"plain", "1. e4 e5 2. Nf3 *", true, 3},
        {"no spaces after numbers", "1.e4 e5 2.Nf3 Nc6 1-0", true, 4},
        {"black move numbers", "1. e4 1... e5 2. Nf3 2... Nc6 1/2-1/2", true, 4},
        {"suffix annotations", "1. e4!! e5?! 2. Nf3!? Nc6?? 3. Bb5! a6? 0-1", true, 6},
        {"NAGs", "1. e4 $1 e5 $14 *", true, 2},
        {"castling with zeros", "1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. 0-0 *", true, 7},
        {"comment", "1. e4 {a comment with ( and ) and [%clk 0:01]} e5 *", true, 2},
        {"nested variations", "1. e4 (1. d4 d5 (1... Nf6 2. c4)) e5 *", true, 2},
        {"braces in a variation hide parentheses",
         "1. e4 (1. d4 {an unmatched ( here} d5) e5 *", true, 2},
        {"line comment in a variation hides parentheses", "1. e4 (1. d4 ; a ( here\n d5) e5 *", true, 2},
        {"line comments", "1. e4 ; rest of line ( { [\n e5 ; more\n*", true, 2},
        {"escape line", "1. e4\n% escaped ( {\ne5 *", true, 2},
        {"escape line in a variation", "1. e4 (1. d4\n% escaped ) (\nd5) e5 *", true, 2},
        {"tokens run into what follows", "1.e4(1.d4)e5{c}2.Nf3$6(2.Nc3)Nc6*", true, 4},
        {"no termination", "1. e4 e5", true, 2},
        {"no termination, the last move without a space", "1. e4 e5 2. Nf3", true, 3},
        {"junk and results inside a variation", "1. e4 (1. d4 Z0 -- 1-0 * [x] (2. c4)) e5 *", true, 2},
        {"an illegal move in a variation", "1. e4 (1. Ke2 d5) e5 (1... Nf6 2. Nxe5) *", true, 2},
        {"a variation before any move", "(1. d4) 1. e4 e5 *", true, 2},
        {"a glyph at the end", "1. e4 $14", true, 1},
        {"stray close bracket", "1. e4 ) e5 *", false, 1},
        {"stray close brace", "1. e4 } e5 *", false, 1},
        {"tag inside the movetext", "1. e4 [Event \"x\"] e5 *", false, 1},
        {"null move", "1. e4 Z0 *", false, 1},
        {"bad result", "1. e4 1-1", false, 1},
        {"bad number", "1x e4 *", false, 0},
        {"open comment", "1. e4 {e5 *", false, 1},
        {"open variation", "1. e4 (1. d4 *", false, 1},
        {"open variation after a damaged one", "1. e4 (1. d4 (Z0) *", false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string game = tags + c.movetext + "\n";
        const IndexRun    run  = indexText(game);
        EXPECT_EQ(run.ok, c.valid);
        EXPECT_EQ(run.games.size(), c.valid ? 1u : 0u);
        EXPECT_EQ(run.info.skippedGames, c.valid ? 0 : 1);
        EXPECT_EQ(parse(game), c.valid);
        EXPECT_EQ(storedMoves(), c.moves);
    }
}

TEST(PgnGrammar, TagsAndTheirLimits) {
    const std::string v255(255, 'v'), v256(256, 'v'), n255(255, 'N'), n256(256, 'N');
    struct Case { std::string tag; bool valid; };
    const Case cases[] = {
        {"[SourceVersionDate \"2024.04.25\"]", true},  // longer than 15 characters
        {"[" + n255 + " \"x\"]", true},
        {"[" + n256 + " \"x\"]", false},
        {"[Annotator \"" + v255 + "\"]", true},
        {"[Annotator \"" + v256 + "\"]", false},
        {"[ Event  \"spaces around the name\" junk ]", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag.substr(0, 40));
        const std::string game = c.tag + "\n" + tags + "1. e4 *\n";
        EXPECT_EQ(indexText(game).ok, c.valid);
        EXPECT_EQ(parse(game), c.valid);
    }
    ASSERT_TRUE(parse("[Annotator \"" + v255 + "\"]\n[White \"" + v255 + "\"]\n*"));
    EXPECT_EQ(std::string(gameHeader.white), v255);
    EXPECT_EQ(std::string(gameHeader.otherTags), "[Annotator \"" + v255 + "\"]\n");
}

TEST(PgnGrammar, ParserReadsHeaderFields) {
    ASSERT_TRUE(parse("[Event \"Ev\"]\n[Site \"Si\"]\n[Date \"1990.01.02\"]\n[Round \"3\"]\n"
                      "[White \"Wh\"]\n[Black \"Bl\"]\n[Result \"1-0\"]\n[ECO \"C42 Petrov\"]\n"
                      "[Empty \"\"]\n[Annotator \"An\"]\n[PlyCount \"2\"]\n\n1. e4 e5 0-1\n"));
    EXPECT_STREQ(gameHeader.event, "Ev");
    EXPECT_STREQ(gameHeader.site, "Si");
    EXPECT_STREQ(gameHeader.date, "1990.01.02");
    EXPECT_STREQ(gameHeader.round, "3");
    EXPECT_STREQ(gameHeader.white, "Wh");
    EXPECT_STREQ(gameHeader.black, "Bl");
    // The result comes from the termination token, not from the tag, as in the index.
    EXPECT_EQ(gameHeader.info, BlackWon | 242);
    EXPECT_STREQ(gameHeader.otherTags, "[Annotator \"An\"]\n[PlyCount \"2\"]\n");
    EXPECT_EQ(storedMoves(), 2);
    EXPECT_EQ(gamePly, 0);

    struct Case { const char* eco; int index; };
    const Case ecos[] = {{"B2", NoEco}, {"F00", NoEco}, {"A00", 0}, {"E99", 499}, {"c42", NoEco}};
    for (const Case& c : ecos) {
        SCOPED_TRACE(c.eco);
        ASSERT_TRUE(parse(std::string("[ECO \"") + c.eco + "\"]\n*"));
        EXPECT_EQ(gameHeader.info & EcoMask, c.index);
        const IndexRun run = indexText(std::string("[ECO \"") + c.eco + "\"]\n*");
        ASSERT_EQ(run.games.size(), 1u);
        EXPECT_EQ(run.games[0].info & EcoMask, c.index);
    }
}

TEST(PgnGrammar, OtherTagsKeepOnlyWholeLines) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "[Tag" + std::to_string(i) + " \"" + std::string(60, 'x') + "\"]\n";
    ASSERT_TRUE(parse(text + "*"));
    const std::string other = gameHeader.otherTags;
    EXPECT_LT(other.size(), static_cast<std::size_t>(OtherTagsSize));
    EXPECT_GT(other.size(), 1900u);
    ASSERT_FALSE(other.empty());
    EXPECT_EQ(other.back(), '\n');
    const std::string last = other.substr(other.rfind('['));
    EXPECT_EQ(last.substr(last.size() - 63), std::string(60, 'x') + "\"]\n");  // complete
}

TEST(PgnGrammar, ParserIsStrictBetweenGamesAndReadsOneGame) {
    EXPECT_FALSE(parse("junk\n[Event \"E\"]\n*"));
    EXPECT_TRUE(indexText("junk\n[Event \"E\"]\n*").ok);
    EXPECT_FALSE(parse("1. e4 e5 *"));  // a move list without tags
    EXPECT_EQ(storedMoves(), 0);
    EXPECT_STREQ(gameHeader.event, "");

    // Only the first of two games is read.
    ASSERT_TRUE(parse(tags + "1. e4 *\n\n[Event \"Second\"]\n\n1. d4 d5 *\n"));
    EXPECT_STREQ(gameHeader.event, "E");
    EXPECT_EQ(storedMoves(), 1);
    EXPECT_EQ(gameMoves[0].fromTo, 12 * 64 + 28);

    // A text that ends inside its movetext ends the game there, its last token taken.
    ASSERT_TRUE(parse(tags + "1. e4 e5"));
    EXPECT_EQ(storedMoves(), 2);
    // Reading stops at maxLength and at a zero byte.
    const std::string game = tags + "1. e4 e5 2. Nf3 *";
    ASSERT_TRUE(parseGameText(game.c_str(), game.find("Nf3")));
    EXPECT_EQ(storedMoves(), 2);
}

TEST(PgnGrammar, MoveLimits) {
    ASSERT_TRUE(parse(tags + shuffle(512) + "*"));
    EXPECT_EQ(storedMoves(), MaxGameMoves);
    // The 513th move is one too many: the game is read up to it, and the reason says so.
    ParseOutcome outcome;
    const std::string text = tags + shuffle(600) + "*";
    EXPECT_FALSE(parseGameText(text.c_str(), text.size(), &outcome));
    EXPECT_EQ(storedMoves(), MaxGameMoves);
    EXPECT_EQ(outcome.problem, ParseProblem::TooManyMoves);
    EXPECT_EQ(outcome.moveNumber, 257);
    EXPECT_FALSE(outcome.blackMove);

    const IndexRun run = indexText(tags + shuffle(600) + "*");
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(run.games[0].moves, 300);
}

TEST(PgnGrammar, LongGameIsReadWhole) {
    // Over 8 KB of text: comments after every move.
    std::string movetext;
    for (int i = 0; i < 200; ++i)
        movetext += std::string(i % 2 == 0 ? "Nf3" : "Nf6") + " {" + std::string(40, 'c') + "} " +
                    (i % 2 == 0 ? "" : "Ng1 Ng8 ");
    const std::string text = "junk before\n" + tags + movetext + "1/2-1/2\n";
    ASSERT_GT(text.size(), 9000u);
    const std::string path = writeTempFile("long.pgn", text);
    BufferedFile      file;
    ASSERT_TRUE(file.open(path.c_str()));
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ASSERT_TRUE(indexFile(file, info, games, names));
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].start(), 12);
    EXPECT_EQ(games[0].end(), static_cast<std::int64_t>(text.size()) - 2);
    std::string game;
    EXPECT_EQ(readGameText(file, &games[0], game), text.size() - 13);
    EXPECT_EQ(game, text.substr(12, text.size() - 13));
    ASSERT_TRUE(parseGameText(game.c_str(), game.size()));
    EXPECT_EQ(storedMoves(), 400);
    EXPECT_EQ(readGameText(file, nullptr, game), 0u);
}

TEST(IndexPass, FailuresNameTheLine) {
    struct Case { const char* what; std::string text; std::int64_t line; const char* lineText; };
    const Case cases[] = {
        {"comment open at the end", tags + "1. e4 {e5\n2. Nf3\n", 8, ""},
        {"comment open at the end, no line end", tags + "1. e4 {e5\n2. Nf3", 7, "2. Nf3"},
        {"stray bracket", tags + "1. e4\n2. e5 ) *\n", 7, "2. e5 ) *"},
        {"CR LF line ends", "[Event \"E\"]\r\n\r\n1. e4 Z0 *\r\n", 3, "1. e4 Z0 *"},
        {"CR line ends", "[Event \"E\"]\r\r1. e4 Z0 *\r", 3, "1. e4 Z0 *"},
        {"mixed line ends", "[Event \"E\"]\n\r\r\n1. e4 Z0 *\r", 4, "1. e4 Z0 *"},
        {"control bytes and bytes that are not UTF-8 are quoted",
         tags + "1. e4 \x1b[2J\xff \xe5\xb1\xb1 Z0 *", 6, "1. e4 \\x1B[2J\\xFF \xe5\xb1\xb1 Z0 *"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const IndexRun run = indexText(c.text);
        EXPECT_FALSE(run.ok);
        EXPECT_EQ(run.failure.kind, FileProblem::NoGameRead);
        EXPECT_EQ(run.failure.offset, run.info.skippedAt[0]);
        EXPECT_EQ(run.failure.line, c.line);
        EXPECT_STREQ(run.failure.text, c.lineText);
    }
    // A long line is shown by its first 255 characters.
    const IndexRun run = indexText(tags + std::string(300, ' ') + "1. e4 Z0 *\n");
    EXPECT_EQ(std::string(run.failure.text), std::string(255, ' '));
}

TEST(IndexPass, EmptyFilesAndEscapeLines) {
    for (const std::string& text : {std::string(), std::string(" \n\t\r\n"), std::string("% one\n%two\r\n  \n"),
                                   std::string("; a comment\n"), std::string("\xEF\xBB\xBF")}) {
        const IndexRun run = indexText(text);
        EXPECT_TRUE(run.ok);
        EXPECT_EQ(run.games.size(), 0u);
        EXPECT_EQ(run.info.strayBytes, 0);
    }
    // An escape line may end the file without a line end.
    EXPECT_EQ(indexText(tags + "1. e4 *\n%escaped").games.size(), 1u);
}

TEST(IndexPass, EntriesAndCounts) {
    const std::string text =
        "[White \"Anand, Viswanathan\"]\n[Black \"Carlsen\"]\n[Date \"2013.11.09\"]\n[ECO \"C42\"]\n"
        "[Result \"0-1\"]\n\n1. e4 e5 2. Nf3 1-0\n\n"  // the token decides: 1-0
        "[White \"" + std::string(40, 'W') + "\"]\n[Date \"????.??.??\"]\n\n1. d4 0-1\n"
        "[Date \"3000.01.01\"]\n[ECO \"C42\"]\n1/2-1/2\n"
        "[Event \"x\"] *";
    const IndexRun run = indexText(text);
    ASSERT_TRUE(run.ok);
    ASSERT_EQ(run.games.size(), 4u);
    const GameEntry& first = run.games[0];
    EXPECT_EQ(run.names.name(first.white), "Anand, Viswanathan");
    EXPECT_EQ(run.names.name(first.black), "Carlsen");
    EXPECT_EQ(first.year, 2013);
    EXPECT_EQ(first.moves, 2);
    EXPECT_EQ(first.info, 242 | WhiteWon | Matched);
    EXPECT_EQ(first.number, 0u);
    EXPECT_EQ(run.names.name(run.games[1].white), std::string(40, 'W')); // kept whole
    EXPECT_EQ(run.games[1].black, 0u); // no Black tag: the empty name
    EXPECT_EQ(run.games[1].year, 0);
    EXPECT_EQ(run.games[1].info, NoEco | BlackWon | Matched);
    EXPECT_EQ(run.games[2].year, 0);
    EXPECT_EQ(run.games[2].moves, 0);
    EXPECT_EQ(run.games[3].info, NoEco | Matched);
    EXPECT_EQ(run.games[3].number, 3u);
    EXPECT_EQ(run.info.games, 4);
    EXPECT_EQ(run.info.whiteWins, 1);
    EXPECT_EQ(run.info.blackWins, 1);
    EXPECT_EQ(run.info.draws, 1);
    EXPECT_EQ(run.info.ecoCounts[242], 2);
}
