#pragma once

#include "controls/header_item_drawing.h"

#include <QHeaderView>
#include <set>

// Column header that draws the sorted column's title with an up or down
// arrow beside it. A column becomes owner-drawn the first time it is sorted
// and stays so; columns never sorted are drawn by Qt as usual.
class CArrowHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    explicit CArrowHeaderCtrl(QWidget* parent = nullptr);

    // Moves the arrow to column, pointing up for ascending order, and repaints.
    void MarkSortColumn(int column, bool ascending);

    int ArrowColumn() const { return m_nArrowColumn; }
    bool IsArrowAscending() const { return m_bArrowAscending; }
    bool IsOwnerDrawn(int column) const { return m_setOwnerDrawn.count(column) != 0; }

    // What paintSection paints for an owner-drawn section in rect.
    HeaderItemDrawing ComputeDrawing(const QRect& rect, int logicalIndex) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int m_nArrowColumn = -1;
    bool m_bArrowAscending = true;
    std::set<int> m_setOwnerDrawn;
};
