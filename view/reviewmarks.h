// ReviewMarks: the marks a game review gave the moves of the game on the board, by ply, kept
// beside the move list (which paints them after each move's SAN through ReviewMarkDelegate)
// rather than in its rows, so that marks can arrive one by one while the rows stay as made.
#pragma once

#include <QObject>
#include <QStyledItemDelegate>

#include <vector>

#include "review/judge.h"

// The item role where the move list keeps a main-line move's ply (0 for the game's first move).
inline constexpr int MainLinePlyRole = Qt::UserRole + 1;

class ReviewMarks : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void     Set(int ply, MoveMark mark);
    void     Clear();
    MoveMark At(int ply) const;
    // How many moves have a mark other than none.
    int Count() const;

signals:
    void changed();

private:
    std::vector<MoveMark> m_marks;
};

// Paints an item as usual, then the mark of the main-line move it holds (if any) after its
// text, bold in the mark's colour.
class ReviewMarkDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    ReviewMarkDelegate(const ReviewMarks* marks, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    const ReviewMarks* m_marks;
};
