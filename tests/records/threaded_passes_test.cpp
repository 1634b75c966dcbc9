// The passes split a file into ranges read on several threads: whatever the number of threads
// and wherever the cuts fall, the result is that of one reading of the whole file.
#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "records/filechunks.h"
#include "records/gamefilter.h"
#include "records/openingtree.h"
#include "records/passthreads.h"
#include "records_fixture.h"

namespace {

// Restores the default threads and range size when a test ends.
struct PassSettings {
    PassSettings(int threads, std::int64_t chunkBytes) {
        setPassThreads(threads);
        setPassChunkBytes(chunkBytes);
    }
    ~PassSettings() {
        setPassThreads(0);
        setPassChunkBytes(0);
    }
};

// Everything the index pass gives, as text: the counts, the places noted, every entry.
std::string indexDump(BufferedFile& file) {
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ScanFailure            failure{};
    const bool ok = indexFile(file, info, games, names, &failure);
    std::ostringstream     dump;
    dump << (ok ? "ok " : "failed ") << failure.line << ' ' << failure.text << '\n'
         << info.games << ' ' << info.whiteWins << ' ' << info.blackWins << ' ' << info.draws << ' '
         << info.skippedGames << ' ' << info.zeroBytes << ' ' << info.firstZero << ' '
         << info.strayBytes << ' ' << info.firstStray;
    for (int k = 0; k < std::min(info.skippedGames, NotedSkips); ++k)
        dump << " @" << info.skippedAt[k];
    for (int eco = 0; eco < NoEco; ++eco)
        if (info.ecoCounts[eco]) dump << " e" << eco << '=' << info.ecoCounts[eco];
    dump << '\n';
    for (const GameEntry& e : games) {
        dump << e.number << ' ' << e.start() << '-' << e.end() << ' ' << e.info << ' ' << e.moves
             << ' ' << e.year << '.' << int{e.month} << '.' << int{e.day} << ' ' << e.whiteElo << ' '
             << e.blackElo << '|' << names.name(e.event) << '|' << names.name(e.site) << '|'
             << names.name(e.round);
        for (int column = 0; column < ColumnCount; ++column) {
            char text[300];
            columnText(e, names, column, text, sizeof text);
            dump << '|' << text;
        }
        dump << '\n';
    }
    return dump.str();
}

// The marks of a position search for the position after line (SAN moves), as text.
std::string searchDump(BufferedFile& file, const std::string& line) {
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    if (!indexFile(file, info, games, names)) return "no games";
    setupStartPosition();
    std::istringstream moves(line);
    for (std::string san; moves >> san;) {
        Move move{};
        if (!sanToMove(san.c_str(), static_cast<int>(san.size()) - 1, &move)) return "bad line";
        makeMove(move);
    }
    SearchFilter filter = emptyFilter();
    setPositionCriterion(filter);
    const Board  before = board;
    std::int64_t first  = -2;
    const bool   ok     = findPosition(file, games, names, filter, first);
    EXPECT_TRUE(before == board) << "the calling thread's Board is left alone";
    std::ostringstream dump;
    dump << (ok ? "ok " : "failed ") << first << '\n';
    for (const GameEntry& e : games)
        dump << (e.info & (Matched | Unreadable)) << ' ';
    return dump.str();
}

// Games that put the states the join must tell apart right before a game's "[" after a
// blank line: a comment holding what looks like a tag section, a game with no termination,
// a damaged game, a zero byte, a blank line inside a tag section, CR LF and CR line ends.
std::string awkwardText() {
    std::string text;
    for (int round = 0; round < 12; ++round) {
        text += "[Event \"a\"]\n[White \"W";
        text += static_cast<char>('a' + round);
        text += "\"]\n\n1. e4 {a comment\n\n[Event \"in a comment\"]\n\n1. d4} e5 2. Nf3 1-0\n\n";
        text += "[Event \"no result\"]\n\n1. e4 c5 2. Nf3\n\n";
        text += "[Event \"damaged\"]\n\n1. e4 e5 2. Qh9 Nc6\n\n";
        text += "[Event \"zero\"]\n\n1. d4 ";
        text += '\0';
        text += " d5 *\n\n";
        text += "[Event \"split tags\"]\n\n[Site \"b\"]\n\n1. e4 c5 2. Nf3 d6 1/2-1/2\n\n";
        text += "[Event \"crlf\"]\r\n[Black \"B\"]\r\n\r\n1. e4 c5 (1... e5 2. Nf3\r\n\r\n[Event \"x\"]) 0-1\r\n\r\n";
        text += "[Event \"cr\"]\r\r1. e4 c5 2. Nf3 *\r\r";
        text += "stray text\n\n";
    }
    return text;
}

// The text of the file at path with every blank line taken out, as some programs write games.
std::string withoutBlankLines(const std::string& path) {
    std::ifstream      in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::istringstream lines(text.str());
    std::string        result;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line != "\r") result += line + '\n';
    return result;
}

