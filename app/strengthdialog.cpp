#include "app/strengthdialog.h"

#include <QLabel>
#include <QLayout>
#include <QSettings>

#include <array>
#include <string>

#include "engine/strength.h"
#include "resources/enginetexts.h"

namespace {

const char* const StrengthKey = "EngineStrength";

static_assert(std::size(EngineText::Levels) == StrengthLevelCount);

// The radio labels: each level's name with its rating.
struct LevelLabels {
    std::array<std::string, StrengthLevelCount> texts;
    std::array<const char*, StrengthLevelCount> pointers;
    LevelLabels() {
        for (int i = 0; i < StrengthLevelCount; ++i) {
            texts[i]    = QString::fromUtf8(EngineText::Levels[i])
                           .arg(strengthLevels[i].elo)
                           .toStdString();
            pointers[i] = texts[i].c_str();
        }
    }
};

} // namespace

int storedStrengthLevel() {
    bool      ok    = false;
    const int level = QSettings().value(StrengthKey, FullStrength).toInt(&ok);
    return ok && level >= BeginnerStrength && level <= FullStrength ? level : FullStrength;
}

void storeStrengthLevel(int level) { QSettings().setValue(StrengthKey, level); }

CStrengthDialog::CStrengthDialog(int level, QWidget* parent)
    : CChoiceDialog(EngineText::Title, LevelLabels().pointers.data(), StrengthLevelCount, level,
                    parent) {
    auto* explanation = new QLabel(QString::fromUtf8(EngineText::Explanation), this);
    explanation->setWordWrap(true);
    if (auto* column = qobject_cast<QVBoxLayout*>(layout())) column->insertWidget(0, explanation);
}
