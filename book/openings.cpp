#include "book/openings.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "records/textout.h"

namespace {

// The table's keys in order, each with its entry: findOpening is asked for every new position
// of the opening explorer's build, where a walk over the 500 entries would cost more than the
// replay itself. The sort is stable, so that a key met twice finds its first entry.
const std::vector<std::pair<std::uint64_t, int>>& keysInOrder() {
    static const std::vector<std::pair<std::uint64_t, int>> keys = [] {
        std::vector<std::pair<std::uint64_t, int>> sorted;
        for (const OpeningEntry& entry : openingTable)
            sorted.emplace_back(std::uint64_t{entry.keyHigh} << 32 | entry.keyLow, entry.ecoIndex);
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        return sorted;
    }();
    return keys;
}

} // namespace

int findOpening(std::uint64_t key) {
    const auto& keys = keysInOrder();
    const auto  at   = std::lower_bound(keys.begin(), keys.end(), key,
                                        [](const auto& entry, std::uint64_t k) { return entry.first < k; });
    return at != keys.end() && at->first == key ? at->second : NoOpening;
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
