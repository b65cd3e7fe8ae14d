#pragma once

#include <QStyledItemDelegate>

// Draws texts whole, clipped by their cell instead of cut short with an
// ellipsis: the ID column is 28 pixels wide, room enough for three digits
// but not for Qt's text margins on both sides as well.
class CUnelidedDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
