// The current game: its header, its moves and how many of them are made on the Board (its
// comments and side lines: records/annotations.h).
#pragma once

#include <cstdint>

#include "engine/board.h"

inline constexpr int MaxGameMoves = 512;

// The game information word, shared by the current game and the game index:
// bits 0-8 ECO index 0-499 or NoEco, then the result bits (none of them: unfinished, "*").
inline constexpr int NoEco      = 500;
inline constexpr int EcoMask    = 0x1FF;
inline constexpr int WhiteWon   = 0x200;
inline constexpr int BlackWon   = 0x400;
inline constexpr int Drawn      = 0x800;
inline constexpr int ResultMask = 0xE00;
inline constexpr int Unreadable = 0x1000; // the search pass could not read a move of the game
inline constexpr int Matched    = 0x2000; // the game index entry meets the last search

inline constexpr int TagFieldSize  = 256; // 255 characters and the terminating zero
inline constexpr int OtherTagsSize = 2048;

struct GameHeader {
    char event[TagFieldSize];
    char site[TagFieldSize];
    char date[TagFieldSize];
    char round[TagFieldSize];
    char white[TagFieldSize];
    char black[TagFieldSize];
    // The FEN tag of a game that starts from a set-up position; empty: the initial position.
    char fen[TagFieldSize];
    // Every other tag pair, in file order, each as a complete line: [Name "value"] and LF.
    char          otherTags[OtherTagsSize];
    std::uint16_t info;
};

// The current game's tags and information word.
extern GameHeader gameHeader;
// The game's moves in order; the first record whose piece is 0 ends the list.
extern Move gameMoves[MaxGameMoves];
// How many of gameMoves are made on the Board (the position shown).
extern std::int32_t gamePly;

// An empty game: no tags, no ECO code, no result, no moves, the Board at the start.
void clearGame();

// setupStartPosition, keeping the current game's move list whole (setupStartPosition ends it
// at its first record, which would lose the game being read or written).
void setupStartKeepingMoves();

// The Board at the current game's start, keeping its move list whole: the position of
// gameHeader.fen, or the initial position when it is empty. False, with the Board at the
// initial position, when the FEN cannot be set up.
bool setupGameStart();

// The Board at the position of fen (the initial position when it is empty), keeping the
// current game's move list whole. False, with the Board at the initial position, when the
// FEN cannot be set up.
bool setupStartFrom(const char* fen);

// Where the current game's move numbers begin: the number of its first move, whether Black
// makes it, and the half-move clock there. From gameHeader.fen's side and counters (absent
// counters: 0 and 1); the initial position gives 1, White, 0.
struct GameStart {
    int  moveNumber;
    int  halfMoveClock;
    bool blackFirst;
};
GameStart gameStart();
// The same from any FEN text.
GameStart gameStartOf(const char* fen);

// Is a Variant tag's value standard chess ("Standard", "chess", "normal", "From Position",
// any case, or empty)? Games of other variants (Chess960 among them) are not replayed.
bool standardVariant(const char* value);

// The ECO index of "A00".."E99" at text (further characters ignored), or NoEco.
int ecoIndexOf(const char* text, int length);
