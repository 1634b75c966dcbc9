#include "app/analysissettings.h"

#include <QSettings>

#include <algorithm>

namespace {

const char* const LinesKey = "Analysis/Lines";

} // namespace

int analysisLineCount() {
    const QSettings store;
    bool            number = false;
    const int       count  = store.value(LinesKey).toInt(&number);
    return number ? std::clamp(count, MinAnalysisLines, MaxAnalysisLines) : DefaultAnalysisLines;
}

void setAnalysisLineCount(int count) {
    QSettings store;
    store.setValue(LinesKey, std::clamp(count, MinAnalysisLines, MaxAnalysisLines));
}
