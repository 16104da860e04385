// Pictures of a high-density screen for the tests of the Qt back end: a widget rendered at a
// device pixel ratio, and what it shows checked against the same at ratio 1.
#pragma once

#include "qt/QtGraphics.h"

#include <QImage>
#include <QWidget>

#include <string>
#include <vector>

namespace DeviceImages {

// The widget and its children as a screen of Ratio device pixels per logical pixel shows them.
inline QImage RenderAt(QWidget* Widget, double Ratio) {
    QImage Image(TDeviceMap{Ratio, {}}.Size(Widget->size()), QImage::Format_RGB32);
    Image.setDevicePixelRatio(Ratio);
    Image.fill(Qt::white);
    Widget->render(&Image);
    Image.setDevicePixelRatio(1);
    return Image;
}

// The pixels of Logical, outside Skipped, that Device (the same picture under Map) does not show
// on every device pixel they cover: empty when there are none, else how many and the first.
inline std::string Misplaced(const QImage& Logical, const QImage& Device, const TDeviceMap& Map,
                             const std::vector<QRect>& Skipped = {}) {
    if (Device.size() != Map.Size(Logical.size()))
        return "the device picture is not the logical one's size at the ratio";
    int Count = 0;
    QPoint First;
    for (int Y = 0; Y < Logical.height(); ++Y)
        for (int X = 0; X < Logical.width(); ++X) {
            bool Skip = false;
            for (const QRect& R : Skipped)
                Skip = Skip || R.contains(X, Y);
            const QRect Covered = Map.Rect(Bounds(X, Y, 1, 1));
            bool Same = true;
            for (int DY = Covered.top(); DY <= Covered.bottom(); ++DY)
                for (int DX = Covered.left(); DX <= Covered.right(); ++DX)
                    Same = Same && Device.pixel(DX, DY) == Logical.pixel(X, Y);
            if (!Skip && !Same && Count++ == 0)
                First = {X, Y};
        }
    if (Count == 0)
        return {};
    return std::to_string(Count) + " pixels misplaced, the first at " + std::to_string(First.x()) +
           "," + std::to_string(First.y());
}

// The 2 x 2 blocks in Area of a picture at ratio 2 whose pixels are not all alike: none where
// the picture is a ratio-1 one enlarged.
inline int MixedBlocks(const QImage& Image, const QRect& Area) {
    int Count = 0;
    for (int Y = Area.top() & ~1; Y + 1 <= Area.bottom(); Y += 2)
        for (int X = Area.left() & ~1; X + 1 <= Area.right(); X += 2) {
            const QRgb C = Image.pixel(X, Y);
            Count += Image.pixel(X + 1, Y) != C || Image.pixel(X, Y + 1) != C ||
                     Image.pixel(X + 1, Y + 1) != C;
        }
    return Count;
}

} // namespace DeviceImages
