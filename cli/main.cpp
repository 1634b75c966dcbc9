// norvane-cli: the command-line companion for scripts, tests and other chess programs.
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "engine/attacks.h"

namespace {

struct Subcommand {
    const char* name;
    int (*run)(const Arguments&);
    const char* usage;
};

constexpr Subcommand subcommands[] = {
    {"perft", runPerft, "perft DEPTH [--fen FEN] [--divide]"},
    {"position", runPosition, "position [--fen FEN] [MOVE ...]"},
    {"index", runIndex, "index FILE"},
    {"search", runSearch,
     "search FILE [--name S] [--eco CODE] [--from Y] [--to Y] [--result R,...] [--position \"MOVE ...\"]"},
    {"info", runInfo, "info FILE"},
    {"game", runGame, "game FILE N"},
    {"tree", runTree, "tree FILE [--position \"MOVE ...\"]"},
    {"book", runBook, "book build OUT PGN... [--plies N]"},
    {"think", runThink, "think [--fen FEN] [MOVE ...] [--time-ms N] [--book FILE]"},
    {"bench", runBench, "bench"},
    {"uci", runUci, "uci"},
};

int usage() {
    std::cerr << "usage: norvane-cli SUBCOMMAND ...\n";
    for (const Subcommand& s : subcommands) std::cerr << "  norvane-cli " << s.usage << '\n';
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string name = argv[1];
    for (const Subcommand& s : subcommands)
        if (name == s.name) {
            initEngine();
            return s.run(Arguments(argv + 2, argv + argc));
        }
    fail("unknown subcommand: " + name);
    return usage();
}
