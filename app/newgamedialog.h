// "ゲーム開始": who plays the engine, the opponent, and the time control. The choice keeps the old
// dialog's numbering: 0 the engine has White, 1 Black (the default), 2 nobody (game entry, no
// clock, no opponent). The opponent is the built-in engine or one of the engines dialog's; a UCI
// engine is asked for its options when it is picked, to offer the strength it has.
#pragma once

#include <QDialog>

#include <QList>

#include "app/enginelist.h"
#include "app/opponent.h"
#include "engine/gameclock.h"

class EngineProcess;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

class CGameStartDialog : public QDialog {
    Q_OBJECT
public:
    explicit CGameStartDialog(QWidget* parent = nullptr);
    ~CGameStartDialog() override;
    int  exec() override;
    void accept() override;

    int         m_choice = 1;
    TimeControl m_timeControl;  // none: the game has no clock (the default)
    OpponentChoice m_opponent;  // the built-in engine by default

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
    // The opponent at index of the list picked: the built-in engine, or a UCI engine whose
    // options are known or asked for.
    void OnOpponentChosen(int index);
    // The strength rows for what the picked engine offers (none: it is still being asked).
    void ShowStrength();
    void EndProbe();

    QList<EngineEntry> m_engines; // the list's UCI engines, after the built-in one
    EngineProcess*     m_pProbe = nullptr; // asks the picked engine for its options
    bool               m_offerKnown = false;
    StrengthOffer      m_offer;
    QComboBox*         m_pOpponent;
    QCheckBox*         m_pLimit;
    QLabel*            m_pLevelLabel;
    QSpinBox*          m_pLevel;
    QLabel*            m_pStrengthNote;

    QButtonGroup* m_pChoices;
    QComboBox*    m_pPreset;
    QSpinBox*     m_pMinutes[2];
    QSpinBox*     m_pIncrement[2];
    QCheckBox*    m_pBlackDiffers;
};
