#pragma once

#include <QColor>

// The text colour of a failing row, in the attribute table (rank 1) and in
// the self-test log alike.
inline QColor FailingRowColor() {
    return QColor(250, 0, 0);
}
