// libFuzzer target: setupFromFen on arbitrary text either refuses it with a reason and
// leaves the Board untouched, or sets up a Board whose move generation and perft run.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/attacks.h"
#include "engine/fensetup.h"
#include "engine/perft.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool initialised = (initEngine(), true);
    (void)initialised;
    setupStartPosition();
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Board       before = board;
    char              error[128];
    if (!setupFromFen(text.c_str(), error, sizeof error)) {
        if (!(board == before) || error[0] == '\0') __builtin_trap();
        return 0;
    }
    const Board set = board;
    perft(2);
    if (!(board == set)) __builtin_trap();
    return 0;
}
