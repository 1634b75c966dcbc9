#include "cli/analyseengine.h"

std::vector<EngineSetting> analysisPreferences() {
    return {{"OwnBook", "false"}, {"UCI_AnalyseMode", "true"}};
}

bool runAnalysis(const AnalyseRequest& request, AnalyseResult& result, std::string& error) {
    result = AnalyseResult{};
    EngineSpec spec;
    spec.program   = request.program;
    spec.args      = request.args;
    spec.title     = request.title;
    spec.settings  = request.settings;
    spec.preferred = analysisPreferences();
    spec.multiPv   = request.multiPv;
    EngineSession      session;
    EngineSearchResult found;
    if (!session.open(spec, error) || !session.search(request.fen, request.moves, request.limits,
                                                      request.searchWaitMs, true, found, error))
        return false;
    session.close();
    result.lines        = found.lines;
    result.bestMove     = found.bestMove;
    result.stoppedEarly = found.stoppedEarly;
    return true;
}
