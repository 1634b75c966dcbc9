// index, search, info and game: the game-collection side of the companion.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "engine/board.h"
#include "records/gamefilter.h"
#include "records/gameindex.h"
#include "records/pgnread.h"
#include "records/pgnwrite.h"

namespace {

// An open file and its index, as the document holds them.
struct IndexedFile {
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
};

// Opens and indexes path; on failure prints the reason (for a file that is not valid PGN,
// the line and its text) and answers false.
bool openIndexed(const std::string& command, const std::string& path, IndexedFile& indexed,
                 int& status) {
    if (!indexed.file.open(path.c_str())) {
        status = fail(command + ": cannot open " + path);
        return false;
    }
    ScanFailure failure{};
    if (!scanPgnFile(indexed.file, indexed.info, indexed.games, IndexMode, nullptr, nullptr,
                     &failure)) {
        std::cerr << scanFailureMessage(failure);
        status = fail(command + ": " + path + " is not a valid PGN file (line " +
                      std::to_string(failure.line) + ")");
        return false;
    }
    indexed.info.fileSize = indexed.file.size();
    return true;
}

// Writes text to standard output in one piece.
void emit(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

} // namespace

int runIndex(const Arguments& args) {
    if (args.size() != 1) return fail("index: usage: index FILE");
    IndexedFile indexed;
    int         status = 0;
    if (!openIndexed("index", args[0], indexed, status)) return status;
    std::string out;
    out.reserve(indexed.games.size() * 64 + 32);
    char cell[64];
    for (const GameEntry& e : indexed.games) {
        out += std::to_string(e.number);
        for (int column :
             {ColumnWhite, ColumnBlack, ColumnResult, ColumnMoves, ColumnYear, ColumnEco}) {
            columnText(e, column, cell, sizeof cell);
            out += '\t';
            out += cell;
        }
        out += '\t' + std::to_string(e.start) + '\t' + std::to_string(e.end) + '\n';
    }
    out += "games " + std::to_string(indexed.games.size()) + '\n';
    emit(out);
    return 0;
}

int runSearch(const Arguments& args) {
    if (args.empty())
        return fail("search: usage: search FILE [--name S] [--eco CODE] [--from Y] "
                    "[--to Y] [--result R,...] [--position \"MOVE ...\"]");
    SearchFilter filter = emptyFilter();
    std::string  positionLine;
    bool         byPosition = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 == args.size()) return fail("search: " + option + " needs a value");
        const std::string& value  = args[++i];
        long long          number = 0;
        if (option == "--name") {
            if (value.size() >= sizeof filter.name)
                return fail("search: --name holds at most 31 bytes");
            value.copy(filter.name, value.size());
            filter.name[value.size()] = '\0';
        } else if (option == "--eco") {
            filter.eco = ecoIndexOf(value.c_str(), static_cast<int>(value.size()));
            if (filter.eco == NoEco || value.size() != 3)
                return fail("search: --eco takes a code A00-E99");
        } else if (option == "--from" || option == "--to") {
            if (!readNumber(value, 0, 10000, number))
                return fail("search: " + option + " takes a year 0-10000");
            (option == "--from" ? filter.yearFrom : filter.yearTo) =
                static_cast<std::int32_t>(number);
        } else if (option == "--result") {
            std::size_t start = 0;
            while (start <= value.size()) {
                const std::size_t comma = value.find(',', start);
                const std::string r     = value.substr(
                        start, comma == std::string::npos ? std::string::npos : comma - start);
                if (r == "1-0")
                    filter.resultMask |= WhiteWon;
                else if (r == "0-1")
                    filter.resultMask |= BlackWon;
                else if (r == "1/2-1/2")
                    filter.resultMask |= Drawn;
                else
                    return fail("search: --result takes 1-0, 0-1 and 1/2-1/2, separated by commas");
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
        } else if (option == "--position") {
            positionLine = value;
            byPosition   = true;
        } else {
            return fail("search: unknown option: " + option);
        }
    }
    if (filter.yearTo && filter.yearTo < filter.yearFrom)
        return fail("search: --to is before --from");
    if (byPosition) {
        std::string error;
        if (!startPosition("", error) || !playMoves(splitMoves(positionLine), error))
            return fail("search: --position: " + error);
        setPositionCriterion(filter);
        startPosition("", error);
    }

    IndexedFile indexed;
    int         status = 0;
    if (!openIndexed("search", args[0], indexed, status)) return status;
    // No criterion at all: the list stays as the index pass left it, every game shown.
    if (!filterIsEmpty(filter)) {
        std::int64_t first = -1;
        if (filter.positionKey) {
            ScanFailure failure{};
            if (!scanPgnFile(indexed.file, indexed.info, indexed.games, SearchMode, &filter, &first,
                             &failure)) {
                std::cerr << scanFailureMessage(failure);
                return fail("search: " + args[0] + " could not be searched (line " +
                            std::to_string(failure.line) + ")");
            }
        } else {
            filterGames(indexed.games, filter);
        }
    }
    std::string  out;
    std::int64_t matched = 0;
    for (const GameEntry& e : indexed.games)
        if (e.info & Matched) {
            out += std::to_string(e.number) + '\n';
            ++matched;
        }
    out += "matched " + std::to_string(matched) + '\n';
    emit(out);
    return 0;
}

int runInfo(const Arguments& args) {
    if (args.size() != 1) return fail("info: usage: info FILE");
    IndexedFile indexed;
    int         status = 0;
    if (!openIndexed("info", args[0], indexed, status)) return status;
    emit(fileInfoText(indexed.info, args[0].c_str()));
    return 0;
}

int runGame(const Arguments& args) {
    long long number = 0;
    if (args.size() != 2 || !readNumber(args[1], 0, 0xFFFFFFFFLL, number))
        return fail("game: usage: game FILE N (N counts from 0)");
    IndexedFile indexed;
    int         status = 0;
    if (!openIndexed("game", args[0], indexed, status)) return status;
    if (number >= static_cast<long long>(indexed.games.size()))
        return fail("game: " + args[0] + " holds " + std::to_string(indexed.games.size()) +
                    " games");
    std::string text;
    if (readGameText(indexed.file, &indexed.games[static_cast<std::size_t>(number)], text) == 0)
        return fail("game: cannot read game " + args[1]);
    if (!parseGameText(text.c_str(), text.size()))
        return fail("game: game " + args[1] + " holds a move that cannot be read");
    std::vector<char> record(GameRecordSize);
    writeGameRecord(record.data(), record.size());
    setupStartPosition();
    emit(record.data());
    return 0;
}
