#include "records/gameindex.h"

#include "engine/attacks.h"

void setPositionCriterion(SearchFilter& filter) {
    filter.positionKey              = board.hashKey;
    filter.positionMen              = popCount(board.occupied());
    filter.positionHomePawns[White] = board.pieceBits[White][Pawn] & 0x000000000000FF00;
    filter.positionHomePawns[Black] = board.pieceBits[Black][Pawn] & 0x00FF000000000000;
}

SearchFilter emptyFilter() {
    SearchFilter filter{};
    filter.eco     = NoEco;
    filter.ecoFrom = NoEco;
    filter.ecoTo   = NoEco;
    return filter;
}

bool filterIsEmpty(const SearchFilter& filter) {
    return filter.name[0] == '\0' && filter.eco == NoEco && filter.positionKey == 0 &&
           filter.resultMask == 0 && filter.yearFrom == 0 && filter.yearTo == 0 &&
           filter.eloMin == 0 && filter.eloMax == 0 && filter.event[0] == '\0' &&
           filter.site[0] == '\0' && filter.dateFrom == 0 && filter.dateTo == 0 &&
           filter.ecoFrom == NoEco && filter.movesMin == 0 && filter.movesMax == 0;
}
