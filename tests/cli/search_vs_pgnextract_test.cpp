// The search's counts against a reference reading: pgn-extract (Debian's, installed by
// scripts/install-deps) selects the games by tag criteria files (-t), and the games it writes
// are counted. Where pgn-extract's criteria read differently from the search (its tag values
// compare case-sensitively, its Date operators compare years only, lines of one tag are or-ed),
// the criteria are spelled out: every case in which the text occurs in the file, every day,
// month and year a date range holds whole, every code of an ECO range, and criteria that must
// all hold as files run one after another. Skipped when pgn-extract is not installed.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "cli_run.h"
#include "tests/common/pgnextract.h"

namespace {

std::string data(const char* name) { return std::string(NORVANE_TEST_DATA) + "/" + name; }

// One pass of pgn-extract: its tag criteria (or-ed when they name one tag) and flags.
struct Stage {
    std::vector<std::string> criteria;
    std::string              flags;
};

// The games pgn-extract lets through every stage, one after another.
int referenceCount(const std::string& program, const std::string& file, const std::vector<Stage>& stages) {
    std::string command;
    for (std::size_t k = 0; k < stages.size(); ++k) {
        std::string criteria;
        if (!stages[k].criteria.empty()) {
            const std::string path = ::testing::TempDir() + "norvane-criteria-" +
                                     std::to_string(getpid()) + "-" + std::to_string(k) + ".txt";
            std::ofstream out(path, std::ios::trunc);
            for (const std::string& line : stages[k].criteria) out << line << '\n';
            criteria = " -t" + path;
        }
        if (k > 0) command.append(" | ");
        command.append(program).append(" -s ").append(stages[k].flags).append(criteria);
        if (k == 0) command.append(" '").append(file).append("'");
        command.append(" 2>/dev/null");
    }
    command += " | grep -c '^\\[Event '";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    int count = -1;
    if (std::fscanf(pipe, "%d", &count) != 1) count = -1;
    pclose(pipe);
    return count;
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Criteria lines `Tag "variant"` for every spelling of needle, in any case of its ASCII
// letters, that occurs within the values of the tags in the file.
std::vector<std::string> caseVariants(const std::string& fileText, const std::vector<std::string>& tags,
                                      const std::string& criterionTag, const std::string& needle) {
    std::set<std::string> found;
    for (const std::string& tag : tags) {
        const std::string opening = "\n[" + tag + " \"";
        for (std::size_t at = fileText.find(opening); at != std::string::npos;
             at = fileText.find(opening, at + 1)) {
            const std::size_t start = at + opening.size();
            const std::string value = fileText.substr(start, fileText.find("\"]", start) - start);
            const std::string folded = lower(value);
            for (std::size_t k = folded.find(lower(needle)); k != std::string::npos;
                 k = folded.find(lower(needle), k + 1))
                found.insert(value.substr(k, needle.size()));
        }
    }
    std::vector<std::string> lines;
    for (const std::string& variant : found) lines.push_back(criterionTag + " \"" + variant + "\"");
    if (lines.empty()) lines.push_back(criterionTag + " \"" + needle + "\""); // matches nothing
    return lines;
}

// Date lines for every day, month and year wholly within [from, to] (YYYYMMDD): a partial
// date meets a range only when every day it may be does.
std::vector<std::string> dateLines(int from, int to) {
    std::vector<std::string> lines;
    char                     text[32];
    for (int year = from / 10000; year <= to / 10000; ++year) {
        if (year * 10000 + 101 >= from && year * 10000 + 1231 <= to) {
            std::snprintf(text, sizeof text, "Date \"%04d.??.??\"", year);
            lines.push_back(text);
        }
        for (int month = 1; month <= 12; ++month) {
            const int first = year * 10000 + month * 100;
            if (first + 1 >= from && first + 31 <= to) {
                std::snprintf(text, sizeof text, "Date \"%04d.%02d.??\"", year, month);
                lines.push_back(text);
            }
            for (int day = 1; day <= 31; ++day)
                if (first + day >= from && first + day <= to) {
                    std::snprintf(text, sizeof text, "Date \"%04d.%02d.%02d\"", year, month, day);
                    lines.push_back(text);
                }
        }
    }
    return lines;
}

// YYYYMMDD as YYYY.MM.DD.
std::string dateText(int date) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d.%02d.%02d", date / 10000, date / 100 % 100, date % 100);
    return text;
}

std::vector<std::string> ecoLines(const std::string& first, const std::string& last) {
    std::vector<std::string> lines;
    const int from = (first[0] - 'A') * 100 + std::stoi(first.substr(1));
    const int to   = (last[0] - 'A') * 100 + std::stoi(last.substr(1));
    char      text[16];
    for (int eco = from; eco <= to; ++eco) {
        std::snprintf(text, sizeof text, "ECO \"%c%02d\"", 'A' + eco / 100, eco % 100);
        lines.push_back(text);
    }
    return lines;
}

int ourCount(const std::string& file, const std::string& args) {
    const CliRun run = runCli("search '" + file + "' " + args);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string last = lastLine(run.out);
    return last.rfind("matched ", 0) == 0 ? std::stoi(last.substr(8)) : -1;
}

struct Case {
    std::string        args;
    std::vector<Stage> reference;
};

void compareCounts(const std::string& file, const std::vector<Case>& cases) {
    const std::string program = pgnExtract();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const int reference = referenceCount(program, file, c.reference);
        EXPECT_GE(reference, 0);
        EXPECT_EQ(ourCount(file, c.args), reference);
    }
}

