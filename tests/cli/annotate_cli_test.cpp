// annotate: games reviewed by the built-in engine under a node budget and written as PGN with
// marks, evaluations, explanations and better lines. The output is read back by this
// program's own parser and by pgn-extract; it is the same on one and on two threads; what it
// must not overwrite it leaves alone.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli_run.h"

namespace {

const std::string Fixture    = std::string(NORVANE_TEST_DATA) + "/review-mistakes.pgn";
const char* const PgnExtract = "/usr/games/pgn-extract";
// Small, for quick runs under the sanitizers; a node budget keeps the results fixed.
const std::string Budget = " --nodes 20000";

// A fresh folder for one test's files, removed after it.
struct Folder {
    Folder() {
        std::string pattern = ::testing::TempDir() + "norvane-annotate-XXXXXX";
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~Folder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

std::string readFile(const std::string& path) {
    std::ifstream     file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::size_t countOf(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// The files in folder.
std::size_t filesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

TEST(CliAnnotate, OutputReadsBackWithTheSameGamesAndItsMarks) {
    Folder            folder;
    const std::string out = folder / "out.pgn";
    const CliRun      run = runCli("annotate " + Fixture + Budget + " -o " + out);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lastLine(run.out), "games 4");
    // One summary line per game, in order; the hung queen is White's one blunder.
    EXPECT_EQ(run.out.rfind("game 0 white 0 0 1 ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\ngame 3 white "), std::string::npos) << run.out;

    // This program's own parser reads every game back as it read the input's.
    for (int game = 0; game < 4; ++game) {
        const CliRun original = runCli("game " + Fixture + " " + std::to_string(game));
        const CliRun written  = runCli("game " + out + " " + std::to_string(game));
        ASSERT_EQ(written.status, 0) << written.err;
        EXPECT_EQ(written.out, original.out) << "game " << game;
    }
    const std::string text = readFile(out);
    EXPECT_NE(text.find("3. Qxe5+ $4 {[%eval "), std::string::npos) << text;
    EXPECT_NE(text.find("3... Nd4 $6 {[%eval "), std::string::npos) << text;
    EXPECT_NE(text.find("(6. Bxf7+ Ke7 7. Nd5#)"), std::string::npos) << text;
    // The mate on the board has no evaluation after it; every other move has one.
    EXPECT_NE(text.find("4. Qxf7# $1 1-0"), std::string::npos) << text;
    EXPECT_EQ(countOf(text, "[%eval "), 8u + 12u + 6u + 6u);
}

TEST(CliAnnotate, PgnExtractReadsTheSameMovesMarksAndComments) {
    if (access(PgnExtract, X_OK) != 0) GTEST_SKIP() << "pgn-extract is not installed";
    Folder            folder;
    const std::string out = folder / "out.pgn";
    ASSERT_EQ(runCli("annotate " + Fixture + Budget + " -o " + out).status, 0);

    // The main lines in coordinate form, without comments, side lines or NAGs.
    const auto movesOf = [&](const std::string& file, const std::string& name) {
        const std::string moves   = folder / name;
        const std::string command = std::string(PgnExtract) + " -s -Wuci -C -V -N --noresults -o " +
                                    moves + " " + file + " 2>" + folder / "errors";
        EXPECT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(readFile(folder / "errors"), "") << file;
        return readFile(moves);
    };
    const std::string expected = movesOf(Fixture, "in.txt");
    EXPECT_NE(expected.find("e2e4 e7e5 d1h5 b8c6 h5e5 c6e5 d2d4 e5c6"), std::string::npos);
    EXPECT_EQ(movesOf(out, "out.txt"), expected);

    // Kept whole: the NAGs, the comments and the side lines as written.
    const std::string kept = folder / "kept.pgn";
    ASSERT_EQ(std::system((std::string(PgnExtract) + " -s -o " + kept + " " + out).c_str()), 0);
    // pgn-extract breaks its lines elsewhere, inside comments too.
    const auto unbroken = [](std::string text) {
        for (char& c : text)
            if (c == '\n') c = ' ';
        return text;
    };
    const std::string original = unbroken(readFile(out)), reread = unbroken(readFile(kept));
    for (const char* what : {"$1", "$2", "$4", "$6", "[%eval ", "最善は", "("})
        EXPECT_EQ(countOf(reread, what), countOf(original, what)) << what;
}

TEST(CliAnnotate, OneAndTwoThreadsWriteTheSameBytes) {
    Folder folder;
    // All games (the games go to the threads) and one game (its positions go to them).
    for (const std::string games : {"", " --games 1-1"}) {
        const CliRun one = runCli("annotate " + Fixture + Budget + games + " --threads 1 -o " +
                                  folder / "one.pgn");
        const CliRun two = runCli("annotate " + Fixture + Budget + games + " --threads 2 -o " +
                                  folder / "two.pgn");
        ASSERT_EQ(one.status, 0) << one.err;
        ASSERT_EQ(two.status, 0) << two.err;
        EXPECT_EQ(one.out, two.out) << games;
        EXPECT_EQ(readFile(folder / "one.pgn"), readFile(folder / "two.pgn")) << games;
    }
    EXPECT_EQ(
        lastLine(runCli("annotate " + Fixture + Budget + " --games 2 -o " + folder / "x.pgn").out),
        "games 1");
}

TEST(CliAnnotate, WhatItMustNotOverwriteIsLeftAsItWas) {
    Folder            folder;
    const std::string input = folder / "in.pgn";
    std::filesystem::copy_file(Fixture, input);
    const std::string kept = folder / "kept.pgn";
    { std::ofstream(kept) << "not to be lost\n"; }
    std::filesystem::create_directory(folder / "dir");
    std::filesystem::create_symlink(kept, folder / "link.pgn");
    const struct {
        std::string args, words;
    } cases[] = {
        {input + " -o " + input, "is the input"},
        {input + " -o " + folder / "dir", "is a directory"},
        {input + " -o " + folder / "link.pgn", "is a symbolic link"},
        {input + " --engine /bin/true -o " + kept, "ended before answering uci"},
        {input + " --engine /nonexistent/engine -o " + kept,
         "cannot start engine /nonexistent/engine"},
        {input + " --games 3-9 -o " + kept, "holds 4 games"},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli("annotate " + c.args + Budget);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_NE(run.err.find(c.words), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("games "), std::string::npos) << c.args;
    }
    EXPECT_EQ(readFile(input), readFile(Fixture));
    EXPECT_EQ(readFile(kept), "not to be lost\n");
    // Nothing left behind: in.pgn, kept.pgn, dir, link.pgn.
    EXPECT_EQ(filesIn(folder.path), 4u);
    for (const char* args : {"", " -o", " --games 2-1 -o x.pgn", " --nodes 1 --depth 2 -o x.pgn"})
        EXPECT_EQ(runCli("annotate " + input + args).status, 2) << args;
}

} // namespace
