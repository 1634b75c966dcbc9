#include "view/reviewmarks.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

#include "view/evalgraph.h"

void ReviewMarks::Set(int ply, MoveMark mark) {
    if (ply < 0) return;
    if (static_cast<std::size_t>(ply) >= m_marks.size()) {
        if (mark == MoveMark::None) return;
        m_marks.resize(static_cast<std::size_t>(ply) + 1, MoveMark::None);
    }
    if (m_marks[static_cast<std::size_t>(ply)] == mark) return;
    m_marks[static_cast<std::size_t>(ply)] = mark;
    emit changed();
}

void ReviewMarks::Clear() {
    if (m_marks.empty()) return;
    m_marks.clear();
    emit changed();
}

MoveMark ReviewMarks::At(int ply) const {
    return ply >= 0 && static_cast<std::size_t>(ply) < m_marks.size()
               ? m_marks[static_cast<std::size_t>(ply)]
               : MoveMark::None;
}

int ReviewMarks::Count() const {
    return static_cast<int>(std::count_if(m_marks.begin(), m_marks.end(),
                                          [](MoveMark mark) { return mark != MoveMark::None; }));
}

ReviewMarkDelegate::ReviewMarkDelegate(const ReviewMarks* marks, QObject* parent)
    : QStyledItemDelegate(parent), m_marks(marks) {}

void ReviewMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant ply = index.data(MainLinePlyRole);
    if (!ply.isValid() || !m_marks) return;
    const MoveMark mark = m_marks->At(ply.toInt());
    if (mark == MoveMark::None) return;
    // A review kept in the game has its mark among the move's glyphs: drawn once, not twice.
    // (A move's SAN holds neither "!" nor "?": the first run of them is its mark.)
    const QString   cell  = index.data(Qt::DisplayRole).toString();
    const auto      isMarkChar = [&](qsizetype k) { return cell[k] == '!' || cell[k] == '?'; };
    qsizetype       start = 0;
    while (start < cell.size() && !isMarkChar(start))
        ++start;
    qsizetype end = start;
    while (end < cell.size() && isMarkChar(end))
        ++end;
    if (cell.mid(start, end - start) == QLatin1String(markText(mark))) return;
    // After the text as the style lays it out.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    const QRect   text  = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
    const int     used  = item.fontMetrics.horizontalAdvance(item.text) + 4;
    QFont         bold  = item.font;
    bold.setBold(true);
    painter->save();
    painter->setFont(bold);
    painter->setPen(EvalGraph::MarkColour(mark).darker(115));
    painter->drawText(text.adjusted(used, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      QString::fromLatin1(markText(mark)));
    painter->restore();
}
