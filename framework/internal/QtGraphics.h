// Qt glue of the graphics unit, for the layer's own .cpp files only: colours, fonts and
// rectangles in Qt's terms.
#pragma once

#include "Graphics.h"

#include <QColor>
#include <QFont>
#include <QRect>

QColor ToQColor(TColor Color);
// The font a widget or painter uses for Font; a name that is not installed stands for an
// installed font.
QFont ToQFont(const TFont& Font);
inline QRect ToQRect(const TRect& R) {
    return QRect(R.Left, R.Top, R.Width(), R.Height());
}
inline TRect FromQRect(const QRect& R) {
    return Bounds(R.x(), R.y(), R.width(), R.height());
}
