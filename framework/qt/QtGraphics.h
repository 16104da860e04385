// Qt glue of the graphics unit, for the Qt back end and tests only: colours, fonts and
// rectangles in Qt's terms, and what the images and fonts of the platform interface hold.
#pragma once

#include "Graphics.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QRect>

#include <cmath>

QColor ToQColor(TColor Color);
inline QColor RGBToQColor(Platform::TRGB RGB) {
    return QColor(GetRValue(RGB), GetGValue(RGB), GetBValue(RGB));
}
// The font a widget or painter uses for Font; a name that is not installed stands for an
// installed font.
QFont ToQFont(const TFont& Font);
QFont ToQFont(const Platform::TFontDesc& Desc);
inline QRect ToQRect(const TRect& R) {
    return QRect(R.Left, R.Top, R.Width(), R.Height());
}
inline TRect FromQRect(const QRect& R) {
    return Bounds(R.x(), R.y(), R.width(), R.height());
}
// Where a logical coordinate lies on an image of Ratio device pixels per logical pixel. Edges
// are rounded, not the sizes, so rectangles that meet meet on the image too.
inline int ToDevice(int V, double Ratio) {
    return Ratio == 1 ? V : static_cast<int>(std::floor(V * Ratio + 0.5));
}
inline QRect ToDeviceRect(const TRect& R, double Ratio) {
    const int Left = ToDevice(R.Left, Ratio), Top = ToDevice(R.Top, Ratio);
    return QRect(Left, Top, ToDevice(R.Right, Ratio) - Left, ToDevice(R.Bottom, Ratio) - Top);
}
inline QSize ToDeviceSize(QSize Logical, double Ratio) {
    return QSize(ToDevice(Logical.width(), Ratio), ToDevice(Logical.height(), Ratio));
}
// The logical length that a device length stands for: the inverse of ToDevice.
inline int FromDevice(int V, double Ratio) {
    return Ratio == 1 ? V : static_cast<int>(std::floor(V / Ratio + 0.5));
}

struct TPlatformImage {
    QImage Image;
};

struct TPlatformFont {
    explicit TPlatformFont(const QFont& AFont) : Font(AFont), Metrics(AFont) {}
    QFont Font;
    QFontMetrics Metrics;
};

// What the layer's platform side reaches of canvases and graphics: the images they paint on.
class TGraphicsAccess {
public:
    // Binds Canvas to Image for the time of a paint; Offset moves the origin. The canvas keeps
    // logical coordinates; Image has Ratio device pixels per logical pixel.
    static void BeginPaint(TCanvas& Canvas, QImage& Image, TPoint Offset = {}, double Ratio = 1);
    static void EndPaint(TCanvas& Canvas);
    static const QImage& Image(const TGraphic& Graphic) { return Graphic.Image().Image; }
    static QImage& Image(TBitmap& Bitmap) { return Bitmap.FImage->Image; }
};
