// A report-style list whose selected row is highlighted across its full width, following
// the focus: fixed-height rows, single selection, left-aligned columns of given widths.
// A header click sorts the model by that column, ascending; a second click on the same
// column sorts descending. The header shows the sort arrow. When the list is wider than its
// columns, they share the room in proportion to their widths.
#pragma once

#include <QTableView>

#include <vector>

class CListViewEx : public QTableView {
    Q_OBJECT
public:
    explicit CListViewEx(QWidget* parent = nullptr);

    // Sets the model and the initial column widths.
    void SetModel(QAbstractItemModel* model, const int* widths, int columns);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The columns at their initial widths, or wider in proportion to fill the viewport.
    void FitColumns();

    std::vector<int> m_widths;
    int              m_sortColumn = -1;
    Qt::SortOrder    m_sortOrder  = Qt::AscendingOrder;
};
