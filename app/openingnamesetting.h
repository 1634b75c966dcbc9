// The 表示 menu's opening-name setting: English names (as always) or Japanese ones, and
// whether a position off the table keeps the name of the last named position of its line.
// The document holds it (m_openingNames); the settings store remembers it.
#pragma once

#include "book/openings.h"

class CCommandTable;
class CNorvaneDoc;

// The setting as last stored; the defaults when nothing was.
OpeningNameSettings LoadOpeningNameSettings();
void                SaveOpeningNameSettings(const OpeningNameSettings& settings);

// Adds the three commands (English names, Japanese names, keep the last name) to table. Each
// changes doc's setting, stores it, and tells the views (HintOpeningNames) to show names anew.
void AddOpeningNameCommands(CCommandTable& table, CNorvaneDoc* doc);
