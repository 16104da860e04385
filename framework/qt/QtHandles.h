// Qt glue of the platform's window handles, for the layer's own .cpp files and tests only: a
// TPlatformWidget is a QWidget that the public headers hand about without naming Qt.
#pragma once

#include "WinTypes.h"

#include <QWidget>

template <class W = QWidget> W* QtWidget(TPlatformWidget* Handle) {
    return static_cast<W*>(reinterpret_cast<QWidget*>(Handle));
}
inline TPlatformWidget* PlatformWidget(QWidget* Widget) {
    return reinterpret_cast<TPlatformWidget*>(Widget);
}
