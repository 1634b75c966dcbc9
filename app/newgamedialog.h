// "ゲーム開始": who plays the engine, and the time control. The choice keeps the old dialog's
// numbering: 0 the engine has White, 1 Black (the default), 2 nobody (game entry, no clock).
#pragma once

#include <QDialog>

#include "engine/gameclock.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QSpinBox;

class CGameStartDialog : public QDialog {
    Q_OBJECT
public:
    explicit CGameStartDialog(QWidget* parent = nullptr);
    int  exec() override;
    void accept() override;

    int         m_choice = 1;
    TimeControl m_timeControl;  // none: the game has no clock (the default)

    // The presets after "なし", in the list's order: minutes and seconds per move.
    struct Preset {
        int minutes, increment;
    };
    static constexpr Preset Presets[] = {{5, 0}, {10, 5}, {15, 10}, {30, 0}};

private:
    // The spin boxes follow the list; they are edited only under "その他".
    void OnPresetChosen(int index);
    void ShowControl(const TimeControl& control);
    // Game entry has no clock; the fields are edited only under "その他", Black's only when set
    // apart.
    void EnableRows();

    QButtonGroup* m_pChoices;
    QComboBox*    m_pPreset;
    QSpinBox*     m_pMinutes[2];
    QSpinBox*     m_pIncrement[2];
    QCheckBox*    m_pBlackDiffers;
};
