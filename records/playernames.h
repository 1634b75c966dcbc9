// The player names of a game index, each distinct name stored once: entries hold a name's id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class PlayerNames {
public:
    // Holds the empty name alone, as id 0: a zeroed entry names nobody.
    PlayerNames();

    // The id of name, added when new. Ids count from 0 in the order names were first seen.
    std::uint32_t intern(std::string_view name);
    // The name of an id below size(); its bytes are followed by a zero.
    std::string_view name(std::uint32_t id) const {
        return {m_bytes.data() + m_starts[id],
                static_cast<std::size_t>(m_starts[id + 1] - m_starts[id] - 1)};
    }
    // How many distinct names, the empty one included.
    std::size_t size() const { return m_starts.size() - 1; }
    // The bytes the table holds on the heap.
    std::size_t memoryBytes() const;

    // Interns every name of other; answers the id each of other's ids has here.
    std::vector<std::uint32_t> absorb(const PlayerNames& other);

private:
    static constexpr std::uint32_t EmptySlot = 0xFFFFFFFF;

    // The slot that holds name, or the empty slot where it would go.
    std::size_t slotOf(std::string_view name, std::size_t hash) const;
    void        growSlots();

    std::vector<char>          m_bytes;  // every name and its zero, one after the other
    std::vector<std::uint64_t> m_starts; // where each id's name begins, and the end of the last
    std::vector<std::uint32_t> m_slots;  // open addressing by the name's hash: ids, or EmptySlot
};
