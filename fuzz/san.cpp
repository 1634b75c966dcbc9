// sanToMove on any token in a few positions: what it reads is legal, and writing that move
// reads back as the same move.
#include <cstdint>
#include <cstring>

#include "engine/fensetup.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "fuzz_common.h"
#include "records/san.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const positions[] = {
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq -",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
        "4k3/8/8/R7/8/Q7/8/Q1Q1K3 w - -",
        "rnbqkb1r/pp1p1ppp/5n2/2pPp3/8/8/PPP1PPPP/RNBQKBNR w KQkq e6",
    };
    if (size == 0) return 0;
    char error[64];
    FUZZ_CHECK(setupFromFen(positions[data[0] % 6], error, sizeof error));
    const char* token = reinterpret_cast<const char*>(data + 1);
    const int   last  = static_cast<int>(size) - 2;
    if (last < 0) return 0;
    const Board before = board;
    Move        move{};
    const bool  read = sanToMove(token, last, &move);
    FUZZ_CHECK(board == before);
    FUZZ_CHECK(!read || last < 8);
    if (!read) return 0;

    Move  legal[MaxMovesPerPly];
    Move* end   = genLegalMoves(legal);
    bool  found = false;
    for (Move* m = legal; m != end; ++m)
        found =
            found || (m->fromTo == move.fromTo && m->flags == move.flags && m->piece == move.piece);
    FUZZ_CHECK(found);
    char san[8];
    FUZZ_CHECK(moveToSan(move, san));
    Move back{};
    FUZZ_CHECK(sanToMove(san, static_cast<int>(std::strlen(san)) - 1, &back));
    FUZZ_CHECK(back.fromTo == move.fromTo && back.flags == move.flags);
    FUZZ_CHECK(board == before);
    return 0;
}
