// The desktop's wording of what went wrong with an engine: one sentence per kind of failure,
// naming the engine, for the message box or the analysis pane.
#pragma once

#include <QString>

#include "uci/uciclient.h"

QString engineErrorText(const QString& engineName, const UciError& error);
