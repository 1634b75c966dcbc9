#include "cli/common.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "engine/board.h"
#include "engine/coords.h"
#include "engine/fensetup.h"
#include "book/book.h"
#include "book/bookpath.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "records/game.h"
#include "records/san.h"

int fail(const std::string& message) {
    std::cerr << "norvane-cli: " << message << '\n';
    return 2;
}

bool startPosition(const std::string& fen, std::string& error) {
    if (fen.empty()) {
        setupStartPosition();
    } else {
        char reason[256];
        if (!setupFromFen(fen.c_str(), reason, sizeof reason)) {
            error = "bad FEN: " + std::string(reason);
            return false;
        }
    }
    gameMoves[0] = Move{};
    gamePly      = 0;
    return true;
}

bool playMoves(const std::vector<std::string>& tokens, std::string& error) {
    for (const std::string& token : tokens) {
        Move move{};
        // Coordinate form first: "e2e4" is no SAN, and where both read they name one move.
        if (!coordsToMove(token.c_str(), &move) &&
            !sanToMove(token.c_str(), static_cast<int>(token.size()) - 1, &move)) {
            error = "illegal or unreadable move: " + token;
            return false;
        }
        if (gamePly + 1 >= MaxGameMoves) {
            error = "too many moves: a game holds at most " + std::to_string(MaxGameMoves - 1);
            return false;
        }
        makeMove(move);
        gameMoves[gamePly++] = move;
        gameMoves[gamePly]   = Move{};
    }
    return true;
}

std::vector<std::string> splitMoves(const std::string& line) {
    std::vector<std::string> moves;
    std::size_t              start = 0;
    while ((start = line.find_first_not_of(" \t", start)) != std::string::npos) {
        const std::size_t stop = line.find_first_of(" \t", start);
        moves.push_back(line.substr(start, stop - start));
        start = stop;
    }
    return moves;
}

bool readNumber(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty() || text.size() > 18) return false;
    long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    if (n < low || n > high) return false;
    value = n;
    return true;
}

std::string hexKey(std::uint64_t key) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(key));
    return text;
}

std::string programDirectory() {
    char          path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "";
    const std::string full(path, static_cast<std::size_t>(n));
    const std::size_t slash = full.rfind('/');
    return slash == std::string::npos ? "" : full.substr(0, slash + 1);
}

void useBookBesideProgram() { setBookPath(shippedBookPath(programDirectory()).c_str()); }

Move playableMove(const Move& chosen) {
    if (chosen.fromTo != 0) return chosen;
    Move        moves[MaxMovesPerPly];
    const Move* end = genLegalMoves(moves);
    return end != moves ? moves[0] : Move{};
}
