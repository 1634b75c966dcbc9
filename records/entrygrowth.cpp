#include "records/entrygrowth.h"

#include <algorithm>

void reserveEntries(std::vector<GameEntry>& games, std::size_t extra, std::int64_t offset,
                    std::int64_t fileSize) {
    const std::size_t n = games.size() + extra;
    if (n <= games.capacity()) return;
    std::size_t room = std::max<std::size_t>(2 * games.capacity(), std::max<std::size_t>(n, 256));
    if (n >= 4096 && offset > 0) {
        const double expected = static_cast<double>(n) * static_cast<double>(fileSize) /
                                static_cast<double>(offset) * 1.03;
        room = static_cast<std::size_t>(std::clamp(expected, n + n / 8.0, 8.0 * n));
    }
    games.reserve(room);
}
