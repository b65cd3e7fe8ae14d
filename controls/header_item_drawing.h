#pragma once

#include <QPalette>
#include <QString>
#include <functional>
#include <vector>

// Edges of a rectangle as the header lays out its items: right and bottom lie
// one past the last pixel, so width = right - left.
struct HeaderRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct HeaderPoint {
    int x = 0;
    int y = 0;
};

bool operator==(const HeaderRect& a, const HeaderRect& b);
bool operator==(const HeaderPoint& a, const HeaderPoint& b);

// What decides how an owner-drawn header item looks.
struct HeaderItemState {
    HeaderRect rect;
    bool pressed = false;
    int alignment = 0; // Qt::Alignment of the title; only the horizontal part counts
    bool arrowColumn = false;
    bool ascending = true;
};

// A polyline in one pen colour. Like a line drawn point to point, each
// segment covers its start but not its end pixel.
struct HeaderLine {
    QPalette::ColorRole pen = QPalette::Light;
    std::vector<HeaderPoint> points;
};

// Everything an owner-drawn item paints, computed apart from the painting so
// that it can be checked on its own.
struct HeaderItemDrawing {
    HeaderRect clip;                             // nothing is painted outside the item
    QPalette::ColorRole fill = QPalette::Button; // background of the whole item
    bool drawTitle = false;                      // false when the title has no room at all
    HeaderRect titleRect;
    int titleFlags = 0;            // Qt::TextSingleLine | Qt::AlignVCenter | horizontal alignment
    bool elideTitleEnd = true;     // a title too wide ends in an ellipsis
    std::vector<HeaderLine> lines; // the arrow: empty unless this is the arrow column
};

// The pixels of a line from one point to another as a line drawn point to
// point covers them: the start pixel, not the end pixel.
std::vector<HeaderPoint> SegmentPixels(HeaderPoint from, HeaderPoint to);

// The title is inset by a quarter of the item's height on both sides; the
// arrow column keeps three more quarters on the right for the arrow, a
// raised triangle whose apex points up for ascending and down for descending
// order. A pressed item moves its title one pixel right and two down, the
// arrow stays.
HeaderItemDrawing ComputeHeaderItemDrawing(const HeaderItemState& state);

// The title as it fits into a width: whole when it fits, else as many of its
// first characters as fit before an ellipsis, "…" or, where that is too
// wide, "...". When not even a bare ellipsis fits, "..." is drawn anyway,
// cut off at the edge of the title's rectangle so that it never runs into the
// arrow: a sorted narrow column still shows that its title is there.
struct HeaderTitle {
    QString text;
    bool clipToRect = false;
};

HeaderTitle FitHeaderTitle(const QString& title, int width,
                           const std::function<int(const QString&)>& advance);
