// The Qt back end of the platform's images: a QImage of 32 bits, premultiplied where it has an
// alpha channel.
#include "PlatformCanvas.h"
#include "QtGraphics.h"

#include <QBuffer>
#include <QPainter>

namespace {

QImage::Format FormatFor(const QImage& Image) {
    return Image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

} // namespace

void Platform::TImageDelete::operator()(TPlatformImage* Image) const noexcept {
    delete Image;
}

Platform::TImagePtr Platform::NewImage() {
    return TImagePtr(new TPlatformImage);
}

int Platform::ImageWidth(const TPlatformImage& Image) {
    return Image.Image.width();
}

int Platform::ImageHeight(const TPlatformImage& Image) {
    return Image.Image.height();
}

bool Platform::ImageEmpty(const TPlatformImage& Image) {
    return Image.Image.isNull();
}

// Shared until either side paints: QImage copies on write.
void Platform::CopyImage(TPlatformImage& Dest, const TPlatformImage& Source) {
    Dest.Image = Source.Image;
}

void Platform::ResizeImage(TPlatformImage& Image, int Width, int Height) {
    QImage Resized(std::max(Width, 0), std::max(Height, 0), FormatFor(Image.Image));
    if (!Resized.isNull()) {
        Resized.fill(Qt::white);
        QPainter P(&Resized);
        P.setCompositionMode(QPainter::CompositionMode_Source);
        P.drawImage(0, 0, Image.Image);
    }
    Image.Image = Resized;
}

bool Platform::LoadImage(TPlatformImage& Image, const std::string& Bytes) {
    QImage Loaded;
    if (!Loaded.loadFromData(reinterpret_cast<const uchar*>(Bytes.data()),
                             static_cast<int>(Bytes.size())))
        return false;
    Image.Image = Loaded.convertToFormat(FormatFor(Loaded));
    return true;
}

std::string Platform::SaveImagePng(const TPlatformImage& Image) {
    if (Image.Image.isNull())
        return {};
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Image.Image.save(&Buffer, "PNG");
    return Bytes.toStdString();
}

std::int64_t Platform::ImageVersion(const TPlatformImage& Image) {
    return Image.Image.cacheKey();
}
