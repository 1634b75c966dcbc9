// book build OUT PGN... [--plies N]: compiles a book.dat from the first plies of the games.
#include <iostream>

#include "book/bookbuild.h"
#include "cli/commands.h"
#include "records/pgnread.h"

namespace {

constexpr long long DefaultPlies = 20;

// Adds every game of one file; answers false (with the reason) when the file will not index.
bool addFile(const std::string& path, int plies, BookCollection& book, long long& games,
             long long& unreadable, std::string& error) {
    BufferedFile file;
    if (!file.open(path.c_str())) {
        error = "cannot open " + path;
        return false;
    }
    FileInfo               info{};
    std::vector<GameEntry> entries;
    ScanFailure            failure{};
    if (!scanPgnFile(file, info, entries, IndexMode, nullptr, nullptr, &failure)) {
        error = path + ": " + scanFailureMessage(failure);
        return false;
    }
    std::string text;
    for (const GameEntry& entry : entries) {
        // Games that do not replay from the initial position (set-ups, broken moves) add nothing.
        if (readGameText(file, &entry, text) == 0 || !parseGameText(text.data(), text.size()) ||
            gameHeader.fen[0]) {
            ++unreadable;
            continue;
        }
        addGameToBook(book, gameMoves, MaxGameMoves, plies);
        ++games;
    }
    return true;
}

}  // namespace

int runBook(const Arguments& args) {
    if (args.empty() || args[0] != "build") return fail("book: usage: book build OUT PGN... [--plies N]");
    std::string              out;
    std::vector<std::string> inputs;
    long long                plies = DefaultPlies;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--plies") {
            if (i + 1 == args.size() || !readNumber(args[++i], 1, MaxGameMoves, plies))
                return fail("book: --plies needs a number from 1 to " + std::to_string(MaxGameMoves));
        } else if (args[i].rfind("--", 0) == 0) {
            return fail("book: unknown option: " + args[i]);
        } else if (out.empty()) {
            out = args[i];
        } else {
            inputs.push_back(args[i]);
        }
    }
    if (out.empty() || inputs.empty()) return fail("book: usage: book build OUT PGN... [--plies N]");

    BookCollection book;
    long long      games = 0, unreadable = 0;
    std::string    error;
    for (const std::string& input : inputs)
        if (!addFile(input, static_cast<int>(plies), book, games, unreadable, error)) return fail("book: " + error);

    const BookWriteResult result = writeBook(book, out.c_str());
    if (!result.ok) return fail("book: " + result.error);
    std::cout << "games " << games << '\n';
    std::cout << "unreadable " << unreadable << '\n';
    std::cout << "skipped " << result.skipped << '\n';
    std::cout << "positions " << result.positions << '\n';
    return 0;
}
