// Shared pieces of the command-line companion's subcommands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/board.h"

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

// The words of a line of moves, split at spaces and tabs.
std::vector<std::string> splitMoves(const std::string& line);

// Reads a whole decimal number in [low, high].
bool readNumber(const std::string& text, long long low, long long high, long long& value);

// "0x" and 16 hex digits.
std::string hexKey(std::uint64_t key);

// The directory of the running norvane-cli, ending with a slash; empty when unknown.
std::string programDirectory();

// Points the book at the shipped book.dat: beside the program, else in the installed data
// folder.
void useBookBesideProgram();

// The move to play for the side to move: chosen when it holds one, else the first legal
// move (when the engine gave up or found none in time), else a zero record (no legal move).
Move playableMove(const Move& chosen);
