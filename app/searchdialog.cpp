#include "app/searchdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include "resources/dialogtexts.h"
#include "resources/searchtexts.h"

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

bool yearAlone(const QString& value) {
    return value.size() == 4 && value.toInt() >= 1 && value.toInt() <= 9999 &&
           value.front().isDigit() && value.back().isDigit();
}

// A spin box for a bound: 0 shows as 指定なし.
QSpinBox* boundBox(QWidget* parent, int limit) {
    auto* box = new QSpinBox(parent);
    box->setRange(0, limit);
    box->setSpecialValueText(text(SearchText::NotSet));
    return box;
}

// A row of controls with 〜 between the first two and anything after them.
QHBoxLayout* rangeRow(QWidget* parent, QWidget* from, QWidget* to, QWidget* after = nullptr) {
    auto* row = new QHBoxLayout;
    row->addWidget(from, 1);
    row->addWidget(new QLabel(text(SearchText::Through), parent));
    row->addWidget(to, 1);
    if (after) row->addWidget(after);
    return row;
}

} // namespace

CSearchDialog::CSearchDialog(QWidget* parent, const OpeningNameSettings& names) : QDialog(parent) {
    setWindowTitle(text(DialogText::SearchTitle));
    auto*      grid   = new QGridLayout(this);
    int        row    = 0;
    const auto addRow = [&](const char* label, QWidget* field) {
        grid->addWidget(new QLabel(text(label), this), row, 0);
        grid->addWidget(field, row++, 1);
    };
    const auto addLayoutRow = [&](const char* label, QLayout* fields) {
        grid->addWidget(new QLabel(text(label), this), row, 0);
        grid->addLayout(fields, row++, 1);
    };

    m_pName = new QComboBox(this);
    m_pName->setEditable(true);
    for (const char* name : DialogText::PresetNames)
        m_pName->addItem(text(name));
    m_pName->lineEdit()->setMaxLength(NameLimit);
    m_pSide = new QComboBox(this);
    for (const char* side : SearchText::Sides)
        m_pSide->addItem(text(side));
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_pName, 1);
    nameRow->addWidget(new QLabel(text(SearchText::Side), this));
    nameRow->addWidget(m_pSide);
    addLayoutRow(DialogText::Name, nameRow);

    m_pEco = new QComboBox(this);
    m_pEco->addItem(text(DialogText::AnyEco));
    char item[OpeningTextSize];
    for (int i = 0; i < OpeningCount; ++i) {
        ecoListText(i, item, sizeof item, names);
        m_pEco->addItem(text(item));
    }
    // The list is as wide as its longest name; the dialog keeps a reasonable width.
    m_pEco->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pEco->setMinimumContentsLength(24);
    addRow(DialogText::Eco, m_pEco);
    m_pEcoRange = new QLineEdit(this);
    m_pEcoRange->setPlaceholderText(text(SearchText::EcoRangeHint));
    m_pEcoRange->setMaxLength(9);
    addRow(SearchText::EcoRange, m_pEcoRange);

    m_pDateFrom = new QLineEdit(this);
    m_pDateTo   = new QLineEdit(this);
    for (QLineEdit* date : {m_pDateFrom, m_pDateTo}) {
        date->setPlaceholderText(text(SearchText::DateHint));
        date->setMaxLength(10);
    }
    addLayoutRow(DialogText::Date, rangeRow(this, m_pDateFrom, m_pDateTo));

    m_pEloMin = boundBox(this, EloLimit);
    m_pEloMax = boundBox(this, EloLimit);
    m_pEloOf  = new QComboBox(this);
    for (const char* of : SearchText::RatingOf)
        m_pEloOf->addItem(text(of));
    addLayoutRow(SearchText::Rating, rangeRow(this, m_pEloMin, m_pEloMax, m_pEloOf));

    m_pEvent = new QLineEdit(this);
    m_pSite  = new QLineEdit(this);
    for (QLineEdit* edit : {m_pEvent, m_pSite})
        edit->setMaxLength(TextLimit);
    addRow(SearchText::Event, m_pEvent);
    addRow(SearchText::Site, m_pSite);

    m_pMovesMin = boundBox(this, MovesLimit);
    m_pMovesMax = boundBox(this, MovesLimit);
    addLayoutRow(SearchText::Moves, rangeRow(this, m_pMovesMin, m_pMovesMax));

    auto* results = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_pResults[i] = new QCheckBox(text(DialogText::Results[i]), this);
        results->addWidget(m_pResults[i]);
    }
    results->addStretch();
    addLayoutRow(DialogText::Result, results);

    m_pSamePosition = new QCheckBox(text(DialogText::SamePosition), this);
    grid->addWidget(m_pSamePosition, row++, 1);

    auto*        buttons = new QDialogButtonBox(this);
    QPushButton* ok      = buttons->addButton(text(DialogText::Ok), QDialogButtonBox::AcceptRole);
    buttons->addButton(text(DialogText::Cancel), QDialogButtonBox::RejectRole);
    QPushButton* all = buttons->addButton(text(SearchText::ShowAll), QDialogButtonBox::ResetRole);
    QPushButton* player =
        buttons->addButton(text(SearchText::PlayerRecord), QDialogButtonBox::ActionRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(all, &QPushButton::clicked, this, [this] {
        m_values.action = SearchAction::ShowAll;
        QDialog::accept();
    });
    connect(player, &QPushButton::clicked, this, [this] { Finish(SearchAction::PlayerRecord); });
    grid->addWidget(buttons, row, 0, 1, 2);
}

