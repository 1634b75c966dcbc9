// Opening names by position: one characteristic position per ECO code A00-E99.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int OpeningCount = 500;
inline constexpr int NoOpening    = -1;

struct OpeningEntry {
    std::uint32_t keyLow, keyHigh;  // hashKey of the position that defines the code
    const char*   name;
    std::int32_t  ecoIndex;         // 0-499, the entry's place in the table
};

// The 500 entries in ECO order, generated from book/eco-lines.tsv.
extern const OpeningEntry openingTable[OpeningCount];

// The ECO index of the first entry whose key equals key, or NoOpening.
int findOpening(std::uint64_t key);

// The opening name of an ECO index, or "" outside 0-499.
const char* openingName(int ecoIndex);

// "A00" ... "E99" for an ECO index 0-499; out holds at least 4 bytes.
void ecoCodeText(int ecoIndex, char* out);

// The ECO list text "B20 Sicilian defence" of an index, through the bounded writer.
void ecoListText(int ecoIndex, char* buffer, std::size_t size);
