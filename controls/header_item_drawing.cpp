#include "controls/header_item_drawing.h"

bool operator==(const HeaderRect& a, const HeaderRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool operator==(const HeaderPoint& a, const HeaderPoint& b) {
    return a.x == b.x && a.y == b.y;
}

std::vector<HeaderPoint> SegmentPixels(HeaderPoint from, HeaderPoint to) {
    // Bresenham, stepping from the start so that the end is the pixel left out.
    std::vector<HeaderPoint> pixels;
    const int dx = to.x > from.x ? to.x - from.x : from.x - to.x;
    const int dy = -(to.y > from.y ? to.y - from.y : from.y - to.y);
    const int sx = from.x < to.x ? 1 : -1;
    const int sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    HeaderPoint p = from;
    while (!(p == to)) {
        pixels.push_back(p);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.y += sy;
        }
    }
    return pixels;
}

namespace {

int TitleFlags(int alignment) {
    int flags = Qt::TextSingleLine | Qt::AlignVCenter;
    // Centre wins over right when both are asked for.
    if (alignment & Qt::AlignHCenter) {
        return flags | Qt::AlignHCenter;
    }
    if (alignment & Qt::AlignRight) {
        return flags | Qt::AlignRight;
    }
    return flags | Qt::AlignLeft;
}

// The y values d and d - 1 are taken as they stand: a header item starts at
// the header's top edge.
std::vector<HeaderLine> ArrowLines(const HeaderRect& rc, int d, bool ascending) {
    const int r = rc.right;
    const int b = rc.bottom;
    if (ascending) {
        return {
            {QPalette::Light, {{r - 2 * d, d}, {r - d, b - d - 1}, {r - 3 * d - 2, b - d - 1}}},
            {QPalette::Dark, {{r - 3 * d - 1, b - d - 1}, {r - 2 * d, d - 1}}},
        };
    }
    return {
        {QPalette::Light, {{r - d - 1, d}, {r - 2 * d - 1, b - d}}},
        {QPalette::Dark, {{r - 2 * d - 2, b - d}, {r - 3 * d - 1, d}, {r - d - 1, d}}},
    };
}

} // namespace

HeaderItemDrawing ComputeHeaderItemDrawing(const HeaderItemState& state) {
    const HeaderRect& rc = state.rect;
    const int d = (rc.bottom - rc.top) / 4;

    HeaderItemDrawing drawing;
    drawing.clip = rc;
    drawing.fill = QPalette::Button;
    drawing.titleFlags = TitleFlags(state.alignment);

    HeaderRect t = rc;
    if (state.pressed) {
        t.left += 1;
        t.top += 2;
        t.right += 1;
    }
    if (state.arrowColumn) {
        t.right -= 3 * d;
    }
    t.left += d;
    t.right -= d;
    drawing.titleRect = t;
    drawing.drawTitle = t.left < t.right;

    if (state.arrowColumn) {
        drawing.lines = ArrowLines(rc, d, state.ascending);
    }
    return drawing;
}

HeaderTitle FitHeaderTitle(const QString& title, int width,
                           const std::function<int(const QString&)>& advance) {
    if (advance(title) <= width) {
        return {title, false};
    }
    // Fonts such as IPA P Gothic draw "…" full-width, wider than the three
    // full stops that may still fit into a narrow column.
    const QString dots = QStringLiteral("...");
    const QString ellipses[] = {QString(QChar(0x2026)), dots};
    for (int kept = static_cast<int>(title.size()) - 1; kept >= 0; --kept) {
        if (kept > 0 && title.at(kept - 1).isHighSurrogate()) {
            continue; // never split a character
        }
        for (const QString& ellipsis : ellipses) {
            const QString shown = title.left(kept) + ellipsis;
            if (advance(shown) <= width) {
                return {shown, false};
            }
        }
    }
    return {dots, true};
}
