// The game list's columns: which kinds the user may choose, their headers and first widths,
// the chosen layout (kinds in their order, widths) as the settings keep it, and the reader of
// any other tag's value from a game's text.
#pragma once

#include <QString>

#include <string_view>
#include <vector>

// What a column shows, in the order the column menu offers them. TagColumn shows the value of
// a tag the user named.
enum ListColumnKind : int {
    NumberColumn = 0, // the game's 1-based place in the file
    WhiteColumn,
    WhiteEloColumn,
    BlackColumn,
    BlackEloColumn,
    ResultColumn,
    MovesColumn,
    DateColumn,
    YearColumn,
    EventColumn,
    SiteColumn,
    RoundColumn,
    EcoColumn,
    OpeningColumn, // the opening's name from the ECO code, in the opening-name setting's language
    TagColumn,
    ListColumnKinds
};

struct ListColumn {
    ListColumnKind kind = WhiteColumn;
    QString        tag; // TagColumn: the tag's name as the user typed it
    bool           operator==(const ListColumn& other) const {
                  return kind == other.kind && tag == other.tag;
    }
};

// The chosen columns in their order, with each column's width in pixels.
struct ColumnLayout {
    std::vector<ListColumn> columns;
    std::vector<int>        widths;
};

// The column menu's label of a kind ("白レート"); TagColumn has none (its header is the tag).
QString columnMenuLabel(ListColumnKind kind);
// The header of a column: the six default columns keep their short labels ("white", "fm").
QString columnHeader(const ListColumn& column);
// The width a column gets when it is chosen.
int columnFirstWidth(const ListColumn& column);

// White, black, result, fm, year, eco at 80, 80, 60, 30, 40, 40 pixels.
ColumnLayout defaultColumnLayout();
// The layout the settings keep, or the default one when they keep none (or a broken one).
ColumnLayout loadColumnLayout();
void         saveColumnLayout(const ColumnLayout& layout);

// A tag name a user may ask a column for: letters, digits and "_" (what a PGN tag name is).
bool validTagName(const QString& name);

// The value of the first tag named name in a game's text (its tag section: the "[...]" lines
// before the moves), with "\"" and "\\" unescaped; empty when the game has no such tag.
std::string tagValueOf(std::string_view gameText, std::string_view name);
