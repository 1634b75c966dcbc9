#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "records/gamefilter.h"
#include "records_fixture.h"

TEST(MatchName, FoldsAsciiLettersOnly) {
    struct Case { const char* text; const char* name; bool match; };
    const Case cases[] = {
        {"Axyzb", "xyz", true},
        {"XYZW", "xyz", true},
        {"Carlsen, Magnus", "MAGNUS", true},
        {"xy", "xyz", false},     // shorter than the name
        {"", "", false},          // an empty text never matches
        {"abc", "", true},
        {"A", "!", false},        // bytes 32 apart that are not the same letter
        {"[Bb]", "{bB}", false},
        {"@home", "`HOME", false},
        {"\xE5\xB1\xB1\xE7\x94\xB0", "\xE5\x91\x91", false},  // UTF-8 bytes match only themselves
        {"\xE5\xB1\xB1\xE7\x94\xB0", "\xE7\x94\xB0", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.name);
        EXPECT_EQ(matchName(c.text, c.name), c.match);
    }
}

TEST(CopyFilterName, NeverCutsAUtf8Character) {
    std::string hiragana;
    for (int i = 0; i < 11; ++i) hiragana += "\xE3\x81\x82";  // 33 bytes
    struct Case { std::string name; std::string kept; };
    const Case cases[] = {
        {std::string(40, 'w'), std::string(31, 'w')},
        {hiragana, hiragana.substr(0, 30)},               // the 11th would be cut: left out
        {std::string("a").append(hiragana), std::string("a").append(hiragana, 0, 30)},  // 31 bytes
        {std::string("ab").append(hiragana), std::string("ab").append(hiragana, 0, 27)},
        {"short", "short"},
    };
    for (const Case& c : cases) {
        char field[FilterNameSize];
        copyFilterName(field, c.name.c_str(), c.name.size());
        EXPECT_EQ(std::string(field), c.kept);
    }
}

namespace {

// Seven games: names, years, ECO codes and results to filter on, and moves for the position.
const char* const fixture =
    "[White \"Axyzb\"]\n[Black \"Carlsen\"]\n[Date \"1985.01.01\"]\n[ECO \"C42\"]\n\n"
    "1. e4 e5 2. Nf3 Nf6 3. Nxe5 1-0\n\n"
    "[White \"Kasparov\"]\n[Black \"XYZW\"]\n[Date \"1990.??.??\"]\n[ECO \"C42\"]\n\n"
    "1. e4 e5 2. Nf3 Nf6 0-1\n\n"
    "[White \"Anand\"]\n[Black \"Topalov\"]\n[ECO \"C42\"]\n\n1. d4 d5 1/2-1/2\n\n"
    "[White \"Short\"]\n[Black \"Timman\"]\n[Date \"1995\"]\n[ECO \"B20\"]\n\n1. e4 c5 *\n\n"
    "[White \"Karpov\"]\n[Black \"Xyz\"]\n[Date \"2000\"]\n\n1-0\n\n"
    "[White \"Tal\"]\n[Black \"Petrosian\"]\n[Date \"1990\"]\n\n1. e4 e5 2. Nf3 1/2-1/2\n\n"
    "[White \"Fischer\"]\n[Black \"Spassky\"]\n[Date \"1972\"]\n[FEN \"8/8/8/8/8/8/8/K6k w - - 0 1\"]\n\n"
    "1. Kb2 Kg2 1/2-1/2\n";

struct Fixture {
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
};

void openFixture(Fixture& f) {
    ASSERT_TRUE(f.file.open(writeTempFile("filter.pgn", fixture).c_str()));
    ASSERT_TRUE(indexFile(f.file, f.info, f.games, f.names));
    ASSERT_EQ(f.games.size(), 7u);
}

std::vector<int> matched(const std::vector<GameEntry>& games) {
    std::vector<int> numbers;
    for (const GameEntry& e : games)
        if (e.info & Matched) numbers.push_back(static_cast<int>(e.number));
    return numbers;
}

std::uint64_t keyAfter(const char* line) {
    EXPECT_TRUE(playSan(line));
    const std::uint64_t key = board.hashKey;
    setupStartPosition();
    return key;
}

}  // namespace

