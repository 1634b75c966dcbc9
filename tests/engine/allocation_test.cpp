// The engine's inner loop allocates nothing: generators, make/unmake and the attack test
// run here under a counting global operator new.
#include <cstdlib>
#include <new>

#include "engine/movegen.h"
#include "engine/perft.h"
#include "engine_fixture.h"

namespace {
std::size_t allocations = 0;
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(Allocation, NoneInGenerationMakeUnmakeOrAttackTests) {
    setFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    const std::size_t before = allocations;
    Move              moves[512];
    Move* const       end = genCaptures(White, moves);
    for (Move* m = moves; m != end; ++m) {
        makeMove(*m);
        unmakeMove(*m);
    }
    EXPECT_EQ(perft(3), 97862u);
    genNonCaptures(White, moves);
    genEvasions(Black, moves);
    genMovesTo(White, moves, 36);
    Move m{};
    moveFromCoords(&m, White, 4 * 64 + 6);
    isAttacked(36, Black);
    mateStatus(White);
    EXPECT_EQ(allocations, before);
}
