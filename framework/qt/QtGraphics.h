// Qt glue of the graphics unit, for the Qt back end and tests only: colours, fonts and
// rectangles in Qt's terms, and what the images and fonts of the platform interface hold.
#pragma once

#include "Graphics.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPointF>
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
// How the device pixels of an image lie under logical coordinates: Ratio device pixels to a
// logical pixel, and the image's origin Phase device pixels off the device grid of the window
// it is shown in (less than half a pixel; widgets at fractional ratios start between device
// pixels). Edges are rounded, not sizes, so rectangles that meet, in one widget or in two side
// by side, meet on the device too.
struct TDeviceMap {
    double Ratio = 1;
    QPointF Phase;

    bool operator==(const TDeviceMap&) const = default;
    bool Identity() const { return Ratio == 1 && Phase.isNull(); }
    int X(int V) const { return Edge(V, Phase.x()); }
    int Y(int V) const { return Edge(V, Phase.y()); }
    QRect Rect(const TRect& R) const {
        const int Left = X(R.Left), Top = Y(R.Top);
        return QRect(Left, Top, X(R.Right) - Left, Y(R.Bottom) - Top);
    }
    QSize Size(QSize Logical) const { return {X(Logical.width()), Y(Logical.height())}; }
    // The logical extent of Device pixels from the origin: the inverse of X and Y.
    int LogicalX(int Device) const { return Logical(Device, Phase.x()); }
    int LogicalY(int Device) const { return Logical(Device, Phase.y()); }
    // The map of a widget whose origin the painter puts at device point Origin.
    static TDeviceMap At(double Ratio, QPointF Origin) {
        return {Ratio,
                Origin - QPointF(std::floor(Origin.x() + 0.5), std::floor(Origin.y() + 0.5))};
    }

private:
    int Edge(int V, double Shift) const {
        return Identity() ? V : static_cast<int>(std::floor(V * Ratio + Shift + 0.5));
    }
    int Logical(int Device, double Shift) const {
        return Identity() ? Device : static_cast<int>(std::floor((Device - Shift) / Ratio + 0.5));
    }
};

struct TPlatformImage {
    QImage Image;
    // A larger picture of the same from a file that holds several sizes (an icon), with the
    // cache key Image had then: it stands for Image on a device with more pixels while Image is
    // unchanged.
    QImage Large;
    qint64 LargeOf = 0;
    const QImage& Picture(double Ratio) const {
        return Ratio > 1 && !Large.isNull() && Image.cacheKey() == LargeOf ? Large : Image;
    }
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
    // logical coordinates, which Device maps onto Image's pixels.
    static void BeginPaint(TCanvas& Canvas, QImage& Image, TPoint Offset = {},
                           const TDeviceMap& Device = {});
    static void EndPaint(TCanvas& Canvas);
    static const QImage& Image(const TGraphic& Graphic) { return Graphic.Image().Image; }
    static QImage& Image(TBitmap& Bitmap) { return Bitmap.FImage->Image; }
};
