#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

// The dialogs' font: "ＭＳ Ｐゴシック" where it exists, else IPA P Gothic,
// else the system's sans-serif, at 9 points.
QFont DialogFont();

// Converts dialog template units to pixels with a font's metrics, the way
// dialog templates are laid out: x = units * average character width / 4,
// y = units * character height / 8, each edge rounded on its own.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);
    CDialogUnits(int baseX, int baseY);

    int BaseX() const { return m_nBaseX; }
    int BaseY() const { return m_nBaseY; }

    QRect MapRect(int x, int y, int cx, int cy) const;
    QSize MapSize(int cx, int cy) const;
    // Gives widget the template's position and size.
    void Place(QWidget& widget, int x, int y, int cx, int cy) const;

    // a * b / c rounded half away from zero, in 64-bit arithmetic.
    static int MulDiv(int a, int b, int c);

private:
    int m_nBaseX;
    int m_nBaseY;
};
