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

#include <algorithm>
#include <iterator>

#include "resources/dialogtexts.h"
#include "resources/gametexts.h"

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int MaxMinutes = 300, MaxIncrement = 180;
constexpr int CustomIndex = 1 + static_cast<int>(std::size(CGameStartDialog::Presets));

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

void CGameStartDialog::EnableRows() {
    const bool entry  = m_pChoices->checkedId() == 2;
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
    EnableRows();
    return QDialog::exec();
}

void CGameStartDialog::accept() {
    m_choice      = m_pChoices->checkedId();
    m_timeControl = TimeControl{};
    if (m_choice != 2 && m_pPreset->currentIndex() != 0) {
        for (int side = 0; side < 2; ++side)
            m_timeControl.side[side] = {std::int64_t{m_pMinutes[side]->value()} * 60000,
                                        std::int64_t{m_pIncrement[side]->value()} * 1000};
    }
    QDialog::accept();
}