TEST(GameFilter, InMemory) {
    Fixture f;
    openFixture(f);
    struct Case { const char* what; const char* name; int eco, mask, from, to; std::vector<int> games; };
    const Case cases[] = {
        {"name in either colour", "xyz", NoEco, 0, 0, 0, {0, 1, 4}},
        {"ECO with results", "", 242, WhiteWon | Drawn, 0, 0, {0, 2}},
        {"from a year on", "", NoEco, 0, 1990, 0, {1, 3, 4, 5}},
        {"up to a year, games without one too", "", NoEco, 0, 0, 1990, {0, 1, 2, 5, 6}},
        {"closed range", "", NoEco, 0, 1990, 1995, {1, 3, 5}},
        {"nothing", "nobody", NoEco, 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SearchFilter filter = emptyFilter();
        std::strcpy(filter.name, c.name);
        filter.eco        = c.eco;
        filter.resultMask = c.mask;
        filter.yearFrom   = c.from;
        filter.yearTo     = c.to;
        const std::int64_t first = filterGames(f.games, f.names, filter);
        EXPECT_EQ(matched(f.games), c.games);
        EXPECT_EQ(first, c.games.empty() ? -1 : c.games[0]);
    }
    EXPECT_TRUE(filterIsEmpty(emptyFilter()));
}

TEST(GameFilter, PositionPass) {
    Fixture f;
    openFixture(f);
    // The current game, 1.d4 Nf6, stays shown on the Board.
    Move d4{}, nf6{};
    setupStartPosition();
    ASSERT_TRUE(sanToMove("d4", 1, &d4));
    makeMove(d4);
    ASSERT_TRUE(sanToMove("Nf6", 2, &nf6));
    makeMove(nf6);
    const Board shown = board;
    const auto  showGame = [&] {
        gameMoves[0] = d4;
        gameMoves[1] = nf6;
        gameMoves[2] = Move{};
        gamePly      = 2;
        board        = shown;
    };

    struct Case { const char* what; const char* line; const char* name; int from, to; std::vector<int> games; };
    const Case cases[] = {
        // Every game from the initial position, the one without moves too; not the set-up one.
        {"initial position", "", "", 0, 0, {0, 1, 2, 3, 4, 5}},
        {"passed through, or reached at the end", "e4 e5 Nf3", "", 0, 0, {0, 1, 5}},
        {"transposition", "Nf3 e5 e4", "", 0, 0, {0, 1, 5}},
        {"one-sided year range narrows too", "e4 e5 Nf3", "", 1990, 0, {1, 5}},
        {"open at the other end", "e4 e5 Nf3", "", 0, 1989, {0}},
        {"with a name", "e4", "XYZ", 0, 0, {0, 1}},
        {"a final position only", "e4 e5 Nf3 Nf6 Nxe5", "", 0, 0, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SearchFilter filter = emptyFilter();
        filter.positionKey  = keyAfter(c.line);
        std::strcpy(filter.name, c.name);
        filter.yearFrom = c.from;
        filter.yearTo   = c.to;
        showGame();
        std::int64_t first = 0;
        ASSERT_TRUE(findPosition(f.file, f.games, f.names, filter, first));
        EXPECT_EQ(matched(f.games), c.games);
        EXPECT_EQ(first, c.games.empty() ? -1 : c.games[0]);
        EXPECT_EQ(board, shown);
        EXPECT_TRUE(sameMove(gameMoves[0], d4));
    }
    // Ticking "same position" only ever narrows an in-memory search.
    SearchFilter filter = emptyFilter();
    filter.yearFrom     = 1990;
    filterGames(f.games, f.names, filter);
    const std::vector<int> withoutPosition = matched(f.games);
    filter.positionKey = keyAfter("");
    std::int64_t first = 0;
    ASSERT_TRUE(findPosition(f.file, f.games, f.names, filter, first));
    for (int n : matched(f.games))
        EXPECT_NE(std::find(withoutPosition.begin(), withoutPosition.end(), n), withoutPosition.end());

    // The set-up game replays from its FEN: it passes through and ends in its own positions.
    for (const char* line : {"", "Kb2", "Kb2 Kg2"}) {
        SCOPED_TRACE(line);
        setFen("8/8/8/8/8/8/8/K6k w - - 0 1");
        std::istringstream tokens(line);
        for (std::string token; tokens >> token;) {
            Move move{};
            ASSERT_TRUE(sanToMove(token.c_str(), static_cast<int>(token.size()) - 1, &move));
            makeMove(move);
        }
        filter             = emptyFilter();
        filter.positionKey = board.hashKey;
        showGame();
        ASSERT_TRUE(findPosition(f.file, f.games, f.names, filter, first));
        EXPECT_EQ(matched(f.games), std::vector<int>{6});
    }
    EXPECT_FALSE(f.games[6].info & Unreadable);
    char text[16];
    columnText(f.games[6], f.names, ColumnMoves, text, sizeof text);
    EXPECT_STREQ(text, "1");
}

TEST(GameFilter, ColumnsAndSorting) {
    Fixture f;
    openFixture(f);
    struct Case { int game; const char* texts[ColumnCount]; };
    const Case cases[] = {
        {0, {"Axyzb", "Carlsen", "1-0", "3", "1985", "C42"}},
        {2, {"Anand", "Topalov", "1/2-1/2", "1", "0", "C42"}},
        {3, {"Short", "Timman", "*", "1", "1995", "B20"}},
        {4, {"Karpov", "Xyz", "1-0", "0", "2000", ""}},
        {1, {"Kasparov", "XYZW", "0-1", "2", "1990", "C42"}},
    };
    for (const Case& c : cases)
        for (int column = 0; column < ColumnCount; ++column) {
            char text[64];
            columnText(f.games[static_cast<std::size_t>(c.game)], f.names, column, text, sizeof text);
            EXPECT_STREQ(text, c.texts[column]) << c.game << " " << columnHeaders[column];
        }

    std::vector<const GameEntry*> rows;
    for (const GameEntry& e : f.games) rows.push_back(&e);
    const auto order = [&rows] {
        std::vector<int> numbers;
        for (const GameEntry* e : rows) numbers.push_back(static_cast<int>(e->number));
        return numbers;
    };
    sortRows(rows, f.names, ColumnResult);  // "*", 1-0, 0-1, 1/2-1/2; file order among equals
    EXPECT_EQ(order(), (std::vector<int>{3, 0, 4, 1, 2, 5, 6}));
    sortRows(rows, f.names, ColumnEco);  // no ECO code last
    EXPECT_EQ(order(), (std::vector<int>{3, 0, 1, 2, 4, 5, 6}));
    sortRows(rows, f.names, ColumnWhite);
    EXPECT_EQ(order(), (std::vector<int>{2, 0, 6, 4, 1, 3, 5}));
    sortRows(rows, f.names, ColumnYear);
    EXPECT_EQ(order(), (std::vector<int>{2, 6, 0, 1, 5, 3, 4}));
    GameEntry lower{}, upper{};
    lower.white = f.names.intern("carlsen");
    upper.white = f.names.intern("CARLSEN");
    EXPECT_EQ(compareByColumn(lower, upper, f.names, ColumnWhite), 0);
}

// Names are kept whole: shown and sorted past their 31st byte, whatever their script, but
// searched within their first 31 bytes; each distinct name is stored once.
TEST(GameFilter, WholeNamesAcrossTheTable) {
    const std::string prefix = std::string(31, 'a'); // where names were once cut
    const std::string habu   = "羽生 善治";
    const auto game = [](const std::string& white, const std::string& black) {
        return "[White \"" + white + "\"]\n[Black \"" + black + "\"]\n\n1. e4 *\n\n";
    };
    const IndexRun run = indexText(game(prefix + " Xyz", habu) + game(prefix + " Abc", "Carlsen") +
                                   game(habu, "xyz") + game("Carlsen", prefix + " Abc"));
    ASSERT_EQ(run.games.size(), 4u);
    EXPECT_EQ(run.names.size(), 6u); // the empty name and five distinct ones
    EXPECT_EQ(run.games[1].white, run.games[3].black);

    char text[NameCellSize];
    columnText(run.games[0], run.names, ColumnWhite, text, sizeof text);
    EXPECT_EQ(std::string(text), prefix + " Xyz");
    columnText(run.games[0], run.names, ColumnBlack, text, sizeof text);
    EXPECT_EQ(std::string(text), habu);

    std::vector<GameEntry> games = run.games;
    struct Case { const char* name; std::vector<int> games; };
    const Case cases[] = {{"XYZ", {2}}, {"善治", {0, 2}}, {"aaaa", {0, 1, 3}}, {"a abc", {}},
                          {"carlsen", {1, 3}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SearchFilter filter = emptyFilter();
        std::strcpy(filter.name, c.name);
        filterGames(games, run.names, filter);
        EXPECT_EQ(matched(games), c.games);
    }

    std::vector<const GameEntry*> rows;
    for (const GameEntry& e : games) rows.push_back(&e);
    const auto order = [&rows] {
        std::vector<int> numbers;
        for (const GameEntry* e : rows) numbers.push_back(static_cast<int>(e->number));
        return numbers;
    };
    sortRows(rows, run.names, ColumnWhite); // the bytes after the 31st decide; UTF-8 after ASCII
    EXPECT_EQ(order(), (std::vector<int>{1, 0, 3, 2}));
    sortRows(rows, run.names, ColumnBlack); // ASCII letters folded
    EXPECT_EQ(order(), (std::vector<int>{3, 1, 2, 0}));
}

TEST(FileInfoText, CountsPercentagesAndCommonCodes) {
    FileInfo info{};
    info.games     = 3;
    info.whiteWins = info.blackWins = info.draws = 1;
    EXPECT_EQ(fileInfoText(info, "/tmp/three.pgn"),
              "/tmp/three.pgn\ngame\t:      3\n1-0\t:      1   33%\n0-1\t:      1   33%\n"
              "1/2-1/2\t:      1   33%\n\n");

    info.games = 100;
    for (int eco = 0; eco < 10; ++eco) info.ecoCounts[eco * 10] = eco + 1;
    const std::string text = fileInfoText(info, "f.pgn");
    EXPECT_NE(text.find("\n\nA90     10  10% "), std::string::npos) << text;
    EXPECT_NE(text.find("\nA20      3   3% "), std::string::npos);
    EXPECT_EQ(text.find("\nA10 "), std::string::npos);  // only the eight most frequent
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6 + 8);
    EXPECT_NE(text.find("\n\nA90     10  10% Dutch defence\n"), std::string::npos);
    const std::string japanese = fileInfoText(info, "f.pgn", {NamesJapanese});
    EXPECT_NE(japanese.find("\n\nA90     10  10% ダッチ・ディフェンス\n"), std::string::npos) << japanese;

    EXPECT_EQ(fileInfoText(FileInfo{}, "empty.pgn"), "");
}

// Stopping a game once the position is out of reach changes no result.
TEST(GameFilter, PositionPassStopsOnlyHopelessGames) {
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ASSERT_TRUE(file.open(testData("twic944.pgn").c_str()));
    ASSERT_TRUE(indexFile(file, info, games, names));
    const char* lines[] = {"e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6", "d4 Nf6 c4 e6 Nc3 Bb4",
                           "e4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6 O-O Be7", "Nf3 d5 g3", "e4 c5"};
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        ASSERT_TRUE(playSan(line));
        SearchFilter pruned = emptyFilter();
        setPositionCriterion(pruned);
        SearchFilter keyOnly = emptyFilter();
        keyOnly.positionKey  = pruned.positionKey;
        clearGame();
        std::int64_t first = 0;
        ASSERT_TRUE(findPosition(file, games, names, pruned, first));
        const std::vector<int> fast = matched(games);
        ASSERT_TRUE(findPosition(file, games, names, keyOnly, first));
        EXPECT_EQ(matched(games), fast);
        EXPECT_GT(fast.size(), 10u);
    }
}

// Game numbers run past 65535, and the position pass finds each game's entry by its number.
TEST(GameFilter, ManyGames) {
    std::string text;
    for (int i = 0; i < 70000; ++i) text += i == 66000 ? "[W \"x\"]\n1. e4 e5 *\n" : "[W \"x\"] *\n";
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ASSERT_TRUE(file.open(writeTempFile("many.pgn", text).c_str()));
    ASSERT_TRUE(indexFile(file, info, games, names));
    ASSERT_EQ(games.size(), 70000u);
    EXPECT_EQ(games[69999].number, 69999u);
    EXPECT_EQ(games[66000].moves, 1);
    SearchFilter filter = emptyFilter();
    filter.positionKey  = keyAfter("e4");
    std::int64_t first  = 0;
    ASSERT_TRUE(findPosition(file, games, names, filter, first));
    EXPECT_EQ(matched(games), std::vector<int>{66000});
    EXPECT_EQ(first, 66000);
}
