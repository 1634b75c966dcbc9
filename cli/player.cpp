// player: a player's record in a collection, from its index.
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "cli/indexedfile.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/threadsoption.h"
#include "records/playerrecord.h"

namespace {

// The score in points from half points: "2", "2.5".
std::string points(int halfPoints) {
    return std::to_string(halfPoints / 2) + (halfPoints % 2 ? ".5" : "");
}

std::string scoreCells(const ScoreLine& s) {
    return std::to_string(s.games) + '\t' + std::to_string(s.wins) + '\t' +
           std::to_string(s.draws) + '\t' + std::to_string(s.losses) + '\t' +
           points(s.halfPoints());
}

std::string ecoCell(int eco) {
    if (eco >= NoEco) return "-";
    const char code[4] = {static_cast<char>('A' + eco / 100),
                          static_cast<char>('0' + eco % 100 / 10),
                          static_cast<char>('0' + eco % 10), 0};
    return code;
}

} // namespace

int runPlayer(const Arguments& args) {
    ParsedArguments parsed;
    std::string     error;
    if (!parseFileArguments(args, {}, parsed, error)) return usageError("player", error);
    if (parsed.operands.size() != 2) return usageError("player", "takes FILE and NAME");
    const std::string& path = parsed.operands[0];
    const std::string& name = parsed.operands[1];
    if (name.empty()) return usageError("player", "NAME is empty");
    IndexedFile indexed;
    int         status = 0;
    if (!openIndexed("player", path, indexed, status)) return status;

    const PlayerRecord record = playerRecord(indexed.games, indexed.names, name);
    if (record.player == 0) {
        // The names that hold the text, as a hint: the name must be given exactly.
        std::string message = "player: no player named exactly \"" + name + "\" in " + path;
        const auto  near    = playersMatching(indexed.games, indexed.names, name, 5);
        for (std::size_t i = 0; i < near.size(); ++i)
            message += (i == 0 ? "; names holding it: \"" : ", \"") +
                       std::string(indexed.names.name(near[i].name)) + "\" (" +
                       std::to_string(near[i].games) + ")";
        return fail(message);
    }
    std::string out;
    for (const auto& [side, lines] :
         {std::pair{"white", &record.whiteOpenings}, std::pair{"black", &record.blackOpenings}})
        for (const OpeningLine& line : *lines)
            out +=
                std::string(side) + '\t' + ecoCell(line.eco) + '\t' + scoreCells(line.score) + '\n';
    for (const YearLine& line : record.years)
        out += "year\t" + std::to_string(line.year) + '\t' + scoreCells(line.score) + '\n';
    out += "total\twhite\t" + scoreCells(record.asWhite) + '\n';
    out += "total\tblack\t" + scoreCells(record.asBlack) + '\n';
    out += "total\tall\t" + scoreCells(record.all) + '\n';
    for (const BeatenOpponent& beaten : record.beaten)
        out += "beaten\t" + std::string(indexed.names.name(beaten.name)) + '\t' +
               (beaten.rating ? std::to_string(beaten.rating) : std::string()) + '\t' +
               std::to_string(beaten.number) + '\n';
    out += "games " + std::to_string(record.all.games) + '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