std::string readAll(const std::string& path) {
    // A line end first, so that the first tag line is found as the others are.
    std::ifstream in(path, std::ios::binary);
    std::string   text(1, '\n');
    text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return text;
}

// The cases both files are searched by: a name on either side and on one, event, site,
// ratings of either player, of both and of the named player, a date range, an ECO range,
// move bounds, and all of them at once.
std::vector<Case> cases(const std::string& text, const std::string& name, const std::string& event,
                        const std::string& site, int eloMin, int dateFrom, int dateTo) {
    const std::string sub = "--tagsubstr", elo = std::to_string(eloMin);
    const auto        players = [&](const std::string& as, const std::vector<std::string>& tags) {
        return Stage{caseVariants(text, tags, as, name), sub};
    };
    const std::string dates   = " --date-from " + dateText(dateFrom) + " --date-to " + dateText(dateTo);
    return {
        {"", {{{}, ""}}},
        {"--name '" + name + "'", {players("Player", {"White", "Black"})}},
        {"--name '" + name + "' --side white", {players("White", {"White"})}},
        {"--name '" + name + "' --side black", {players("Black", {"Black"})}},
        {"--event '" + event + "'", {{caseVariants(text, {"Event"}, "Event", event), sub}}},
        {"--site '" + site + "'", {{caseVariants(text, {"Site"}, "Site", site), sub}}},
        {"--elo-min " + elo, {{{"Elo >= \"" + elo + "\""}, ""}}},
        {"--elo-max 2200", {{{"Elo <= \"2200\""}, ""}}},
        {"--elo-min " + elo + " --elo-max 2850 --elo-of both",
         {{{"WhiteElo >= \"" + elo + "\"", "BlackElo >= \"" + elo + "\""}, ""},
          {{"WhiteElo <= \"2850\"", "BlackElo <= \"2850\""}, ""}}},
        {"--name '" + name + "' --side white --elo-min " + elo + " --elo-of player",
         {players("White", {"White"}), {{"WhiteElo >= \"" + elo + "\""}, ""}}},
        {"--name '" + name + "' --side black --elo-max 2850 --elo-of player",
         {players("Black", {"Black"}), {{"BlackElo <= \"2850\""}, ""}}},
        {dates, {{dateLines(dateFrom, dateTo), ""}}},
        {"--date-from 2012.03", {{dateLines(20120301, 20991231), ""}}},
        {"--date-to 2012.12.03", {{dateLines(19000101, 20121203), ""}}},
        {"--eco-range B90-B99", {{ecoLines("B90", "B99"), ""}}},
        {"--eco-range A00-B49", {{ecoLines("A00", "B49"), ""}}},
        {"--moves-min 4 --moves-max 25", {{{}, "-bl4"}, {{}, "-bu25"}}},
        {"--eco-range A00-E99 --elo-min " + elo + " --event '" + event + "' --site '" + site + "'" +
             dates + " --moves-max 60",
         {{ecoLines("A00", "E99"), ""},
          {{"Elo >= \"" + elo + "\""}, ""},
          {caseVariants(text, {"Event"}, "Event", event), sub},
          {caseVariants(text, {"Site"}, "Site", site), sub},
          {dateLines(dateFrom, dateTo), ""},
          {{}, "-bu60"}}},
    };
}

} // namespace

TEST(SearchVsPgnExtract, CountsOnTwic944) {
    if (pgnExtract().empty()) GTEST_SKIP() << "pgn-extract is not installed";
    const std::string file = data("twic944.pgn");
    compareCounts(file, cases(readAll(file), "carlsen", "london", "eng", 2700, 20121201, 20121209));
}

TEST(SearchVsPgnExtract, CountsOnPartialDatesMissingRatingsAndCase) {
    if (pgnExtract().empty()) GTEST_SKIP() << "pgn-extract is not installed";
    const std::string file = data("catalogue-search.pgn");
    const std::string text = readAll(file);
    std::vector<Case> all  = cases(text, "carlsen", "TATA", "ned", 2800, 20120101, 20120630);
    // Events and sites that differ only in case.
    all.push_back({"--event LONDON --site london",
                   {{caseVariants(text, {"Event"}, "Event", "LONDON"), "--tagsubstr"},
                    {caseVariants(text, {"Site"}, "Site", "london"), "--tagsubstr"}}});
    compareCounts(file, all);
}
