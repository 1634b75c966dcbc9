// analyse [--engine PROGRAM] [--fen FEN] [MOVE ...] [--multipv N] [--depth D | --nodes N |
// --movetime MS] [--option NAME=VALUE ...]: one search by a UCI engine, its lines in SAN.
#include <algorithm>
#include <cctype>
#include <iostream>

#include "cli/analyseengine.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/searchlimits.h"
#include "engine/coords.h"
#include "records/fen.h"
#include "records/game.h"
#include "uci/pvsan.h"

namespace {

// Without a limit the search takes this long: any engine answers in the same time.
constexpr long long DefaultMovetimeMs = 3000;
// The most lines asked for; engines offer fewer or more, and say so in their option.
constexpr long long MaxMultiPv = 500;

// "score cp 31", "score mate -2", with the engine's bound after it.
std::string scoreText(const UciScore& score) {
    std::string text = score.kind == UciScore::Mate ? "score mate " : "score cp ";
    text += std::to_string(score.value);
    if (score.lowerbound) text += " lowerbound";
    if (score.upperbound) text += " upperbound";
    return text;
}

// "multipv 1 score cp 31 depth 18 pv Nf3 Nc6 d4": the line's moves in SAN as far as they are
// legal one after another; what the engine did not give is left out (but "pv", which ends the
// line with no moves when the position has none).
std::string lineText(int number, const UciInfo& info, const std::string& fen,
                     const std::vector<std::string>& moves) {
    std::string text = "multipv " + std::to_string(number);
    if (info.score) text.append(" ").append(scoreText(*info.score));
    if (info.depth) text.append(" depth ").append(std::to_string(*info.depth));
    text += " pv";
    SanLine line;
    if (pvToSan(fen, moves, info.pv, line))
        for (const std::string& san : line.san)
            text.append(" ").append(san);
    return text;
}

// Reads each "--option NAME=VALUE" (a bare NAME presses a button).
bool readSettings(const ParsedArguments& parsed, std::vector<EngineSetting>& settings,
                  std::string& error) {
    for (const auto& [option, text] : parsed.options) {
        if (option != "--option") continue;
        const std::size_t equals = text.find('=');
        EngineSetting     setting{text.substr(0, equals), std::nullopt};
        if (equals != std::string::npos) setting.value = text.substr(equals + 1);
        if (setting.name.find_first_not_of(' ') == std::string::npos) {
            error = "--option needs NAME=VALUE, or NAME alone for a button";
            return false;
        }
        const bool multiPv =
            setting.name.size() == 7 &&
            std::equal(setting.name.begin(), setting.name.end(), "MultiPV",
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); });
        if (multiPv && parsed.has("--multipv")) {
            error = "--multipv and --option MultiPV name the same setting: give one";
            return false;
        }
        settings.push_back(setting);
    }
    return true;
}

} // namespace

int runAnalyse(const Arguments& args) {
    ParsedArguments parsed;
    std::string     error;
    if (!parseArguments(args,
                        {{"--engine", true},
                         {"--fen", true},
                         {"--multipv", true},
                         {"--depth", true},
                         {"--nodes", true},
                         {"--movetime", true},
                         {"--option", true}},
                        parsed, error))
        return usageError("analyse", error);

    AnalyseRequest request;
    long long      waitMs = 0;
    if (!readSearchLimits(parsed, {SearchBudget::Movetime, DefaultMovetimeMs}, request.limits,
                          waitMs, error) ||
        !readSettings(parsed, request.settings, error))
        return usageError("analyse", error);
    request.searchWaitMs = waitMs;
    if (parsed.has("--multipv")) {
        long long lines = 0;
        if (!readNumber(parsed.value("--multipv"), 1, MaxMultiPv, lines))
            return usageError("analyse", "--multipv needs a number of lines from 1 to " +
                                             std::to_string(MaxMultiPv));
        request.multiPv = static_cast<int>(lines);
    }

    // The position is checked here, before any engine starts, and handed on as this program
    // writes it: the FEN it starts from and the moves in coordinate form.
    if (!startPosition(parsed.value("--fen"), error))
        return usageError("analyse", "--fen: " + error);
    char fen[256];
    boardToText(fen, sizeof fen);
    request.fen = fen;
    if (!playMoves(parsed.operands, error)) return usageError("analyse", error);
    for (int ply = 0; ply < gamePly; ++ply) {
        char text[8];
        moveToCoords(gameMoves[ply], text);
        request.moves.emplace_back(text);
    }

    if (parsed.has("--engine")) {
        const std::string name = parsed.value("--engine");
        request.program        = findEngineProgram(name);
        if (request.program.empty())
            return fail("analyse: no engine program \"" + name + "\" in PATH or /usr/games");
        request.title = "engine " + request.program;
    } else {
        request.program = ownProgramPath();
        if (request.program.empty())
            return fail("analyse: cannot find this program's own file to run its engine");
        request.args  = {"uci"};
        request.title = "the built-in engine";
    }

    AnalyseResult result;
    if (!runAnalysis(request, result, error)) return fail("analyse: " + error);
    if (result.stoppedEarly)
        std::cerr << "norvane-cli: analyse: the search did not end within "
                  << request.searchWaitMs / 1000 << " seconds and was stopped\n";
    for (const auto& [number, info] : result.lines)
        std::cout << lineText(number, info, request.fen, request.moves) << '\n';
    std::cout << "bestmove " << (result.bestMove.move.empty() ? "(none)" : result.bestMove.move)
              << '\n';
    return 0;
}
