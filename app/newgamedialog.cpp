#include "app/newgamedialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <QHash>

#include <algorithm>
#include <iterator>

#include "app/enginemessages.h"
#include "app/engineprocess.h"

#include "resources/dialogtexts.h"
#include "resources/gametexts.h"

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int MaxMinutes = 300, MaxIncrement = 180;
constexpr int CustomIndex = 1 + static_cast<int>(std::size(CGameStartDialog::Presets));

// What each engine program offers, once asked in this run: picking it again asks no more.
QHash<QString, StrengthOffer>& knownOffers() {
    static QHash<QString, StrengthOffer> offers;
    return offers;
}

} // namespace

CGameStartDialog::CGameStartDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(text(DialogText::NewGameTitle));
    auto* layout = new QVBoxLayout(this);
    m_pChoices   = new QButtonGroup(this);
    const char* labels[3] = {DialogText::EngineWhite, DialogText::EngineBlack, DialogText::GameEntry};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(text(labels[i]), this);
        m_pChoices->addButton(button, i);
        layout->addWidget(button);
    }

    auto* group = new QGroupBox(text(GameText::TimeControlGroup), this);
    auto* grid  = new QGridLayout(group);
    m_pPreset   = new QComboBox(group);
    m_pPreset->addItem(text(GameText::TimeControlNone));
    for (const Preset& preset : Presets)
        m_pPreset->addItem(text(GameText::TimeControlPreset).arg(preset.minutes).arg(preset.increment));
    m_pPreset->addItem(text(GameText::TimeControlCustom));
    grid->addWidget(m_pPreset, 0, 0, 1, 5);
    const char* sides[2] = {GameText::WhiteLabel, GameText::BlackLabel};
    for (int side = 0; side < 2; ++side) {
        m_pMinutes[side]   = new QSpinBox(group);
        m_pIncrement[side] = new QSpinBox(group);
        m_pMinutes[side]->setRange(1, MaxMinutes);
        m_pIncrement[side]->setRange(0, MaxIncrement);
        grid->addWidget(new QLabel(text(sides[side]), group), side + 1, 0);
        grid->addWidget(m_pMinutes[side], side + 1, 1);
        grid->addWidget(new QLabel(text(GameText::Minutes), group), side + 1, 2);
        grid->addWidget(m_pIncrement[side], side + 1, 3);
        grid->addWidget(new QLabel(text(GameText::SecondsPerMove), group), side + 1, 4);
    }
    m_pBlackDiffers = new QCheckBox(text(GameText::BlackDiffers), group);
    grid->addWidget(m_pBlackDiffers, 3, 0, 1, 5);
    layout->addWidget(group);

    // The opponent, made after the time control but shown before it.
    auto* opponent  = new QGroupBox(text(GameText::OpponentGroup), this);
    auto* rows      = new QGridLayout(opponent);
    m_pOpponent     = new QComboBox(opponent);
    m_pLimit        = new QCheckBox(text(GameText::LimitStrength), opponent);
    m_pLevelLabel   = new QLabel(opponent);
    m_pLevel        = new QSpinBox(opponent);
    m_pStrengthNote = new QLabel(opponent);
    m_pOpponent->setObjectName("opponent");
    m_pLimit->setObjectName("limitStrength");
    m_pLevel->setObjectName("strengthLevel");
    m_pStrengthNote->setObjectName("strengthNote");
    m_pStrengthNote->setWordWrap(true);
    m_pOpponent->addItem(text(GameText::BuiltInOpponent));
    for (const EngineEntry& engine : availableEngines()) {
        if (engine.builtIn) continue; // the built-in engine is the first item already
        m_engines.append(engine);
        m_pOpponent->addItem(engine.name);
    }
    rows->addWidget(m_pOpponent, 0, 0, 1, 3);
    rows->addWidget(m_pLimit, 1, 0);
    rows->addWidget(m_pLevelLabel, 1, 1);
    rows->addWidget(m_pLevel, 1, 2);
    rows->addWidget(m_pStrengthNote, 2, 0, 1, 3);
    layout->insertWidget(layout->indexOf(group), opponent);
    connect(m_pOpponent, &QComboBox::currentIndexChanged, this,
            [this](int index) { OnOpponentChosen(index); });
    connect(m_pLimit, &QCheckBox::toggled, this, [this] { EnableRows(); });

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(text(DialogText::Ok), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(text(DialogText::Cancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_pPreset, &QComboBox::currentIndexChanged, this, [this](int index) { OnPresetChosen(index); });
    connect(m_pPreset, &QComboBox::currentIndexChanged, this, [this] { EnableRows(); });
    connect(m_pBlackDiffers, &QCheckBox::toggled, this, [this] { EnableRows(); });
    connect(m_pChoices, &QButtonGroup::idToggled, this, [this] { EnableRows(); });
    // Black's control follows White's unless it is set apart.
    for (int field = 0; field < 2; ++field) {
        QSpinBox* white = field == 0 ? m_pMinutes[0] : m_pIncrement[0];
        QSpinBox* black = field == 0 ? m_pMinutes[1] : m_pIncrement[1];
        connect(white, &QSpinBox::valueChanged, this, [this, black](int value) {
            if (!m_pBlackDiffers->isChecked()) black->setValue(value);
        });
    }
    connect(m_pBlackDiffers, &QCheckBox::toggled, this, [this](bool differs) {
        if (differs) return;
        m_pMinutes[1]->setValue(m_pMinutes[0]->value());
        m_pIncrement[1]->setValue(m_pIncrement[0]->value());
    });
}

CGameStartDialog::~CGameStartDialog() { EndProbe(); }

void CGameStartDialog::EndProbe() {
    if (!m_pProbe) return;
    // Destroying it quits the engine; it may be inside its own signal, so it goes afterwards.
    m_pProbe->disconnect(this);
    m_pProbe->deleteLater();
    m_pProbe = nullptr;
}

void CGameStartDialog::OnOpponentChosen(int index) {
    EndProbe();
    m_offerKnown = false;
    m_offer      = StrengthOffer{};
    // The colour choices name the opponent.
    const bool    builtIn = index <= 0 || index > m_engines.size();
    const QString name    = builtIn ? QString() : m_engines[index - 1].name;
    m_pChoices->button(0)->setText(builtIn ? text(DialogText::EngineWhite)
                                           : text(GameText::OpponentWhite).arg(name));
    m_pChoices->button(1)->setText(builtIn ? text(DialogText::EngineBlack)
                                           : text(GameText::OpponentBlack).arg(name));
    if (builtIn) {
        ShowStrength();
        return;
    }
    const EngineEntry engine = m_engines[index - 1];
    if (const auto known = knownOffers().constFind(engine.program);
        known != knownOffers().constEnd()) {
        m_offerKnown = true;
        m_offer      = *known;
        ShowStrength();
        return;
    }
    // The options come with the engine's handshake; the dialog stays usable meanwhile.
    m_pProbe = new EngineProcess;
    connect(m_pProbe, &EngineProcess::handshaken, this, [this, engine] {
        m_offerKnown = true;
        m_offer      = strengthOffer(m_pProbe->client().options());
        knownOffers().insert(engine.program, m_offer);
        EndProbe();
        ShowStrength();
    });
    connect(m_pProbe, &EngineProcess::sessionFailed, this, [this, engine] {
        const QString failure = engineErrorText(engine.name, m_pProbe->error());
        EndProbe();
        ShowStrength();
        m_pStrengthNote->setText(failure);
    });
    ShowStrength();
    m_pProbe->start(engine.program, engine.arguments);
}

void CGameStartDialog::ShowStrength() {
    const int  index   = m_pOpponent->currentIndex();
    const bool builtIn = index <= 0;
    // The values shown: the kept choice's for its own engine, else the engine's defaults.
    const bool same =
        !builtIn && index <= m_engines.size() && m_engines[index - 1].name == m_opponent.engine;
    m_pLimit->blockSignals(true);
    m_pLimit->setChecked(false);
    m_pLimit->blockSignals(false);
    m_pLevelLabel->clear();
    m_pLevel->setRange(0, 0);
    if (builtIn)
        m_pStrengthNote->setText(text(GameText::BuiltInStrength));
    else if (!m_offerKnown)
        m_pStrengthNote->setText(m_pProbe ? text(GameText::Probing) : QString());
    else if (!m_offer.any())
        m_pStrengthNote->setText(text(GameText::FullStrengthOnly));
    else
        m_pStrengthNote->clear();
    if (m_offerKnown && m_offer.elo) {
        m_pLevelLabel->setText(text(GameText::EloLabel));
        m_pLevel->setRange(static_cast<int>(m_offer.eloMin), static_cast<int>(m_offer.eloMax));
        m_pLevel->setValue(same ? m_opponent.elo : static_cast<int>(m_offer.eloDefault));
        m_pLimit->setChecked(same && m_opponent.strength == OpponentChoice::Elo);
    } else if (m_offerKnown && m_offer.skill) {
        m_pLevelLabel->setText(text(GameText::SkillLabel));
        m_pLevel->setRange(static_cast<int>(m_offer.skillMin), static_cast<int>(m_offer.skillMax));
        m_pLevel->setValue(same ? m_opponent.skill : static_cast<int>(m_offer.skillDefault));
        m_pLimit->setChecked(same && m_opponent.strength == OpponentChoice::Skill);
    }
    EnableRows();
}

void CGameStartDialog::EnableRows() {
    const bool entry  = m_pChoices->checkedId() == 2;
    m_pOpponent->setEnabled(!entry);
    // The strength rows stand only for an engine known to offer a strength.
    const bool strength = m_offerKnown && m_offer.any();
    for (QWidget* row : {static_cast<QWidget*>(m_pLimit), static_cast<QWidget*>(m_pLevelLabel),
                         static_cast<QWidget*>(m_pLevel)})
        row->setVisible(strength);
    const bool offered = !entry && strength;
    m_pLimit->setEnabled(offered);
    m_pLevel->setEnabled(offered && m_pLimit->isChecked());
    const bool custom = m_pPreset->currentIndex() == CustomIndex && !entry;
    m_pPreset->setEnabled(!entry);
    m_pBlackDiffers->setEnabled(custom);
    for (int side = 0; side < 2; ++side) {
        const bool editable = custom && (side == 0 || m_pBlackDiffers->isChecked());
        m_pMinutes[side]->setEnabled(editable);
        m_pIncrement[side]->setEnabled(editable);
    }
}

void CGameStartDialog::OnPresetChosen(int index) {
    if (index <= 0 || index >= CustomIndex) return;
    const Preset preset = Presets[index - 1];
    m_pBlackDiffers->setChecked(false);
    m_pMinutes[0]->setValue(preset.minutes);
    m_pIncrement[0]->setValue(preset.increment);
}

void CGameStartDialog::ShowControl(const TimeControl& control) {
    int index = CustomIndex;
    if (!control.isSet()) index = 0;
    for (int i = 0; i < static_cast<int>(std::size(Presets)) && index == CustomIndex; ++i)
        if (control.isEven() && control.side[White] == TimeControl::even(Presets[i].minutes, Presets[i].increment).side[White])
            index = i + 1;
    m_pBlackDiffers->setChecked(control.isSet() && !control.isEven());
    for (int side = 0; side < 2; ++side) {
        const SideTimeControl& mine = control.isSet() ? control.side[side] : TimeControl::even(5, 0).side[side];
        m_pMinutes[side]->setValue(static_cast<int>(std::max<std::int64_t>(1, mine.baseMs / 60000)));
        m_pIncrement[side]->setValue(static_cast<int>(mine.incrementMs / 1000));
    }
    m_pPreset->setCurrentIndex(index);
    OnPresetChosen(index);
}

int CGameStartDialog::exec() {
    if (QAbstractButton* button = m_pChoices->button(m_choice)) button->setChecked(true);
    ShowControl(m_timeControl);
    int opponent = 0;
    for (int i = 0; i < m_engines.size(); ++i)
        if (!m_opponent.isBuiltIn() && m_engines[i].name == m_opponent.engine) opponent = i + 1;
    if (m_pOpponent->currentIndex() == opponent)
        OnOpponentChosen(opponent);
    else
        m_pOpponent->setCurrentIndex(opponent);
    EnableRows();
    const int answer = QDialog::exec();
    EndProbe();
    return answer;
}

void CGameStartDialog::accept() {
    m_choice      = m_pChoices->checkedId();
    m_timeControl = TimeControl{};
    const int opponent = m_pOpponent->currentIndex();
    OpponentChoice chosen;
    if (opponent > 0 && opponent <= m_engines.size()) {
        chosen.engine = m_engines[opponent - 1].name;
        chosen.elo    = m_opponent.elo;
        chosen.skill  = m_opponent.skill;
        if (m_offerKnown) {
            if (m_offer.elo) chosen.elo = m_pLevel->value();
            else if (m_offer.skill) chosen.skill = m_pLevel->value();
            if (m_pLimit->isChecked())
                chosen.strength = m_offer.elo ? OpponentChoice::Elo : OpponentChoice::Skill;
        } else if (chosen.engine == m_opponent.engine) {
            chosen.strength = m_opponent.strength; // not asked again yet: as it was
        }
    }
    m_opponent = chosen;
    if (m_choice != 2 && m_pPreset->currentIndex() != 0) {
        for (int side = 0; side < 2; ++side)
            m_timeControl.side[side] = {std::int64_t{m_pMinutes[side]->value()} * 60000,
                                        std::int64_t{m_pIncrement[side]->value()} * 1000};
    }
    QDialog::accept();
}
