#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "records/pgnread.h"
#include "records/pgnwrite.h"
#include "records_fixture.h"

namespace {

std::string written() {
    std::vector<char> buffer(GameRecordSize);
    writeGameRecord(buffer.data(), buffer.size());
    return buffer.data();
}

// The current game: the moves of a SAN line, the Board back at the start.
void setGame(const char* line) {
    clearGame();
    ASSERT_TRUE(playSan(line));
    // Replay to store them: playSan only makes them.
    setupStartPosition();
    std::istringstream tokens(line);
    std::string        token;
    int                n = 0;
    while (tokens >> token) {
        Move m{};
        ASSERT_TRUE(sanToMove(token.c_str(), static_cast<int>(token.size()) - 1, &m));
        makeMove(m);
        gameMoves[n++] = m;
    }
    setupStartKeepingMoves();
}

const char* const emptyTags = "[Event \"-\"]\n[Site \"-\"]\n[Date \"-\"]\n[Round \"-\"]\n"
                              "[White \"-\"]\n[Black \"-\"]\n";

}  // namespace

TEST(WriteGameRecord, EmptyGame) {
    clearGame();
    EXPECT_EQ(written(), std::string(emptyTags) + "[Result \"*\"]\n\n*\n\n");
}

TEST(WriteGameRecord, MovesFiveFullMovesALine) {
    setGame("e4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6 O-O Be7");
    gameHeader.info = static_cast<std::uint16_t>(284 | Drawn);  // C84
    std::strcpy(gameHeader.white, "Kasparov");
    std::strcpy(gameHeader.otherTags, "[Annotator \"A\"]\n[PlyCount \"10\"]\n");
    EXPECT_EQ(written(), "[Event \"-\"]\n[Site \"-\"]\n[Date \"-\"]\n[Round \"-\"]\n"
                         "[White \"Kasparov\"]\n[Black \"-\"]\n[Result \"1/2-1/2\"]\n[ECO \"C84\"]\n"
                         "[Annotator \"A\"]\n[PlyCount \"10\"]\n\n"
                         "1.e4 e5 2.Nf3 Nc6 3.Bb5 a6 4.Ba4 Nf6 5.O-O Be7\n1/2-1/2\n\n");
    // The Board is left after the last move.
    EXPECT_EQ(board.sideToMove, White);
    EXPECT_EQ(board.kingSquare[White], 6);

    setGame("e4 e5 Bc4 Nc6 Bxf7+ Kxf7 Nf3 Nf6 d3 d6 O-O");
    gameHeader.info = static_cast<std::uint16_t>(NoEco | WhiteWon);
    EXPECT_EQ(written(), std::string(emptyTags) + "[Result \"1-0\"]\n\n"
                         "1.e4 e5 2.Bc4 Nc6 3.Bxf7+ Kxf7 4.Nf3 Nf6 5.d3 d6\n6.O-O 1-0\n\n");
}

TEST(WriteGameRecord, LargestGameFitsWhole) {
    std::string line;
    for (int i = 0; i < 511; ++i) line += std::string(i % 4 == 0 ? "Nf3" : i % 4 == 1 ? "Nf6" : i % 4 == 2 ? "Ng1" : "Ng8") + " ";
    setGame(line.c_str());
    for (char* field : {gameHeader.event, gameHeader.site, gameHeader.date, gameHeader.round,
                        gameHeader.white, gameHeader.black})
        std::memset(field, 'v', TagFieldSize - 1);
    std::string other;
    while (other.size() + 8 < OtherTagsSize) other += "[A \"b\"]\n";
    std::strcpy(gameHeader.otherTags, other.c_str());
    gameHeader.info = static_cast<std::uint16_t>(499 | BlackWon);

    std::vector<char> buffer(GameRecordSize);
    writeGameRecord(buffer.data(), buffer.size());
    std::string text = buffer.data();
    ASSERT_EQ(text.substr(text.size() - 5), "0-1\n\n");
    ASSERT_TRUE(parseGameText(text.c_str(), text.size()));
    EXPECT_EQ(gameMoves[510].piece, Knight);
    EXPECT_EQ(toCrLf(buffer.data(), buffer.size()), CrLfDone);
    EXPECT_EQ(std::string(buffer.data()).substr(std::strlen(buffer.data()) - 7), "0-1\r\n\r\n");

    // A buffer too small drops text, but stays terminated.
    char small[64];
    writeGameRecord(small, sizeof small);
    EXPECT_EQ(std::strlen(small), sizeof small - 1);
}

