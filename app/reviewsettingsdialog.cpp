#include "app/reviewsettingsdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// The field holds an int: the node budget offered here stops at two thousand million.
long long fieldMax(ReviewBudget::Kind kind) {
    return std::min<long long>(reviewBudgetMax(kind), INT_MAX);
}

} // namespace

CReviewSettingsDialog::CReviewSettingsDialog(const ReviewBudget& budget, QWidget* parent)
    : QDialog(parent), m_pKind(new QComboBox(this)), m_pValue(new QSpinBox(this)) {
    setWindowTitle(QStringLiteral("棋譜解析の設定"));
    m_pKind->addItem(QStringLiteral("ノード数"), ReviewBudget::Nodes);
    m_pKind->addItem(QStringLiteral("深さ"), ReviewBudget::Depth);
    m_pKind->addItem(QStringLiteral("時間"), ReviewBudget::Movetime);
    m_pKind->setCurrentIndex(m_pKind->findData(budget.kind));
    m_pValue->setGroupSeparatorShown(true);
    KindChanged();
    m_pValue->setValue(static_cast<int>(
        std::clamp(budget.value, reviewBudgetMin(budget.kind), fieldMax(budget.kind))));
    connect(m_pKind, &QComboBox::currentIndexChanged, this, &CReviewSettingsDialog::KindChanged);

    auto* note = new QLabel(QStringLiteral("1局面ごとの探索量です。ノード数なら、結果はコンピュータ"
                                           "ーの速さや負荷によらず同じになります。"),
                            this);
    note->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("探索の上限:"), m_pKind);
    form->addRow(QStringLiteral("量:"), m_pValue);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(note);
    column->addLayout(form);
    column->addWidget(buttons);
}

void CReviewSettingsDialog::KindChanged() {
    const auto kind = static_cast<ReviewBudget::Kind>(m_pKind->currentData().toInt());
    m_pValue->setRange(static_cast<int>(reviewBudgetMin(kind)), static_cast<int>(fieldMax(kind)));
    switch (kind) {
    case ReviewBudget::Nodes:
        m_pValue->setSuffix(QStringLiteral(" ノード"));
        m_pValue->setSingleStep(100000);
        break;
    case ReviewBudget::Depth:
        m_pValue->setSuffix(QStringLiteral(" 手（半手）"));
        m_pValue->setSingleStep(1);
        break;
    case ReviewBudget::Movetime:
        m_pValue->setSuffix(QStringLiteral(" ミリ秒"));
        m_pValue->setSingleStep(100);
        break;
    }
    // A kind chosen anew starts from its usual amount.
    const ReviewBudget usual;
    if (kind == ReviewBudget::Nodes && m_pValue->value() < 1000)
        m_pValue->setValue(static_cast<int>(usual.value));
    if (kind == ReviewBudget::Depth && m_pValue->value() > 30) m_pValue->setValue(18);
    if (kind == ReviewBudget::Movetime && m_pValue->value() > 60000) m_pValue->setValue(1000);
}

ReviewBudget CReviewSettingsDialog::Budget() const {
    ReviewBudget budget;
    budget.kind  = static_cast<ReviewBudget::Kind>(m_pKind->currentData().toInt());
    budget.value = m_pValue->value();
    return budget;
}

bool runReviewSettingsDialog(QWidget* parent, ReviewBudget& budget) {
    CReviewSettingsDialog dialog(budget, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    budget = dialog.Budget();
    return true;
}
