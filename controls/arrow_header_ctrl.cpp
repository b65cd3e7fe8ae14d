#include "controls/arrow_header_ctrl.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionHeader>

namespace {

QRect ToQRect(const HeaderRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

} // namespace

CArrowHeaderCtrl::CArrowHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

void CArrowHeaderCtrl::MarkSortColumn(int column, bool ascending) {
    m_nArrowColumn = column;
    m_bArrowAscending = ascending;
    m_setOwnerDrawn.insert(column);
    viewport()->update();
}

HeaderItemDrawing CArrowHeaderCtrl::ComputeDrawing(const QRect& rect, int logicalIndex) const {
    QStyleOptionHeader option;
    initStyleOptionForIndex(&option, logicalIndex);

    HeaderItemState state;
    state.rect = {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    // Qt marks the section under a held mouse button as sunken.
    state.pressed = (option.state & QStyle::State_Sunken) != 0;
    state.alignment = static_cast<int>(option.textAlignment);
    state.arrowColumn = logicalIndex == m_nArrowColumn;
    state.ascending = m_bArrowAscending;
    return ComputeHeaderItemDrawing(state);
}

void CArrowHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!IsOwnerDrawn(logicalIndex)) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    const HeaderItemDrawing drawing = ComputeDrawing(rect, logicalIndex);
    const QPalette& pal = palette();

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setClipRect(ToQRect(drawing.clip));
    painter->fillRect(ToQRect(drawing.clip), pal.color(drawing.fill));

    if (drawing.drawTitle) {
        const QRect titleRect = ToQRect(drawing.titleRect);
        const QString title = model() != nullptr
                                  ? model()->headerData(logicalIndex, orientation()).toString()
                                  : QString();
        const QFontMetrics metrics = painter->fontMetrics();
        const HeaderTitle shown = drawing.elideTitleEnd
                                      ? FitHeaderTitle(title, titleRect.width(),
                                                       [&metrics](const QString& text) {
                                                           return metrics.horizontalAdvance(text);
                                                       })
                                      : HeaderTitle{title, false};
        painter->save();
        if (shown.clipToRect) {
            painter->setClipRect(titleRect, Qt::IntersectClip);
        }
        painter->setPen(pal.color(QPalette::ButtonText));
        painter->drawText(titleRect, drawing.titleFlags, shown.text);
        painter->restore();
    }

    // Pixel by pixel: Qt's own lines leave out whichever end lies right or
    // below, while the arrow's corners need each segment's end left out.
    for (const HeaderLine& line : drawing.lines) {
        const QColor colour = pal.color(line.pen);
        for (std::size_t i = 1; i < line.points.size(); ++i) {
            for (const HeaderPoint& p : SegmentPixels(line.points[i - 1], line.points[i])) {
                painter->fillRect(p.x, p.y, 1, 1, colour);
            }
        }
    }
    painter->restore();
}
