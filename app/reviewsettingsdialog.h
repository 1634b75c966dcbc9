// "棋譜解析の設定": the review's budget for each position, a kind (nodes, depth or time) and
// its amount.
#pragma once

#include <QDialog>

#include "app/reviewsettings.h"

class QComboBox;
class QSpinBox;

class CReviewSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CReviewSettingsDialog(const ReviewBudget& budget, QWidget* parent = nullptr);
    // The budget as the fields now give it.
    ReviewBudget Budget() const;

    QComboBox* GetKind() const { return m_pKind; }
    QSpinBox*  GetValue() const { return m_pValue; }

private:
    // The value field's range and unit follow the kind.
    void KindChanged();

    QComboBox* m_pKind;
    QSpinBox*  m_pValue;
};

// Runs the dialog on budget; true (budget changed to the fields) when accepted.
bool runReviewSettingsDialog(QWidget* parent, ReviewBudget& budget);
