// A player's record against a reference reading: pgn-extract (Debian's) selects the player's
// games by a White or Black tag criterion, and the test tallies the headers of the games it
// writes (ECO, Result, Date, the ratings). pgn-extract matches a player's name as a prefix;
// the tally keeps the games whose tag holds the name exactly, as the record does. Skipped
// when pgn-extract is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "cli_run.h"
#include "tests/common/pgnextract.h"

namespace {

std::string data(const char* name) { return std::string(NORVANE_TEST_DATA) + "/" + name; }

// games, wins, draws, losses
using Tally = std::tuple<int, int, int, int>;

// The record as rows keyed by their first two cells ("white\tB90", "year\t2012",
// "total\tall"), and the opponents beaten as "name\trating" with their counts.
struct Record {
    std::map<std::string, Tally>  rows;
    std::multiset<std::string>    beaten;
    int                           games = 0;
};

void add(Tally& t, int result) { // 1 win, 2 draw, 3 loss, 0 unfinished
    ++std::get<0>(t);
    if (result == 1) ++std::get<1>(t);
    if (result == 2) ++std::get<2>(t);
    if (result == 3) ++std::get<3>(t);
}

std::string digitsOnly(const std::string& value) {
    if (value.empty() || value.size() > 4) return "";
    for (char c : value)
        if (c < '0' || c > '9') return "";
    return std::to_string(std::stoi(value));
}

// The games of the player on one side, as pgn-extract selects them, tallied into record.
bool tallyReference(const std::string& program, const std::string& file, const std::string& name,
                    bool white, Record& record) {
    const std::string criteria = ::testing::TempDir() + "norvane-player-" + std::to_string(getpid()) + ".txt";
    {
        std::ofstream out(criteria, std::ios::trunc);
        out << (white ? "White" : "Black") << " \"" << name << "\"\n";
    }
    const std::string command = program + " -s -t" + criteria + " '" + file + "' 2>/dev/null";
    FILE*             pipe    = popen(command.c_str(), "r");
    if (!pipe) return false;
    std::string text;
    char        buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
    std::remove(criteria.c_str());

    std::map<std::string, std::string> tags;
    const auto finishGame = [&] {
        if (tags.empty()) return;
        const std::string side = white ? "White" : "Black", other = white ? "Black" : "White";
        if (tags[side] == name && !(!white && tags["White"] == name)) {
            const std::string& r      = tags["Result"];
            const int          result = r == "1/2-1/2" ? 2
                                        : r == "1-0"   ? (white ? 1 : 3)
                                        : r == "0-1"   ? (white ? 3 : 1)
                                                       : 0;
            const std::string  eco    = tags["ECO"].size() == 3 ? tags["ECO"] : "-";
            add(record.rows[(white ? "white\t" : "black\t") + eco], result);
            add(record.rows[std::string("total\t") + (white ? "white" : "black")], result);
            add(record.rows["total\tall"], result);
            const std::string year = digitsOnly(tags["Date"].substr(0, 4));
            if (!year.empty() && year != "0") add(record.rows["year\t" + year], result);
            if (result == 1) record.beaten.insert(tags[other] + "\t" + digitsOnly(tags[other + "Elo"]));
            ++record.games;
        }
        tags.clear();
    };
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("[Event ", 0) == 0) finishGame();
        if (line.size() < 4 || line[0] != '[') continue;
        const std::size_t space = line.find(' '), open = line.find('"'), close = line.rfind('"');
        if (space == std::string::npos || open == std::string::npos || close <= open) continue;
        const std::string tag = line.substr(1, space - 1);
        if (!tags.count(tag)) tags[tag] = line.substr(open + 1, close - open - 1);
    }
    finishGame();
    return true;
}

Record ours(const std::string& file, const std::string& name) {
    const CliRun run = runCli("player '" + file + "' '" + name + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    Record             record;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream cells(line);
        std::string        kind, key;
        std::getline(cells, kind, '\t');
        std::getline(cells, key, '\t');
        if (kind.rfind("games ", 0) == 0) {
            record.games = std::stoi(kind.substr(6));
        } else if (kind == "beaten") {
            std::string rating;
            std::getline(cells, rating, '\t');
            record.beaten.insert(key + "\t" + rating);
        } else {
            int games = 0, wins = 0, draws = 0, losses = 0;
            cells >> games >> wins >> draws >> losses;
            record.rows[kind + "\t" + key] = {games, wins, draws, losses};
        }
    }
    return record;
}

void compareRecord(const std::string& file, const std::string& name) {
    SCOPED_TRACE(name);
    Record reference;
    for (const char* total : {"total\twhite", "total\tblack", "total\tall"}) reference.rows[total] = {};
    ASSERT_TRUE(tallyReference(pgnExtract(), file, name, true, reference));
    ASSERT_TRUE(tallyReference(pgnExtract(), file, name, false, reference));
    ASSERT_GT(reference.games, 0);
    const Record record = ours(file, name);
    EXPECT_EQ(record.games, reference.games);
    EXPECT_EQ(record.rows, reference.rows);
    // Every win is listed while there are at most ten.
    if (reference.beaten.size() <= 10) {
        EXPECT_EQ(record.beaten, reference.beaten);
    }
}

} // namespace

TEST(PlayerVsPgnExtract, RecordsOnCatalogueSearch) {
    if (pgnExtract().empty()) GTEST_SKIP() << "pgn-extract is not installed";
    // Names that differ only in case are other players; missing ratings and partial dates.
    for (const char* name : {"Carlsen, Magnus", "carlsen, magnus", "Naiditsch, Arkadij", "Berg, Kari"})
        compareRecord(data("catalogue-search.pgn"), name);
}

TEST(PlayerVsPgnExtract, RecordsOnTwic944) {
    if (pgnExtract().empty()) GTEST_SKIP() << "pgn-extract is not installed";
    for (const char* name : {"Socko,B", "Jakovenko,D"}) compareRecord(data("twic944.pgn"), name);
}

TEST(PlayerCli, ANameNotFoundExactlyIsAnErrorThatListsTheNamesHoldingIt) {
    const CliRun run = runCli("player '" + data("catalogue-search.pgn") + "' carlsen");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("no player named exactly \"carlsen\""), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\"Carlsen, Magnus\" (5)"), std::string::npos) << run.err;
    EXPECT_EQ(runCli("player '" + data("catalogue-search.pgn") + "'").status, 2); // no NAME
}
