#include "app/openingnamesetting.h"

#include <QSettings>

#include "app/commands.h"
#include "app/norvanedoc.h"

namespace {

const char* const LanguageKey      = "OpeningNames/Language";      // "en" or "ja"
const char* const KeepLastNamedKey = "OpeningNames/KeepLastNamed"; // true or false

void changeSetting(CNorvaneDoc* doc, const OpeningNameSettings& settings) {
    doc->m_openingNames = settings;
    SaveOpeningNameSettings(settings);
    doc->UpdateAllViews(nullptr, HintOpeningNames);
}

} // namespace

OpeningNameSettings LoadOpeningNameSettings() {
    const QSettings     store;
    OpeningNameSettings settings;
    if (store.value(LanguageKey).toString() == "ja") settings.language = NamesJapanese;
    settings.keepLastNamed = store.value(KeepLastNamedKey, false).toBool();
    return settings;
}

void SaveOpeningNameSettings(const OpeningNameSettings& settings) {
    QSettings store;
    store.setValue(LanguageKey, settings.language == NamesJapanese ? "ja" : "en");
    store.setValue(KeepLastNamedKey, settings.keepLastNamed);
}

void AddOpeningNameCommands(CCommandTable& table, CNorvaneDoc* doc) {
    for (const int language : {NamesEnglish, NamesJapanese})
        table.Add(
            language == NamesEnglish ? CmdNamesEnglish : CmdNamesJapanese,
            [doc, language] {
                OpeningNameSettings settings = doc->m_openingNames;
                settings.language            = language;
                changeSetting(doc, settings);
            },
            {}, [doc, language] { return doc->m_openingNames.language == language; });
    table.Add(
        CmdKeepLastOpening,
        [doc] {
            OpeningNameSettings settings = doc->m_openingNames;
            settings.keepLastNamed       = !settings.keepLastNamed;
            changeSetting(doc, settings);
        },
        {}, [doc] { return doc->m_openingNames.keepLastNamed; });
}
