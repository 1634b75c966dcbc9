// tree: the opening explorer of a file, for the position after the given moves.
#include <cstdio>
#include <string>
#include <vector>

#include "book/openings.h"
#include "cli/commands.h"
#include "records/openingtree.h"

namespace {

long long percent(std::uint32_t part, std::uint32_t whole) {
    return whole ? (part * 200LL + whole) / (2LL * whole) : 0;
}

} // namespace

int runTree(const Arguments& args) {
    const char* usage = "tree: usage: tree FILE [--position \"MOVE ...\"]";
    if (args.size() != 1 && !(args.size() == 3 && args[1] == "--position")) return fail(usage);
    std::string error;
    if (!startPosition("", error)) return fail("tree: " + error);
    // The moves are checked before the file is read.
    if (args.size() == 3 && !playMoves(splitMoves(args[2]), error))
        return fail("tree: --position: " + error);

    OpeningTree tree;
    if (!tree.start(args[0].c_str())) return fail("tree: cannot open " + args[0]);
    while (tree.step(16)) {
    }
    if (!tree.complete())
        return fail("tree: " + args[0] + " is not a valid PGN file (stopped at byte " +
                    std::to_string(tree.bytesRead()) + ")");

    const TreeAnswer answer = tree.answer();
    std::string      out;
    for (const TreeMoveRow& row : answer.moves) {
        const char* name = openingName(row.opening);
        out += std::string(row.san) + '\t' + std::to_string(row.count) + '\t' +
               std::to_string(percent(row.whiteWins, row.count)) + '\t' +
               std::to_string(percent(row.draws, row.count)) + '\t' +
               std::to_string(percent(row.blackWins, row.count)) + '\t' +
               (row.lastYear ? std::to_string(row.lastYear) : "-") + '\t' + (*name ? name : "-") +
               '\n';
    }
    out += "positions " + std::to_string(answer.games) + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
