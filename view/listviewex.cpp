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
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (model()) model()->sort(column, Qt::AscendingOrder);
    });
}

void CListViewEx::SetModel(QAbstractItemModel* listModel, const int* widths, int columns) {
    setModel(listModel);
    for (int column = 0; column < columns; ++column) setColumnWidth(column, widths[column]);
}