TEST(ToCrLf, ConvertsOnlyWhatIsSafe) {
    struct Case { const char* text; std::size_t size; int code; const char* result; };
    const Case cases[] = {
        {"a\nb\n", 16, CrLfDone, "a\r\nb\r\n"},
        {"a\r\nb\r\n", 16, CrLfDone, "a\r\nb\r\n"},  // already CR LF
        {"a\r\nb\n", 16, CrLfDone, "a\r\nb\r\n"},
        {"no line ends", 16, CrLfDone, "no line ends"},
        {"a\rb\n", 16, CrLfLoneCr, "a\rb\n"},
        {"a\nb\n", 7, CrLfNoRoom, "a\nb\n"},  // needs 6 bytes and the zero
        {"a\nb\n", 8, CrLfDone, "a\r\nb\r\n"},
        {"a\n", (1u << 20) + 1, CrLfNoRoom, "a\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<char> buffer(c.size, '\0');
        std::strcpy(buffer.data(), c.text);
        EXPECT_EQ(toCrLf(buffer.data(), buffer.size()), c.code);
        EXPECT_STREQ(buffer.data(), c.result);
    }
}

// What the writer writes opens again and reads back the same values, whatever they hold.
TEST(WriteGameRecord, HostileTagValuesRoundTrip) {
    const std::string japanese = "\xE7\xBE\xBD\xE7\x94\x9F\xE5\x96\x84\xE6\xB2\xBB";  // 12 bytes
    const std::string values[] = {
        "Club \"Open\" [R2]",
        "\\",
        "ends with a backslash \\",
        "\\\" both \"\\",
        "]\n[Event \"forged\"]",
        japanese + " \"" + japanese + "\"",
        std::string(255, '"'),
        std::string(255, '\\'),
        std::string(127, '\\') + std::string(128, '"'),
        japanese + std::string(255 - japanese.size(), ']'),
    };
    for (const std::string& value : values) {
        SCOPED_TRACE(value.substr(0, 40));
        ASSERT_LE(value.size(), 255u);
        clearGame();
        char* const fields[] = {gameHeader.event, gameHeader.site, gameHeader.date,
                                gameHeader.round, gameHeader.white, gameHeader.black};
        for (char* field : fields) std::memcpy(field, value.c_str(), value.size() + 1);
        // Another tag with the same value, as the parser keeps it (escaped), and a FEN.
        std::string tagged;
        for (char c : value) tagged += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
        const std::string annotated = "[Annotator \"" + tagged + "\"]\n";
        std::memcpy(gameHeader.otherTags, annotated.c_str(), annotated.size() + 1);
        std::strcpy(gameHeader.fen, "4k3/8/8/8/8/8/8/4K3 b - - 0 9");
        gameMoves[0] = Move{};

        const std::string text = written();
        const IndexRun    run     = indexText(text + text);
        ASSERT_TRUE(run.ok) << text;
        ASSERT_EQ(run.games.size(), 2u);
        EXPECT_EQ(run.info.skippedGames, 0);
        EXPECT_EQ(run.names.name(run.games[0].white), value);

        ASSERT_TRUE(parseGameText(text.c_str(), text.size())) << text;
        for (const char* field : fields) EXPECT_EQ(std::string(field), value);
        EXPECT_EQ(std::string(gameHeader.otherTags), annotated);
        EXPECT_STREQ(gameHeader.fen, "4k3/8/8/8/8/8/8/4K3 b - - 0 9");
        EXPECT_EQ(written(), text);
    }
}

// Items that share a shape: a text read, what the current game holds, and what is written.
TEST(WriteGameRecord, ResultsAndSetUpsAsReadAndWritten) {
    struct Case { const char* what; const char* text; int result; const char* record; };
    const Case cases[] = {
        {"the token gives the result without a tag", "[White \"w\"]\n\n1. e4 1-0", WhiteWon,
         "[Result \"1-0\"]\n"},
        {"... a draw", "[White \"w\"]\n\n1. e4 1/2-1/2", Drawn, "[Result \"1/2-1/2\"]\n"},
        {"the token wins over the tag", "[Result \"0-1\"]\n\n1. e4 1-0", WhiteWon, "[Result \"1-0\"]\n"},
        {"an unfinished game", "[White \"w\"]\n\n1. e4 *", 0, "[Result \"*\"]\n"},
        {"black moves first from a FEN", "[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 3 41\"]\n\n41... Kd7 42. Kd2 *",
         0, "[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 3 41\"]\n\n41...Kd7 42.Kd2 *"},
        {"the last move without a space", "[White \"w\"]\n\n1. e4 e5 2. Nf3", 0, "1.e4 e5 2.Nf3 *"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(parseGameText(c.text, std::strlen(c.text)));
        EXPECT_EQ(gameHeader.info & ResultMask, c.result);
        EXPECT_NE(written().find(c.record), std::string::npos) << written();
    }
}
