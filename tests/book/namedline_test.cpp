// The name a position on a line is shown with: its own entry, or the last named position the
// line passed, across the game's moves and a research line after them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/namedline.h"
#include "records/fen.h"
#include "tests/common/playsan.h"

namespace {

const std::string Najdorf = "e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6";  // B90

std::string boardFen() {
    char text[128];
    boardToText(text, sizeof text);
    return text;
}

// The label the position after earlier then later (the game's moves, then a research line)
// is shown with; the Board must stand there again afterwards.
std::string shownLabel(const OpeningNameSettings& settings, const std::string& earlier,
                       const std::string& later = "") {
    std::vector<Move> game, whole;
    EXPECT_TRUE(playSan(earlier, &game));
    EXPECT_TRUE(playSan(earlier + " " + later, &whole));
    const std::span<const Move> line(whole);

    const std::string   fen = boardFen();
    const NamedPosition named =
        shownOpening(settings, line.first(game.size()), line.subspan(game.size()));
    EXPECT_EQ(boardFen(), fen);
    char label[OpeningTextSize];
    openingLabelText(named, settings, label, sizeof label);
    return label;
}

}  // namespace

TEST(NamedLine, KeepsTheLastNameAlongALineThatLeavesTheTable) {
    const OpeningNameSettings keep{NamesEnglish, true};
    struct Case { std::string line, label; };
    const Case cases[] = {
        {"", ""},                                             // nothing named yet
        {"a3 a6 a4", ""},                                     // nor ever on this line
        {Najdorf, "B90 Sicilian: Najdorf"},                   // in the table: no mark
        {Najdorf + " Be3", "B90以降 Sicilian: Najdorf"},      // one move past it
        {Najdorf + " Be3 e5 Nb3", "B90以降 Sicilian: Najdorf"},
        {Najdorf + " Bg5 e6 f4", "B96 Sicilian: Najdorf, 7.f4"},  // a later named position
        {Najdorf + " Bg5 e6 f4 h6", "B96以降 Sicilian: Najdorf, 7.f4"},
        {"b3 e5 Bb2 Nc6 e3 Nf6", "A01以降 Nimzovich-Larsen attack"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(shownLabel(keep, c.line), c.label);
    }
}

TEST(NamedLine, ResearchLineContinuesTheGameLine) {
    const OpeningNameSettings keep{NamesJapanese, true};
    // The research line reaches a named position of its own, leaves it, or only leaves the
    // game's; the walk back crosses from the research moves into the game's.
    EXPECT_EQ(shownLabel(keep, Najdorf + " Bg5", "e6 f4"),
              "B96 シシリアン：ナイドルフ、7.f4");
    EXPECT_EQ(shownLabel(keep, Najdorf + " Bg5", "e6 f4 h6"),
              "B96以降 シシリアン：ナイドルフ、7.f4");
    EXPECT_EQ(shownLabel(keep, Najdorf + " h3", "e5 Nde2"), "B90以降 シシリアン：ナイドルフ");
    EXPECT_EQ(shownLabel(keep, "", Najdorf + " h3"), "B90以降 シシリアン：ナイドルフ");
}

TEST(NamedLine, DefaultSettingsNameTablePositionsOnly) {
    EXPECT_EQ(shownLabel({}, Najdorf), "B90 Sicilian: Najdorf");
    EXPECT_EQ(shownLabel({}, Najdorf + " Be3"), "");
    EXPECT_EQ(shownLabel({NamesJapanese, false}, Najdorf + " Be3"), "");
    EXPECT_EQ(shownLabel({NamesJapanese, false}, Najdorf), "B90 シシリアン：ナイドルフ");
}
