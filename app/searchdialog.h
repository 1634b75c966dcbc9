// "検索": the search criteria. The dialog shows the values it is given (the last search's)
// and hands back what the user typed, and whether to search, show every game again
// (すべて表示) or show the named player's record (選手情報).
#pragma once

#include <QDialog>
#include <QString>

#include "app/searchvalues.h"
#include "book/openings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

class CSearchDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int NameLimit = 31, TextLimit = 63, EloLimit = 4000, MovesLimit = 9999;

    // The ECO list names the openings as names says.
    explicit CSearchDialog(QWidget* parent = nullptr, const OpeningNameSettings& names = {});
    // Shows m_values in the controls.
    int exec() override;
    // Refuses bounds that do not read or run backwards (dates, years, ratings, moves) and an
    // ECO range that does not read, with a message; else takes the controls into m_values.
    void accept() override;

    SearchDialogValues m_values;

protected:
    // Shows a refusal; a message box captioned "Norvane".
    virtual void ShowMessage(const QString& text);

private:
    // Takes the controls into values; false (with the reason) when a field does not read.
    bool ReadControls(SearchDialogValues& values, QString& problem) const;
    // Accepts with action when the fields read.
    void Finish(SearchAction action);

    QComboBox* m_pName;
    QComboBox* m_pSide;
    QComboBox* m_pEco;
    QLineEdit* m_pEcoRange;
    QLineEdit* m_pDateFrom;
    QLineEdit* m_pDateTo;
    QSpinBox*  m_pEloMin;
    QSpinBox*  m_pEloMax;
    QComboBox* m_pEloOf;
    QLineEdit* m_pEvent;
    QLineEdit* m_pSite;
    QSpinBox*  m_pMovesMin;
    QSpinBox*  m_pMovesMax;
    QCheckBox* m_pResults[3];
    QCheckBox* m_pSamePosition;
};