std::vector<std::string> testFiles() {
    std::vector<std::string> paths;
    if (DIR* dir = opendir(NORVANE_TEST_DATA)) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".pgn") == 0) paths.push_back(testData(name.c_str()));
        }
        closedir(dir);
    }
    std::sort(paths.begin(), paths.end());
    paths.push_back(writeTempFile("awkward.pgn", awkwardText()));
    paths.push_back(writeTempFile("no-blank-lines.pgn", withoutBlankLines(testData("capablanca.pgn"))));
    return paths;
}

// Indexes and searches each file with 1, 2 and 8 threads and ranges of each size, and
// compares with one reading of the whole file.
void expectSameWhateverTheThreadsAndCuts(const std::vector<std::string>& paths,
                                          const std::vector<std::int64_t>& chunkSizes) {
    for (const std::string& path : paths) {
        BufferedFile file;
        ASSERT_TRUE(file.open(path.c_str())) << path;
        std::string index, search;
        {
            const PassSettings whole(1, std::int64_t{1} << 40);
            index  = indexDump(file);
            search = searchDump(file, "e4 c5") + searchDump(file, "d4");
        }
        for (const int threads : {1, 2, 8})
            for (const std::int64_t chunkBytes : chunkSizes) {
                const PassSettings settings(threads, chunkBytes);
                std::ostringstream trace;
                trace << path << ": " << threads << " threads, ranges of " << chunkBytes << " bytes";
                SCOPED_TRACE(trace.str());
                EXPECT_EQ(indexDump(file), index);
                EXPECT_EQ(searchDump(file, "e4 c5") + searchDump(file, "d4"), search);
            }
    }
}

// The small files get a cut every few dozen bytes: every kind of place gets one.
TEST(ThreadedPasses, SmallFilesAreReadAsOneWhateverTheThreadsAndCuts) {
    std::vector<std::string> small;
    for (const std::string& path : testFiles()) {
        BufferedFile file;
        if (file.open(path.c_str()) && file.size() < 65536) small.push_back(path);
    }
    ASSERT_GE(small.size(), 8u);
    expectSameWhateverTheThreadsAndCuts(small, {61, 277, 4099});
}

TEST(ThreadedPasses, LargeFilesAreReadAsOneWhateverTheThreadsAndCuts) {
    std::vector<std::string> large;
    for (const std::string& path : testFiles()) {
        BufferedFile file;
        if (file.open(path.c_str()) && file.size() >= 65536) large.push_back(path);
    }
    ASSERT_GE(large.size(), 3u);
    // A file without blank lines is cut at its "[Event" lines.
    BufferedFile noBlankLines;
    ASSERT_TRUE(noBlankLines.open(large.back().c_str()));
    EXPECT_GT(chunkStarts(noBlankLines, 65537).size(), 4u);
    expectSameWhateverTheThreadsAndCuts(large, {4099, 65537});
}

// The tree's answers at the positions it holds within a few plies of the start, reached move
// by move from the rows (at most limit positions), as text.
std::string treeDump(const OpeningTree& tree, int plies, int& limit) {
    const TreeAnswer   answer = tree.answer();
    std::ostringstream dump;
    dump << tree.openingAt(board.hashKey) << ':' << answer.games;
    for (const TreeMoveRow& row : answer.moves)
        dump << ' ' << row.san << '/' << row.count << '/' << row.whiteWins << '/' << row.draws << '/'
             << row.blackWins << '/' << row.lastYear << '/' << row.opening << '/' << row.openingOwn;
    dump << '\n';
    if (plies == 0) return dump.str();
    for (const TreeMoveRow& row : answer.moves) {
        if (--limit < 0) break;
        makeMove(row.move);
        dump << row.san << ' ' << treeDump(tree, plies - 1, limit);
        unmakeMove(row.move);
    }
    return dump.str();
}

