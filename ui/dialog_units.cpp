#include "ui/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>
#include <cstdint>

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(9);
    return font;
}

namespace {

// The average character width is that of the 52 Latin letters, rounded.
int AverageCharWidth(const QFontMetrics& metrics) {
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (width / 26 + 1) / 2;
}

} // namespace

CDialogUnits::CDialogUnits(const QFont& font)
    : m_nBaseX(AverageCharWidth(QFontMetrics(font))), m_nBaseY(QFontMetrics(font).height()) {}

CDialogUnits::CDialogUnits(int baseX, int baseY) : m_nBaseX(baseX), m_nBaseY(baseY) {}

int CDialogUnits::MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = (c > 0 ? c : -c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (c > 0 ? c : -c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

QRect CDialogUnits::MapRect(int x, int y, int cx, int cy) const {
    const int left = MulDiv(x, m_nBaseX, 4);
    const int top = MulDiv(y, m_nBaseY, 8);
    const int right = MulDiv(x + cx, m_nBaseX, 4);
    const int bottom = MulDiv(y + cy, m_nBaseY, 8);
    return QRect(left, top, right - left, bottom - top);
}

QSize CDialogUnits::MapSize(int cx, int cy) const {
    return QSize(MulDiv(cx, m_nBaseX, 4), MulDiv(cy, m_nBaseY, 8));
}

void CDialogUnits::Place(QWidget& widget, int x, int y, int cx, int cy) const {
    widget.setGeometry(MapRect(x, y, cx, cy));
}
