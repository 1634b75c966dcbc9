#include "book/openings.h"

#include "records/textout.h"

int findOpening(std::uint64_t key) {
    const auto low = static_cast<std::uint32_t>(key), high = static_cast<std::uint32_t>(key >> 32);
    for (const OpeningEntry& entry : openingTable)
        if (entry.keyLow == low && entry.keyHigh == high) return entry.ecoIndex;
    return NoOpening;
}

const char* openingName(int ecoIndex) {
    return ecoIndex >= 0 && ecoIndex < OpeningCount ? openingTable[ecoIndex].name : "";
}

const char* openingDisplayName(int ecoIndex, const OpeningNameSettings& settings) {
    if (ecoIndex < 0 || ecoIndex >= OpeningCount) return "";
    const OpeningEntry& entry = openingTable[ecoIndex];
    return settings.language == NamesJapanese ? entry.nameJa : entry.name;
}

void ecoCodeText(int ecoIndex, char* out) {
    out[0] = static_cast<char>('A' + ecoIndex / 100);
    out[1] = static_cast<char>('0' + ecoIndex % 100 / 10);
    out[2] = static_cast<char>('0' + ecoIndex % 10);
    out[3] = '\0';
}

void ecoListText(int ecoIndex, char* buffer, std::size_t size, const OpeningNameSettings& settings) {
    char code[4];
    ecoCodeText(ecoIndex, code);
    TextOut(buffer, size).put(code).put(' ').put(openingDisplayName(ecoIndex, settings));
}
