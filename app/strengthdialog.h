// "エンジンの強さ": the engine's playing level, one radio button per level with its estimated
// rating, and where the chosen level is kept between runs.
#pragma once

#include "app/dialogs.h"

// The level kept in the settings; full strength when none is kept or it is out of range.
int storedStrengthLevel();
void storeStrengthLevel(int level);

// m_choice: the level, 0 the beginner to FullStrength.
class CStrengthDialog : public CChoiceDialog {
    Q_OBJECT
public:
    explicit CStrengthDialog(int level, QWidget* parent = nullptr);
};