int CSearchDialog::exec() {
    const SearchDialogValues& v = m_values;
    m_pName->setEditText(v.name.left(NameLimit));
    m_pSide->setCurrentIndex(v.side >= 0 && v.side <= 2 ? v.side : 0);
    m_pEco->setCurrentIndex(v.ecoItem >= 0 && v.ecoItem <= OpeningCount ? v.ecoItem : 0);
    m_pEcoRange->setText(v.ecoRange);
    m_pDateFrom->setText(!v.dateFrom.isEmpty() ? v.dateFrom
                         : v.yearFrom          ? QString::number(v.yearFrom).rightJustified(4, '0')
                                               : QString());
    m_pDateTo->setText(!v.dateTo.isEmpty() ? v.dateTo
                       : v.yearTo          ? QString::number(v.yearTo).rightJustified(4, '0')
                                           : QString());
    m_pEloMin->setValue(v.eloMin);
    m_pEloMax->setValue(v.eloMax);
    m_pEloOf->setCurrentIndex(v.eloOf >= 0 && v.eloOf <= 2 ? v.eloOf : 0);
    m_pEvent->setText(v.event);
    m_pSite->setText(v.site);
    m_pMovesMin->setValue(v.movesMin);
    m_pMovesMax->setValue(v.movesMax);
    m_pResults[0]->setChecked(v.whiteWon);
    m_pResults[1]->setChecked(v.blackWon);
    m_pResults[2]->setChecked(v.drawn);
    m_pSamePosition->setChecked(v.samePosition);
    return QDialog::exec();
}

bool CSearchDialog::ReadControls(SearchDialogValues& v, QString& problem) const {
    v.name               = m_pName->currentText().left(NameLimit);
    v.side               = m_pSide->currentIndex();
    v.ecoItem            = m_pEco->currentIndex();
    v.ecoRange           = m_pEcoRange->text().trimmed().toUpper().remove(QLatin1Char(' '));
    std::int32_t ecoFrom = NoEco, ecoTo = NoEco;
    if (!v.ecoRange.isEmpty() && !readEcoRange(v.ecoRange.toStdString(), ecoFrom, ecoTo)) {
        problem = text(SearchText::BadEcoRange);
        return false;
    }

    // A year alone is a year bound, as the year fields always were; a fuller date a date bound.
    const QString from = m_pDateFrom->text().trimmed(), to = m_pDateTo->text().trimmed();
    v.yearFrom = v.yearTo = 0;
    v.dateFrom.clear();
    v.dateTo.clear();
    std::int32_t lowest = 0, highest = 0;
    for (const auto& [field, upper] : {std::pair{from, false}, std::pair{to, true}}) {
        if (field.isEmpty()) continue;
        std::int32_t bound = 0;
        if (yearAlone(field)) {
            (upper ? v.yearTo : v.yearFrom) = field.toInt();
            bound                           = field.toInt() * 10000 + (upper ? 1231 : 101);
        } else if (readDateBound(field.toStdString(), upper, bound)) {
            (upper ? v.dateTo : v.dateFrom) = field;
        } else {
            problem = text(SearchText::BadDate);
            return false;
        }
        (upper ? highest : lowest) = bound;
    }
    if (lowest && highest && lowest > highest) {
        problem = text(v.yearFrom && v.yearTo ? DialogText::BadYears : SearchText::BadDates);
        return false;
    }

    v.eloMin = m_pEloMin->value();
    v.eloMax = m_pEloMax->value();
    v.eloOf  = m_pEloOf->currentIndex();
    if (v.eloMin && v.eloMax && v.eloMin > v.eloMax) {
        problem = text(SearchText::BadRatings);
        return false;
    }
    v.event    = m_pEvent->text().trimmed();
    v.site     = m_pSite->text().trimmed();
    v.movesMin = m_pMovesMin->value();
    v.movesMax = m_pMovesMax->value();
    if (v.movesMin && v.movesMax && v.movesMin > v.movesMax) {
        problem = text(SearchText::BadMoves);
        return false;
    }
    v.whiteWon     = m_pResults[0]->isChecked();
    v.blackWon     = m_pResults[1]->isChecked();
    v.drawn        = m_pResults[2]->isChecked();
    v.samePosition = m_pSamePosition->isChecked();
    return true;
}

void CSearchDialog::Finish(SearchAction action) {
    SearchDialogValues values = m_values;
    QString            problem;
    if (!ReadControls(values, problem)) {
        ShowMessage(problem);
        return;
    }
    if (action == SearchAction::PlayerRecord && values.name.trimmed().isEmpty()) {
        ShowMessage(text(SearchText::NoName));
        return;
    }
    values.action = action;
    m_values      = values;
    QDialog::accept();
}

void CSearchDialog::accept() { Finish(SearchAction::Search); }

void CSearchDialog::ShowMessage(const QString& message) {
    QMessageBox::warning(this, QStringLiteral("Norvane"), message);
}
