// BoardKeeper: puts the thread's Board back as it was when the scope ends, for code that sets
// up and plays through other positions on the way (reading an engine's line, explaining a move).
#pragma once

#include "engine/board.h"

class BoardKeeper {
public:
    BoardKeeper() : m_saved(board) {}
    ~BoardKeeper() { board = m_saved; }
    BoardKeeper(const BoardKeeper&)            = delete;
    BoardKeeper& operator=(const BoardKeeper&) = delete;

private:
    Board m_saved;
};
