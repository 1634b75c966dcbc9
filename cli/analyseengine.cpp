#include "cli/analyseengine.h"

std::vector<EngineSetting> analysisPreferences() {
    return {{"OwnBook", "false"}, {"UCI_AnalyseMode", "true"}};
}

bool runAnalysis(const AnalyseRequest& request, AnalyseResult& result, std::string& error) {
    result = AnalyseResult{};
    EngineSetup setup;
    setup.program   = request.program;
    setup.args      = request.args;
    setup.title     = request.title;
    setup.settings  = request.settings;
    setup.preferred = analysisPreferences();
    setup.multiPv   = request.multiPv;
    EngineSession      session;
    EngineSearchResult found;
    if (!session.open(setup, error) || !session.search(request.fen, request.moves, request.limits,
                                                       request.searchWaitMs, true, found, error))
        return false;
    session.close();
    result.lines        = found.lines;
    result.bestMove     = found.bestMove;
    result.stoppedEarly = found.stoppedEarly;
    return true;
}
