// norvane-cli: the command-line companion for scripts, tests and other chess programs.
#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "cli/commands.h"
#include "cli/output.h"
#include "engine/attacks.h"

namespace {

void printUsage(std::ostream& out, const Subcommand& s) {
    out << "  norvane-cli " << s.name << (*s.usage ? " " : "") << s.usage << '\n'
        << "      " << s.summary << '\n';
}

void printHelp(std::ostream& out) {
    out << "usage: norvane-cli SUBCOMMAND [ARGUMENT ...]\n"
           "       norvane-cli help SUBCOMMAND | --help | --version\n"
           "Errors go to standard error with exit status 2.\n\n";
    for (const Subcommand& s : allSubcommands()) printUsage(out, s);
}

// help, --help, --version and SUBCOMMAND --help; -1 when the arguments ask for none of them.
int answerHelp(const Arguments& args) {
    const std::string& first = args[0];
    if (first == "--version") {
        std::cout << "norvane-cli " << NORVANE_VERSION << '\n';
        return 0;
    }
    if (first == "--help" || (first == "help" && args.size() == 1)) {
        printHelp(std::cout);
        return 0;
    }
    std::string topic;
    if (first == "help") {
        if (args.size() > 2) return usageError("help", "takes one subcommand");
        topic = args[1];
    } else if (findSubcommand(first)) {
        for (const std::string& arg : args) {
            if (arg == "--") break;
            if (arg == "--help") topic = first;
        }
        if (topic.empty()) return -1;
    } else {
        return -1;
    }
    const Subcommand* s = findSubcommand(topic);
    if (!s) return fail("help: unknown subcommand: " + topic);
    std::cout << "usage:\n";
    printUsage(std::cout, *s);
    if (*s->details) std::cout << '\n' << s->details;
    return 0;
}

int run(const Arguments& args) {
    if (args.empty()) {
        printHelp(std::cerr);
        return 2;
    }
    const int help = answerHelp(args);
    if (help >= 0) return help;
    const Subcommand* s = findSubcommand(args[0]);
    if (!s) {
        fail("unknown subcommand: " + args[0]);
        std::cerr << "norvane-cli --help lists the subcommands\n";
        return 2;
    }
    initEngine();
    return s->run(Arguments(args.begin() + 1, args.end()));
}

}  // namespace

int main(int argc, char** argv) {
    guardStandardStreams();
    try {
        return finishOutput(run(Arguments(argv + 1, argv + argc)));
    } catch (const std::bad_alloc&) {
        return fail("out of memory");
    } catch (const std::exception& e) {
        return fail(std::string("internal error: ") + e.what());
    }
}
