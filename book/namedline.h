// Which opening a position on a line of moves is named after: its own table entry, or, when
// the settings keep the last name, the last named position the line passed through.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "book/openings.h"
#include "engine/board.h"

// A named position of a line: its ECO index (NoOpening when the line names none) and how many
// moves before the line's end it stands (0: the position at the end itself).
struct NamedPosition {
    int ecoIndex  = NoOpening;
    int pliesBack = 0;
};

// The last named position along the line that led to the Board's position: the moves of
// earlier were made first, then those of later (the current game's moves up to the shown
// one, then a research line). The Board is walked back over them and forward again, so it
// ends as it was.
NamedPosition lastNamedPosition(std::span<const Move> earlier, std::span<const Move> later = {});

// The opening the Board's position is shown with under settings: its own entry, and with
// keepLastNamed, when it has none, the last named position along the line.
NamedPosition shownOpening(const OpeningNameSettings& settings, std::span<const Move> earlier,
                           std::span<const Move> later = {});

// Marks a name that belongs to an earlier position of the line, right after its ECO code.
inline constexpr const char* LeftNamedLineMark = "以降";

// "B90 Sicilian: Najdorf" for a position in the table, "B90以降 Sicilian: Najdorf" for one
// past it, in the settings' language; "" when named holds no opening. buffer holds
// OpeningTextSize bytes for the whole text.
void openingLabelText(const NamedPosition& named, const OpeningNameSettings& settings, char* buffer,
                      std::size_t size);

// The opening a position of the explorer is shown with under settings: the name of its own
// entry; with keepLastNamed also one named earlier on the way to it (own false), labelled as
// openingLabelText labels it; "" when none is shown.
std::string explorerOpeningText(int ecoIndex, bool own, const OpeningNameSettings& settings);
