// index, search, info and game: the game-collection side of the companion.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/filekind.h"
#include "cli/indexedfile.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/positionoptions.h"
#include "cli/threadsoption.h"
#include "engine/board.h"
#include "cli/recordmessages.h"
#include "records/fileplaces.h"
#include "records/gamefilter.h"
#include "records/gameindex.h"
#include "records/gamesearch.h"
#include "records/indexpass.h"
#include "records/pgnread.h"
#include "records/gametreewrite.h"
#include "records/pgnwrite.h"

namespace {

// Writes text to standard output in one piece.
void emit(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// Appends a cell of the index with TAB, CR, LF and backslash written as \t, \r, \n and \\,
// so that one game stays one row.
void appendEscaped(std::string& row, const char* cell) {
    for (; *cell; ++cell) {
        switch (*cell) {
            case '\t': row += "\\t"; break;
            case '\r': row += "\\r"; break;
            case '\n': row += "\\n"; break;
            case '\\': row += "\\\\"; break;
            default: row += *cell;
        }
    }
}

} // namespace

int runIndex(const Arguments& args) {
    ParsedArguments parsed;
    std::string     error;
    if (!parseFileArguments(args, {}, parsed, error))
        return usageError("index", error);
    if (parsed.operands.size() != 1) return usageError("index", "takes one FILE");
    IndexedFile indexed;
    int         status = 0;
    if (!openIndexed("index", parsed.operands[0], indexed, status)) return status;
    // Row by row: the output never builds up in memory, and a write error stops it at once.
    std::string row;
    char        cell[NameCellSize];
    for (const GameEntry& e : indexed.games) {
        row = std::to_string(e.number);
        for (int column :
             {ColumnWhite, ColumnBlack, ColumnResult, ColumnMoves, ColumnYear, ColumnEco}) {
            columnText(e, indexed.names, column, cell, sizeof cell);
            row += '\t';
            appendEscaped(row, cell);
        }
        row += '\t' + std::to_string(e.start()) + '\t' + std::to_string(e.end());
        // Later columns go after the first nine, which scripts read by their place.
        for (int column : {ColumnWhiteElo, ColumnBlackElo, ColumnDate, ColumnEvent, ColumnSite,
                           ColumnRound}) {
            columnText(e, indexed.names, column, cell, sizeof cell);
            row += '\t';
            appendEscaped(row, cell);
        }
        row += '\n';
        emit(row);
        if (outputFailed()) return 0;  // finishOutput reports it
    }
    emit("games " + std::to_string(indexed.games.size()) + '\n');
    return 0;
}

int runSearch(const Arguments& args) {
    ParsedArguments parsed;
    std::string     error;
    if (!parseFileArguments(args,
                            {{"--name", true}, {"--eco", true}, {"--from", true}, {"--to", true},
                             {"--result", true}, {"--side", true}, {"--elo-min", true},
                             {"--elo-max", true}, {"--elo-of", true}, {"--event", true},
                             {"--site", true}, {"--date-from", true}, {"--date-to", true},
                             {"--eco-range", true}, {"--moves-min", true}, {"--moves-max", true},
                             PositionOption, FenOption},
                            parsed, error))
        return usageError("search", error);
    if (parsed.operands.size() != 1) return usageError("search", "takes one FILE");
    const std::string& path = parsed.operands[0];
    SearchCriteria     criteria;
    bool               sideGiven = false, eloOfGiven = false;
    for (const auto& [option, value] : parsed.options) {
        long long number = 0;
        if (option == "--side") {
            if (value != "white" && value != "black" && value != "either")
                return usageError("search", "--side takes white, black or either");
            criteria.side = value == "white" ? WhiteSide : value == "black" ? BlackSide : EitherSide;
            sideGiven     = true;
        } else if (option == "--elo-min" || option == "--elo-max") {
            if (!readNumber(value, 1, 9999, number))
                return usageError("search", option + " takes a rating 1-9999");
            (option == "--elo-min" ? criteria.eloMin : criteria.eloMax) =
                static_cast<std::int32_t>(number);
        } else if (option == "--elo-of") {
            if (value != "either" && value != "both" && value != "player")
                return usageError("search", "--elo-of takes either, both or player");
            criteria.eloOf = value == "either" ? EitherRating
                             : value == "both" ? BothRatings
                                               : PlayerRating;
            eloOfGiven     = true;
        } else if (option == "--event" || option == "--site") {
            if (value.empty() || value.size() >= FilterTextSize)
                return usageError("search", option + " takes a text of 1 to 63 bytes");
            (option == "--event" ? criteria.event : criteria.site) = value;
        } else if (option == "--date-from" || option == "--date-to") {
            if (!readDateBound(value, option == "--date-to",
                               option == "--date-from" ? criteria.dateFrom : criteria.dateTo))
                return usageError("search", option + " takes a date YYYY.MM.DD, YYYY.MM or YYYY");
        } else if (option == "--eco-range") {
            if (!readEcoRange(value, criteria.ecoFrom, criteria.ecoTo))
                return usageError("search", "--eco-range takes two codes A00-E99, the first not after the second, as B90-B99");
        } else if (option == "--moves-min" || option == "--moves-max") {
            if (!readNumber(value, 1, 65535, number))
                return usageError("search", option + " takes a number of moves 1-65535");
            (option == "--moves-min" ? criteria.movesMin : criteria.movesMax) =
                static_cast<std::int32_t>(number);
        } else if (option == "--name") {
            if (value.size() >= FilterNameSize)
                return usageError("search", "--name holds at most 31 bytes");
            criteria.name = value;
        } else if (option == "--eco") {
            criteria.eco = ecoIndexOf(value.c_str(), static_cast<int>(value.size()));
            if (criteria.eco == NoEco || value.size() != 3)
                return usageError("search", "--eco takes a code A00-E99");
        } else if (option == "--from" || option == "--to") {
            if (!readNumber(value, 0, 10000, number))
                return usageError("search", option + " takes a year 0-10000");
            (option == "--from" ? criteria.yearFrom : criteria.yearTo) =
                static_cast<std::int32_t>(number);
        } else if (option == "--result") {
            std::size_t start = 0;
            while (start <= value.size()) {
                const std::size_t comma = value.find(',', start);
                const std::string r     = value.substr(
                        start, comma == std::string::npos ? std::string::npos : comma - start);
                if (r == "1-0")
                    criteria.resultMask |= WhiteWon;
                else if (r == "0-1")
                    criteria.resultMask |= BlackWon;
                else if (r == "1/2-1/2")
                    criteria.resultMask |= Drawn;
                else
                    return usageError("search", "--result takes 1-0, 0-1 and 1/2-1/2, separated by commas");
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
        }
    }
    if (criteria.yearTo && criteria.yearTo < criteria.yearFrom)
        return usageError("search", "--to is before --from");
    if (sideGiven && criteria.name.empty()) return usageError("search", "--side needs --name");
    if (criteria.eloMax && criteria.eloMax < criteria.eloMin)
        return usageError("search", "--elo-max is below --elo-min");
    if (eloOfGiven && !criteria.eloMin && !criteria.eloMax)
        return usageError("search", "--elo-of needs --elo-min or --elo-max");
    if (criteria.eloOf == PlayerRating && criteria.name.empty())
        return usageError("search", "--elo-of player needs --name");
    if (criteria.dateTo && criteria.dateTo < criteria.dateFrom)
        return usageError("search", "--date-to is before --date-from");
    if (criteria.movesMax && criteria.movesMax < criteria.movesMin)
        return usageError("search", "--moves-max is below --moves-min");
    if (namesPosition(parsed)) {
        if (!setUpNamedPosition(parsed, error)) return fail("search: " + error);
        criteria.position = true;
    }
    const SearchFilter filter = searchFilterOf(criteria);
    if (criteria.position) startPosition("", error);

    IndexedFile indexed;
    int         status = 0;
    if (!openIndexed("search", path, indexed, status)) return status;
    // No criterion at all: the list stays as the index pass left it, every game shown.
    if (!filterIsEmpty(filter)) {
        std::int64_t first = -1;
        ScanFailure  failure{};
        const bool   complete = collectMatches(indexed.file, indexed.games, indexed.names, filter,
                                               first, &failure);
        // A file cut short since the index pass fails the position pass: say why.
        if (filter.positionKey && !unchangedOnDisk("search", path, indexed, status)) return status;
        if (!complete)
            return fail("search: " + path + " could not be searched: " + fileProblemText(failure));
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
    ParsedArguments parsed;
    std::string     error;
    if (!parseFileArguments(args, {}, parsed, error))
        return usageError("info", error);
    if (parsed.operands.size() != 1) return usageError("info", "takes one FILE");
    IndexedFile indexed;
    int         status = 0;
    if (!openIndexed("info", parsed.operands[0], indexed, status)) return status;
    // A summary of nothing would be an empty output with success: an empty file, or one of
    // text without a game, is said to be so.
    if (indexed.games.empty()) return fail("info: " + parsed.operands[0] + " holds no game");
    emit(fileInfoText(indexed.info, parsed.operands[0].c_str()));
    return 0;
}

int runGame(const Arguments& args) {
    ParsedArguments parsed;
    std::string     error;
    if (!parseArguments(args, {{"--annotated", false}}, parsed, error)) return usageError("game", error);
    long long number = 0;
    if (parsed.operands.size() != 2 || !readNumber(parsed.operands[1], 0, 0xFFFFFFFFLL, number))
        return usageError("game", "takes a FILE and a game number N, counting from 0");
    const std::string& path = parsed.operands[0];
    const std::string& numberText = parsed.operands[1];
    IndexedFile indexed;
    int         status = 0;
    if (!openIndexed("game", path, indexed, status)) return status;
    if (number >= static_cast<long long>(indexed.games.size()))
        return fail("game: " + path + " holds " + std::to_string(indexed.games.size()) +
                    " games");
    std::string text;
    const std::size_t read = readGameText(indexed.file, &indexed.games[static_cast<std::size_t>(number)], text);
    if (!unchangedOnDisk("game", path, indexed, status)) return status;
    if (read == 0) return fail("game: cannot read game " + numberText);
    ParseOutcome outcome;
    if (parsed.has("--annotated")) {
        // The whole game: every tag, comment, glyph and side line.
        GameTree tree;
        if (!parseGameTree(text.c_str(), text.size(), tree, &outcome))
            return fail("game: game " + numberText + ": " + parseProblemText(outcome));
        emit(writeGameTree(tree));
        return 0;
    }
    if (!parseGameText(text.c_str(), text.size(), &outcome))
        return fail("game: game " + numberText + ": " + parseProblemText(outcome));
    std::vector<char> record(GameRecordSize);
    writeGameRecord(record.data(), record.size());
    setupStartPosition();
    emit(record.data());
    return 0;
}
