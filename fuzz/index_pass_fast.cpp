// The fast index and search passes against the grammar's own machine on any text: the same hook calls, the
// same answers and the same machine after every piece. The first byte picks how the hooks answer
// (0: they accept everything, 255: refuse every move token, 254: every game end, 253: stop
// after every game, else some of each); in the rest, each zero byte cuts the text there (the
// grammar never sees zero bytes: the file reader splits the text at them).
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "tests/common/indexpasslog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned           answers = data[0] == 255   ? RefuseMoveTokens
                                       : data[0] == 254 ? RefuseGameEnds
                                       : data[0] == 253 ? StopEveryGame
                                                        : data[0];
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
    FUZZ_CHECK(passLog<IndexPass>(false, text, cuts, answers) ==
               passLog<IndexPass>(true, text, cuts, answers));
    FUZZ_CHECK(passLog<SearchPass>(false, text, cuts, answers) ==
               passLog<SearchPass>(true, text, cuts, answers));
    return 0;
}
