#include "engine/search.h"

Move  moveStack[MaxPly][MaxMovesPerPly];
Move* moveListEnd[MaxPly];
int   searchPly;
