// Shared pieces of the command-line companion's subcommands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Prints "norvane-cli: message" on standard error and answers the error exit status 2.
int fail(const std::string& message);

// The arguments of one subcommand, after its name.
using Arguments = std::vector<std::string>;

// Sets the Board to the start position, or to fen when it is not empty; clears the game.
// On a bad FEN writes the reason into error and answers false.
bool startPosition(const std::string& fen, std::string& error);

// Plays move tokens, SAN ("Nf3", "exd8=Q+") or coordinate form ("g1f3", "e7e8q"), on the
// Board as the current game's moves. On an illegal or unreadable
// token writes the reason into error and answers false.
bool playMoves(const std::vector<std::string>& tokens, std::string& error);

// Reads a whole decimal number in [low, high].
bool readNumber(const std::string& text, long long low, long long high, long long& value);

// "0x" and 16 hex digits.
std::string hexKey(std::uint64_t key);
