#include "view/listviewex.h"

#include <QHeaderView>

CListViewEx::CListViewEx(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);  // a text too wide for its column ends in "..."
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    // Fixed rows: the view never measures a million rows' contents.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(true);
    // The arrow shows only once the user sorted.
    horizontalHeader()->setSortIndicatorShown(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (!model()) return;
        // The header flips its own arrow on a click once it shows it; the order is kept here.
        m_sortOrder  = column == m_sortColumn && m_sortOrder == Qt::AscendingOrder
                           ? Qt::DescendingOrder
                           : Qt::AscendingOrder;
        m_sortColumn = column;
        model()->sort(column, m_sortOrder);
        horizontalHeader()->setSortIndicator(column, m_sortOrder);
        horizontalHeader()->setSortIndicatorShown(true);
        if (currentIndex().isValid()) scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, [this] { emit columnsArranged(); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int resized, int, int) {
        if (m_fitting || !model()) return;
        // The last column stretches to the edge whenever the list changes size: only a width
        // the user dragged counts. The columns as they are now are the widths from here on
        // (the last one keeps its own).
        const int columns = model()->columnCount();
        const int last    = horizontalHeader()->logicalIndex(columns - 1);
        if (resized == last) return;
        m_widths.resize(static_cast<std::size_t>(columns), 60);
        for (int column = 0; column < columns; ++column)
            if (column != last) m_widths[static_cast<std::size_t>(column)] = columnWidth(column);
        emit columnsArranged();
    });
}

void CListViewEx::SetModel(QAbstractItemModel* listModel, const int* widths, int columns) {
    setModel(listModel);
    SetColumnWidths(std::vector<int>(widths, widths + columns));
}

void CListViewEx::SetColumnWidths(const std::vector<int>& widths) {
    m_widths = widths;
    FitColumns();
}

void CListViewEx::ForgetSort() {
    m_sortColumn = -1;
    m_sortOrder  = Qt::AscendingOrder;
    horizontalHeader()->setSortIndicatorShown(false);
}

void CListViewEx::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitColumns();
}

void CListViewEx::FitColumns() {
    int total = 0;
    for (int width : m_widths)
        total += width;
    const int room = viewport()->width();
    m_fitting      = true;
    for (std::size_t column = 0; column < m_widths.size(); ++column)
        setColumnWidth(static_cast<int>(column),
                       room > total ? m_widths[column] * room / total : m_widths[column]);
    m_fitting = false;
}
