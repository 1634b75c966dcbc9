// A game index of many varied games (players, results, lengths, years, ECO codes), the same
// every run, for the game-list benchmarks.
#pragma once

#include <cstdio>
#include <random>
#include <vector>

#include "records/gameindex.h"

inline std::vector<GameEntry> syntheticGames(std::size_t count) {
    static const char* const names[] = {"Carlsen, Magnus", "Kasparov, Garry", "anand, v", "Tal, M",
                                        "Fischer, R", "Nakamura, Hikaru", "Caruana, F", "Ding, Liren"};
    static const int results[4] = {0, WhiteWon, BlackWon, Drawn};
    std::mt19937           random(7);
    std::vector<GameEntry> games(count);
    std::uint32_t          number = 0;
    for (GameEntry& e : games) {
        std::snprintf(e.white, sizeof e.white, "%s %u", names[random() % 8], unsigned(random() % 1000));
        std::snprintf(e.black, sizeof e.black, "%s %u", names[random() % 8], unsigned(random() % 1000));
        e.info   = static_cast<std::uint16_t>((random() % 501) | results[random() % 4] | Matched);
        e.moves  = static_cast<std::uint16_t>(random() % 120);
        e.year   = static_cast<std::int16_t>(1850 + random() % 175);
        e.number = number++;
    }
    return games;
}
