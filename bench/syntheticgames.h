// A game index of many varied games (players, results, lengths, years, ECO codes), the same
// every run, for the game-list benchmarks.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "records/gameindex.h"

struct SyntheticIndex {
    std::vector<GameEntry> games;
    PlayerNames            names;
};

inline SyntheticIndex syntheticGames(std::size_t count) {
    static const char* const names[] = {"Carlsen, Magnus", "Kasparov, Garry", "anand, v", "Tal, M",
                                        "Fischer, R", "Nakamura, Hikaru", "Caruana, F", "Ding, Liren"};
    static const int results[4] = {0, WhiteWon, BlackWon, Drawn};
    std::mt19937           random(7);
    SyntheticIndex         index;
    index.games.resize(count);
    std::uint32_t          number = 0;
    const auto player = [&] {
        return index.names.intern(std::string(names[random() % 8]) + " " + std::to_string(random() % 1000));
    };
    for (GameEntry& e : index.games) {
        e.white  = player();
        e.black  = player();
        e.info   = static_cast<std::uint16_t>((random() % 501) | results[random() % 4] | Matched);
        e.moves  = static_cast<std::uint16_t>(random() % 120);
        e.year   = static_cast<std::int16_t>(1850 + random() % 175);
        e.number = number++;
    }
    return index;
}
