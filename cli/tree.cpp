// tree: the opening explorer of a file, for the position after the given moves.
#include <cstdio>
#include <string>
#include <vector>

#include "book/namedline.h"
#include "cli/commands.h"
#include "cli/filekind.h"
#include "cli/openingnames.h"
#include "cli/options.h"
#include "cli/positionoptions.h"
#include "cli/threadsoption.h"
#include "records/bufferedfile.h"
#include "records/openingtree.h"

namespace {

long long percent(std::uint32_t part, std::uint32_t whole) {
    return whole ? (part * 200LL + whole) / (2LL * whole) : 0;
}

} // namespace

int runTree(const Arguments& args) {
    ParsedArguments     parsed;
    OpeningNameSettings names;
    std::string         error;
    if (!parseFileArguments(args, {PositionOption, NamesOption, LastNamedOption}, parsed, error) ||
        !readOpeningNameOptions(parsed, names, error))
        return usageError("tree", error);
    if (parsed.operands.size() != 1) return usageError("tree", "takes one FILE");
    const std::string& path = parsed.operands[0];
    // The moves are checked before the file is read.
    if (!setUpNamedPosition(parsed, error)) return fail("tree: " + error);

    // Opened here, so that a file that cannot be is named with the reason; the tree reads it.
    BufferedFile file;
    if (!file.open(path.c_str())) return fail("tree: " + cannotOpenText(path, file));
    OpeningTree tree;
    if (!tree.build(file)) {
        if (tree.outcome() == TreeBuild::FileChanged)
            return fail("tree: " + path + " changed on disk while it was read; run the command again");
        return fail("tree: cannot read " + path);
    }
    if (tree.gameCount() == 0)
        return fail("tree: " + path + " holds no game that can be read");

    const TreeAnswer answer = tree.answer();
    std::string      out;
    for (const TreeMoveRow& row : answer.moves) {
        const std::string name = explorerOpeningText(row.opening, row.openingOwn, names);
        out += std::string(row.san) + '\t' + std::to_string(row.count) + '\t' +
               std::to_string(percent(row.whiteWins, row.count)) + '\t' +
               std::to_string(percent(row.draws, row.count)) + '\t' +
               std::to_string(percent(row.blackWins, row.count)) + '\t' +
               (row.lastYear ? std::to_string(row.lastYear) : "-") + '\t' +
               (name.empty() ? "-" : name) + '\n';
    }
    out += "positions " + std::to_string(answer.games) + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
