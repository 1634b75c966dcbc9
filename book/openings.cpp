#include "book/openings.h"

#include "records/textout.h"

namespace {

// The table's keys in an open-addressing index, filled once: findOpening is asked for every
// new position of the opening explorer's build, where a walk over 500 entries would cost more
// than the replay itself. A key met twice keeps its first entry.
class OpeningIndex {
public:
    OpeningIndex() {
        for (Slot& slot : m_slots)
            slot = {0, NoOpening};
        for (const OpeningEntry& entry : openingTable) {
            const std::uint64_t key = std::uint64_t{entry.keyHigh} << 32 | entry.keyLow;
            std::size_t         at  = slotOf(key);
            while (m_slots[at].ecoIndex != NoOpening && m_slots[at].key != key)
                at = (at + 1) & Mask;
            if (m_slots[at].ecoIndex == NoOpening) m_slots[at] = {key, entry.ecoIndex};
        }
    }

    int find(std::uint64_t key) const {
        for (std::size_t at = slotOf(key);; at = (at + 1) & Mask) {
            const Slot& slot = m_slots[at];
            if (slot.ecoIndex == NoOpening) return NoOpening;
            if (slot.key == key) return slot.ecoIndex;
        }
    }

private:
    static constexpr int         Bits = 10; // 1024 slots for 500 keys: never full
    static constexpr std::size_t Mask = (std::size_t{1} << Bits) - 1;
    static_assert(OpeningCount * 2 <= Mask + 1);

    struct Slot {
        std::uint64_t key;
        std::int32_t  ecoIndex; // NoOpening: free
    };

    static std::size_t slotOf(std::uint64_t key) {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - Bits));
    }

    Slot m_slots[Mask + 1];
};

} // namespace

int findOpening(std::uint64_t key) {
    static const OpeningIndex index;
    return index.find(key);
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
