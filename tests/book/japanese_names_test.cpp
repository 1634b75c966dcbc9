// The Japanese opening names: complete, one to one with the English ones, and written to one
// set of conventions, their move notes in algebraic notation and true to the defining lines.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "book/openings.h"

namespace {

struct NamedLine {
    std::string              code, english, japanese;
    std::vector<std::string> moves;  // SAN from the initial position
};

// The rows of eco-lines.tsv with the Japanese names of eco-names-ja.tsv beside them.
std::vector<NamedLine> readNamedLines() {
    std::ifstream lines(NORVANE_SOURCE_DIR "/book/eco-lines.tsv");
    std::ifstream names(NORVANE_SOURCE_DIR "/book/eco-names-ja.tsv");
    std::string   lineRow, nameRow;
    std::getline(lines, lineRow);  // headers
    std::getline(names, nameRow);
    std::vector<NamedLine> rows;
    while (std::getline(lines, lineRow)) {
        NamedLine          row;
        std::istringstream line(lineRow);
        std::string        moves, nameCode, nameEnglish;
        std::getline(line, row.code, '\t');
        std::getline(line, row.english, '\t');
        std::getline(line, moves);
        std::istringstream tokens(moves);
        for (std::string move; tokens >> move;) row.moves.push_back(move);
        if (std::getline(names, nameRow)) {
            std::istringstream name(nameRow);
            std::getline(name, nameCode, '\t');
            std::getline(name, nameEnglish, '\t');
            std::getline(name, row.japanese);
        }
        EXPECT_EQ(nameCode, row.code);
        EXPECT_EQ(nameEnglish, row.english) << row.code;
        rows.push_back(row);
    }
    EXPECT_FALSE(std::getline(names, nameRow)) << "eco-names-ja.tsv has rows past E99";
    return rows;
}

// A run of ASCII in a Japanese name: its text ("…" written as "~"), what follows it in the
// name, and whether a blank joins it to the run before.
struct AsciiRun {
    std::string text, after;
    bool        joined;
};

// Splits name into its ASCII runs of notation characters; any other ASCII character but
// parentheses and a blank between two runs is reported in stray.
std::vector<AsciiRun> asciiRuns(const std::string& japanese, std::string& stray) {
    std::string        name;
    const std::string  ellipsis = "…";
    for (std::size_t i = 0; i < japanese.size(); ++i)
        if (japanese.compare(i, ellipsis.size(), ellipsis) == 0) {
            name += '~';
            i += ellipsis.size() - 1;
        } else {
            name += japanese[i];
        }
    const auto notation = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::string("~.+#=-").find(c) != std::string::npos;
    };
    std::vector<AsciiRun> runs;
    bool                  blank = false;
    for (std::size_t i = 0; i < name.size();) {
        if (notation(name[i])) {
            std::size_t end = i;
            while (end < name.size() && notation(name[end])) ++end;
            runs.push_back({name.substr(i, end - i), name.substr(end), blank});
            i     = end;
            blank = false;
            continue;
        }
        if (name[i] == ' ' && !runs.empty() && i + 1 < name.size() && notation(name[i + 1]) &&
            i > 0 && notation(name[i - 1]))
            blank = true;
        else if (static_cast<unsigned char>(name[i]) < 0x80 && name[i] != '(' && name[i] != ')')
            stray += name[i];
        ++i;
    }
    return runs;
}

bool isFile(char c) { return c >= 'a' && c <= 'h'; }
bool isRank(char c) { return c >= '1' && c <= '8'; }

// Splits a move note into its number ("5.", "7~" for "7…", "~" or none) and its move without
// a check sign; false unless the move is SAN.
bool splitMoveNote(const std::string& note, std::string& number, std::string& move) {
    std::size_t digits = 0;
    while (digits < note.size() && std::isdigit(static_cast<unsigned char>(note[digits]))) ++digits;
    std::size_t start = digits;
    if (start < note.size() && (note[start] == '~' || (digits > 0 && note[start] == '.'))) ++start;
    else if (digits > 0) return false;
    number = note.substr(0, start);
    move   = note.substr(start);
    if (!move.empty() && (move.back() == '+' || move.back() == '#')) move.pop_back();
    const std::string& m = move;
    if (m == "O-O" || m == "O-O-O") return true;
    if (m.size() >= 3 && std::string("KQRBN").find(m[0]) != std::string::npos) {
        std::string rest = m.substr(1);  // [file][rank][x]file rank
        if (!isFile(rest[rest.size() - 2]) || !isRank(rest.back())) return false;
        rest.resize(rest.size() - 2);
        if (!rest.empty() && rest.back() == 'x') rest.pop_back();
        if (rest.size() == 2) return isFile(rest[0]) && isRank(rest[1]);
        return rest.empty() || isFile(rest[0]) || isRank(rest[0]);
    }
    std::string pawn = m;  // file [x file] rank [=piece]
    if (pawn.size() >= 4 && pawn[pawn.size() - 2] == '=') {
        if (std::string("QRBN").find(pawn.back()) == std::string::npos) return false;
        pawn.resize(pawn.size() - 2);
    }
    if (pawn.size() == 2) return isFile(pawn[0]) && isRank(pawn[1]);
    return pawn.size() == 4 && isFile(pawn[0]) && pawn[1] == 'x' && isFile(pawn[2]) && isRank(pawn[3]);
}

