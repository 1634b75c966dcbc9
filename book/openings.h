// Opening names by position: one characteristic position per ECO code A00-E99.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int OpeningCount = 500;
inline constexpr int NoOpening    = -1;

struct OpeningEntry {
    std::uint32_t keyLow, keyHigh;  // hashKey of the position that defines the code
    const char*   name;             // the English name
    const char*   nameJa;           // the Japanese name, in katakana (UTF-8)
    std::int32_t  ecoIndex;         // 0-499, the entry's place in the table
};

// The 500 entries in ECO order, generated from book/eco-lines.tsv and book/eco-names-ja.tsv.
extern const OpeningEntry openingTable[OpeningCount];

// The ECO index of the first entry whose key equals key, or NoOpening.
int findOpening(std::uint64_t key);

// The English opening name of an ECO index, or "" outside 0-499.
const char* openingName(int ecoIndex);

// How the program names openings: in which language, and whether a position that is not in
// the table keeps the name of the last named position of its line. The defaults are the
// table's English names for table positions only.
inline constexpr int NamesEnglish = 0, NamesJapanese = 1;
struct OpeningNameSettings {
    int  language      = NamesEnglish;
    bool keepLastNamed = false;
};

// The name of an ECO index in the settings' language, or "" outside 0-499.
const char* openingDisplayName(int ecoIndex, const OpeningNameSettings& settings);

// A buffer size that holds any ECO list text or opening label whole, in either language (the
// bounded writer cuts by bytes and would split a Japanese character).
inline constexpr std::size_t OpeningTextSize = 256;

// "A00" ... "E99" for an ECO index 0-499; out holds at least 4 bytes.
void ecoCodeText(int ecoIndex, char* out);

// The ECO list text "B20 Sicilian defence" of an index, through the bounded writer.
void ecoListText(int ecoIndex, char* buffer, std::size_t size,
                 const OpeningNameSettings& settings = {});
