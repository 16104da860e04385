// The Qt back end of the platform's images: a QImage of 32 bits, premultiplied where it has an
// alpha channel.
#include "PlatformCanvas.h"
#include "QtGraphics.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <string_view>

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
    Dest.Large = Source.Large;
    Dest.LargeOf = Source.LargeOf;
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

// The first picture of the file is the image; of an icon file of several sizes, the largest of
// the others, if larger, is its larger picture.
bool Platform::LoadImage(TPlatformImage& Image, const std::string& Bytes) {
    QByteArray Data = QByteArray::fromRawData(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
    QBuffer Buffer(&Data);
    Buffer.open(QIODevice::ReadOnly);
    QImageReader Reader(&Buffer);
    const QImage Loaded = Reader.read();
    if (Loaded.isNull())
        return false;
    QImage Large;
    const bool Icon = Bytes.starts_with(std::string_view("\0\0\1\0", 4));
    while (Icon && Reader.jumpToNextImage()) {
        const QImage Next = Reader.read();
        if (Next.width() > std::max(Loaded.width(), Large.width()))
            Large = Next.convertToFormat(FormatFor(Next));
    }
    Image.Image = Loaded.convertToFormat(FormatFor(Loaded));
    Image.Large = Large;
    Image.LargeOf = Image.Image.cacheKey();
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