bool isEcoCode(const std::string& text) {
    return text.size() == 3 && text[0] >= 'A' && text[0] <= 'E' && std::isdigit(static_cast<unsigned char>(text[1])) &&
           std::isdigit(static_cast<unsigned char>(text[2]));
}

}  // namespace

TEST(JapaneseNames, SplitsMoveNotes) {
    struct Case { const char* note; bool san; const char* number; const char* move; };
    const Case cases[] = {
        {"5.cxd5", true, "5.", "cxd5"}, {"7~Be7", true, "7~", "Be7"},  {"~g6", true, "~", "g6"},
        {"Nbd7", true, "", "Nbd7"},     {"O-O-O", true, "", "O-O-O"},  {"6.Bb5+", true, "6.", "Bb5"},
        {"e8=Q", true, "", "e8=Q"},     {"R1e2", true, "", "R1e2"},    {"d", false, "", ""},
        {"DERLD", false, "", ""},       {"12", false, "", ""},         {"Sicilian", false, "", ""},
        {"e8g8", false, "", ""},        {"c5d4", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        std::string number, move;
        EXPECT_EQ(splitMoveNote(c.note, number, move), c.san);
        if (!c.san) continue;
        EXPECT_EQ(number, c.number);
        EXPECT_EQ(move, c.move);
    }
}

TEST(JapaneseNames, EveryEntryHasOneFromTheNamesFile) {
    const std::vector<NamedLine> rows = readNamedLines();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(OpeningCount));
    for (int i = 0; i < OpeningCount; ++i) {
        SCOPED_TRACE(rows[i].code);
        EXPECT_FALSE(rows[i].japanese.empty());
        EXPECT_EQ(openingTable[i].nameJa, rows[i].japanese);
        EXPECT_STREQ(openingDisplayName(i, {NamesJapanese}), openingTable[i].nameJa);
        EXPECT_STREQ(openingDisplayName(i, {}), openingTable[i].name);
    }
    EXPECT_STREQ(openingDisplayName(OpeningCount, {NamesJapanese}), "");
    EXPECT_STREQ(openingDisplayName(-1, {NamesJapanese}), "");
}

TEST(JapaneseNames, SameEnglishNameSameJapaneseNameAndNoOther) {
    std::map<std::string, std::string> byEnglish, byJapanese;
    for (int i = 0; i < OpeningCount; ++i) {
        const OpeningEntry& entry = openingTable[i];
        SCOPED_TRACE(entry.name);
        const auto english  = byEnglish.emplace(entry.name, entry.nameJa).first;
        const auto japanese = byJapanese.emplace(entry.nameJa, entry.name).first;
        EXPECT_EQ(english->second, entry.nameJa);
        EXPECT_EQ(japanese->second, entry.name);
    }
    EXPECT_EQ(byEnglish.size(), 427u);
}

// Move notes are SAN, numbered ("5.cxd5", "7…Be7") or not ("…g6", "Nc3"), and ECO codes;
// nothing else of ASCII but parentheses. A numbered note, and the move after it, are the
// defining line's moves at that number; an unnumbered one is played in the line, unless the
// name says it is not ("なし").
TEST(JapaneseNames, OnlyMoveNotationInAsciiAndTrueToTheLine) {
    for (const NamedLine& row : readNamedLines()) {
        SCOPED_TRACE(row.code + " " + row.japanese);
        std::string                 stray;
        const std::vector<AsciiRun> runs = asciiRuns(row.japanese, stray);
        EXPECT_EQ(stray, "");
        EXPECT_EQ(row.japanese.find("ヴァリエーション"), std::string::npos);
        const std::size_t colon = row.japanese.find("：");
        EXPECT_EQ(row.japanese.find("：", colon == std::string::npos ? 0 : colon + 1), std::string::npos)
            << "one full-width colon at most, between the opening and its variation";
        int ply = -1;  // the ply of the last numbered note's move, -1 after other text
        for (const AsciiRun& run : runs) {
            if (isEcoCode(run.text)) continue;
            std::string number, move;
            ASSERT_TRUE(splitMoveNote(run.text, number, move)) << run.text;
            if (!number.empty() && number != "~")
                ply = 2 * (std::stoi(number) - 1) + (number.back() == '~' ? 1 : 0);
            else if (run.joined && ply >= 0)
                ++ply;
            else
                ply = -1;
            if (run.after.rfind("なし", 0) == 0) continue;
            std::vector<std::string> played;
            for (const std::string& m : row.moves)
                played.push_back(m.substr(0, m.find_first_of("+#")));
            if (ply >= 0) {
                ASSERT_LT(ply, static_cast<int>(played.size())) << run.text;
                EXPECT_EQ(played[ply], move) << run.text;
            } else {
                bool found = false;
                for (std::size_t k = number == "~" ? 1 : 0; k < played.size(); k += number == "~" ? 2 : 1)
                    found = found || played[k] == move;
                EXPECT_TRUE(found) << run.text << " is not played in the line";
            }
        }
    }
}

TEST(JapaneseNames, ListTextsInEitherLanguageFitTheirBuffer) {
    char text[OpeningTextSize];
    ecoListText(90, text, sizeof text, {NamesJapanese});
    EXPECT_STREQ(text, "A90 ダッチ・ディフェンス");
    ecoListText(90, text, sizeof text, {NamesEnglish});
    EXPECT_STREQ(text, "A90 Dutch defence");
    for (int i = 0; i < OpeningCount; ++i) {
        ecoListText(i, text, sizeof text, {NamesJapanese});
        EXPECT_LT(std::string(text).size() + 16, sizeof text) << "room for a mark as well";
    }
}