std::string treeDump(const OpeningTree& tree) {
    setupStartPosition();
    int        limit = 400;
    std::ostringstream dump;
    dump << tree.positionCount() << ' ' << tree.gameCount() << ' ' << tree.full() << '\n'
         << treeDump(tree, 5, limit);
    return dump.str();
}

TEST(ThreadedPasses, TheExplorerIsBuiltAsByOneReadingWhateverTheThreadsAndCuts) {
    for (const std::string& path : testFiles()) {
        BufferedFile file;
        ASSERT_TRUE(file.open(path.c_str()));
        std::string expected;
        {
            // One thread reading the file as one range, from the start to the end.
            const PassSettings whole(1, file.size() + 1);
            OpeningTree        oneReading;
            ASSERT_TRUE(oneReading.build(path.c_str()));
            expected = treeDump(oneReading);
        }
        const std::vector<std::int64_t> sizes =
            file.size() < 65536 ? std::vector<std::int64_t>{61, 4099} : std::vector<std::int64_t>{65537};
        for (const int threads : {1, 2, 8})
            for (const std::int64_t chunkBytes : sizes) {
                const PassSettings settings(threads, chunkBytes);
                std::ostringstream trace;
                trace << path << ": " << threads << " threads, ranges of " << chunkBytes << " bytes";
                SCOPED_TRACE(trace.str());
                OpeningTree threaded;
                ASSERT_TRUE(threaded.build(path.c_str()));
                EXPECT_EQ(treeDump(threaded), expected);
            }
    }
}

// The filter tests slices of the entries on several threads: the same marks and first match.
TEST(ThreadedPasses, TheFilterMarksTheSameWhateverTheThreads) {
    PlayerNames            names;
    std::vector<GameEntry> games(300000);
    std::uint64_t          random = 12345;
    const auto             next   = [&random] {
        random = random * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(random >> 33);
    };
    for (std::uint32_t k = 0; k < games.size(); ++k) {
        GameEntry& e = games[k];
        e.number     = k;
        e.white      = names.intern("Player " + std::to_string(next() % 5000));
        e.black      = names.intern("Player " + std::to_string(next() % 5000));
        e.info       = static_cast<std::uint16_t>(next() % NoEco | (WhiteWon << (next() % 3)));
        e.year       = static_cast<std::int16_t>(1990 + next() % 30);
    }
    SearchFilter byName = emptyFilter(), byEcoAndYear = emptyFilter(), late = emptyFilter();
    copyFilterName(byName.name, "layer 4999", 10);
    byEcoAndYear.eco      = 42;
    byEcoAndYear.yearFrom = 2005;
    late.yearFrom         = 2019; // the first match comes late in the file
    late.name[0]          = '7';
    for (const SearchFilter& filter : {byName, byEcoAndYear, late}) {
        std::int64_t      first = 0;
        std::vector<bool> marks;
        for (const int threads : {1, 2, 8}) {
            const PassSettings settings(threads, 0);
            const std::int64_t found = filterGames(games, names, filter);
            std::vector<bool>  matched;
            for (const GameEntry& e : games)
                matched.push_back(e.info & Matched);
            if (threads == 1) {
                first = found;
                marks = matched;
                EXPECT_GT(std::count(marks.begin(), marks.end(), true), 0);
            } else {
                EXPECT_EQ(found, first) << threads;
                EXPECT_EQ(matched, marks) << threads;
            }
        }
    }
}

TEST(ThreadedPasses, AStoppedPassAnswersFalseAndLeavesTheFailureAlone) {
    BufferedFile file;
    ASSERT_TRUE(file.open(testData("twic944.pgn").c_str()));
    const PassSettings     settings(2, 65536);
    PassControl            control;
    control.stop = true;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ScanFailure            failure{};
    failure.line = 77;
    EXPECT_FALSE(indexFile(file, info, games, names, &failure, &control));
    EXPECT_EQ(failure.line, 77);

    PassControl            counted;
    FileInfo               fullInfo{};
    std::vector<GameEntry> fullGames;
    PlayerNames            fullNames;
    ASSERT_TRUE(indexFile(file, fullInfo, fullGames, fullNames, nullptr, &counted));
    EXPECT_EQ(counted.bytesDone.load(), file.size());
}

} // namespace
