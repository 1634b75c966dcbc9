// book build OUT PGN... [--plies N]: compiles a book.dat from the first plies of the games.
#include <iostream>

#include "book/bookbuild.h"
#include "cli/bookoutput.h"
#include "cli/filekind.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/threadsoption.h"
#include "cli/recordmessages.h"
#include "records/indexpass.h"
#include "records/pgnread.h"

namespace {

constexpr long long DefaultPlies = 20;

// Adds every game of one file; answers false (with the reason) when the file will not index.
bool addFile(const std::string& path, int plies, BookCollection& book, long long& games,
             long long& unreadable, std::string& error) {
    BufferedFile file;
    if (!file.open(path.c_str())) {
        error = cannotOpenText(path, file);
        return false;
    }
    FileInfo               info{};
    std::vector<GameEntry> entries;
    PlayerNames            names;
    ScanFailure            failure{};
    if (!indexFile(file, info, entries, names, &failure)) {
        error = path + " is not a valid PGN file: " + fileProblemText(failure);
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
    if (!file.unchanged()) {
        error = path + " changed on disk while it was read";
        return false;
    }
    return true;
}

}  // namespace

int runBook(const Arguments& args) {
    ParsedArguments parsed;
    std::string     error;
    if (!parseFileArguments(args, {{"--plies", true}}, parsed, error))
        return usageError("book", error);
    if (parsed.operands.size() < 3 || parsed.operands[0] != "build")
        return usageError("book", "needs build, the book to write and at least one PGN file");
    long long plies = DefaultPlies;
    if (parsed.has("--plies") && !readNumber(parsed.value("--plies"), 1, MaxGameMoves, plies))
        return usageError("book", "--plies needs a number from 1 to " + std::to_string(MaxGameMoves));
    const std::string              out = parsed.operands[1];
    const std::vector<std::string> inputs(parsed.operands.begin() + 2, parsed.operands.end());

    // Checked before the inputs are read, and again just before the book replaces OUT.
    if (!mayReplaceWithBook(out, inputs, error)) return fail("book: " + error);

    BookCollection book;
    long long      games = 0, unreadable = 0;
    for (const std::string& input : inputs)
        if (!addFile(input, static_cast<int>(plies), book, games, unreadable, error)) return fail("book: " + error);

    // A book of nothing would replace a good one with an empty table: refuse it.
    if (book.positions.empty())
        return fail("book: the input gives no position (" + std::to_string(games) + " games, " +
                    std::to_string(unreadable) + " unreadable); " + out + " is left as it was");
    if (!mayReplaceWithBook(out, inputs, error)) return fail("book: " + error);
    const BookWriteResult result = writeBook(book, out.c_str());
    if (!result.ok) return fail("book: " + result.error);
    std::cout << "games " << games << '\n';
    std::cout << "unreadable " << unreadable << '\n';
    std::cout << "skipped " << result.skipped << '\n';
    std::cout << "positions " << result.positions << '\n';
    return 0;
}
