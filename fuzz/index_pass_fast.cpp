// The fast index pass against the grammar's own machine on any text: the same hook calls, the
// same answers and the same machine after every piece. The first byte picks which move tokens
// and game ends the hooks refuse (0: none); in the rest, each zero byte cuts the text there
// (the grammar never sees zero bytes: the file reader splits the text at them).
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "tests/common/indexpasslog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned           refusalSeed = data[0];
    std::string              text;
    std::vector<std::size_t> cuts;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] != 0)
            text += static_cast<char>(data[i]);
        else if (cuts.empty() || cuts.back() != text.size())
            cuts.push_back(text.size());
    }
    if (!cuts.empty() && cuts.back() == text.size()) cuts.pop_back();
    if (!cuts.empty() && cuts.front() == 0) cuts.erase(cuts.begin());
    FUZZ_CHECK(indexPassLog(false, text, cuts, refusalSeed) ==
               indexPassLog(true, text, cuts, refusalSeed));
    return 0;
}
