// What the test driver shares with the test support on Qt.
#pragma once

#include "Graphics.h"

#include <QWidget>
#include <memory>

namespace TestSupport {

// The widget as the screen shows it, in a bitmap of the layer's pixel format.
std::unique_ptr<TBitmap> Grab(QWidget* Widget);

} // namespace TestSupport
