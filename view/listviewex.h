// A report-style list whose selected row is highlighted across its full width, following
// the focus: fixed-height rows, single selection, left-aligned columns of given widths.
// A header click sorts the model by that column (always ascending).
#pragma once

#include <QTableView>

class CListViewEx : public QTableView {
    Q_OBJECT
public:
    explicit CListViewEx(QWidget* parent = nullptr);

    // Sets the model and the initial column widths.
    void SetModel(QAbstractItemModel* model, const int* widths, int columns);
};
