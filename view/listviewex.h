// A report-style list whose selected row is highlighted across its full width, following
// the focus: fixed-height rows, single selection, left-aligned columns of given widths.
// A header click sorts the model by that column, ascending; a second click on the same
// column sorts descending. The header shows the sort arrow. When the list is wider than its
// columns, they share the room in proportion to their widths. The user may drag a column to
// another place and drag its edge: the widths dragged become the columns' widths.
#pragma once

#include <QTableView>

#include <vector>

class CListViewEx : public QTableView {
    Q_OBJECT
public:
    explicit CListViewEx(QWidget* parent = nullptr);

    // Sets the model and the initial column widths.
    void SetModel(QAbstractItemModel* model, const int* widths, int columns);
    // The columns' widths (by model column) before they are spread over the room; setting
    // them shows the columns at those widths (or spread).
    const std::vector<int>& ColumnWidths() const { return m_widths; }
    void                    SetColumnWidths(const std::vector<int>& widths);
    // Forgets the sort arrow (the rows are in file order again, or the column went away).
    void ForgetSort();

signals:
    // The user moved a column or dragged a column's edge.
    void columnsArranged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The columns at their initial widths, or wider in proportion to fill the viewport.
    void FitColumns();

    std::vector<int> m_widths;
    bool             m_fitting    = false; // FitColumns is setting widths, not the user
    int              m_sortColumn = -1;
    Qt::SortOrder    m_sortOrder  = Qt::AscendingOrder;
};
