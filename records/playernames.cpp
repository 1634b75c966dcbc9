#include "records/playernames.h"

#include <cstring>

namespace {

// A hash of the name read eight bytes at a time: names are short and every game looks up
// several, so the index pass spends much of its time here. The multiplications spread every
// byte over the high bits and the last shift folds them into the low ones the slots take.
std::size_t hashOf(std::string_view name) {
    const char*   p = name.data();
    std::size_t   n = name.size();
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    std::uint64_t tail = 0;
    if (n) std::memcpy(&tail, p, n);
    h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
    return static_cast<std::size_t>(h ^ h >> 29);
}

} // namespace

PlayerNames::PlayerNames() : m_bytes(1, '\0'), m_starts{0, 1}, m_slots(64, EmptySlot) {
    m_slots[slotOf({}, hashOf({}))] = 0;
}

std::size_t PlayerNames::slotOf(std::string_view name, std::size_t hash) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t id = m_slots[slot];
        if (id == EmptySlot || this->name(id) == name) return slot;
    }
}

void PlayerNames::growSlots() {
    m_slots.assign(m_slots.size() * 2, EmptySlot);
    for (std::uint32_t id = 0; id < size(); ++id)
        m_slots[slotOf(name(id), hashOf(name(id)))] = id;
}

std::uint32_t PlayerNames::intern(std::string_view name) {
    const std::size_t hash = hashOf(name);
    std::size_t       slot = slotOf(name, hash);
    if (m_slots[slot] != EmptySlot) return m_slots[slot];
    // At most half the slots taken keeps the probe runs short.
    if (2 * (size() + 1) > m_slots.size()) {
        growSlots();
        slot = slotOf(name, hash);
    }
    const auto id = static_cast<std::uint32_t>(size());
    m_bytes.insert(m_bytes.end(), name.begin(), name.end());
    m_bytes.push_back('\0');
    m_starts.push_back(m_bytes.size());
    m_slots[slot] = id;
    return id;
}

std::size_t PlayerNames::memoryBytes() const {
    return m_bytes.capacity() + m_starts.capacity() * sizeof m_starts[0] +
           m_slots.capacity() * sizeof m_slots[0];
}

std::vector<std::uint32_t> PlayerNames::absorb(const PlayerNames& other) {
    std::vector<std::uint32_t> ids(other.size());
    for (std::uint32_t id = 0; id < other.size(); ++id)
        ids[id] = intern(other.name(id));
    return ids;
}
