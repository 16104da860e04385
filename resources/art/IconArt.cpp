// Draws the icons of the command buttons and of the two programs (32 x 32, one family: a round
// badge with a white sign; the command buttons' also at 64 x 64 for high-density screens) and
// the 32 x 32 one-bit hand cursor, and writes them as icon, image and cursor files.
// Usage: icon_art <resources folder>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cstdio>
#include <functional>
#include <tuple>

namespace {

constexpr int Size = 32;

// A badge: a circle in Base with a darker rim and a lighter upper half, then the sign; drawn
// Scale times as large.
QImage Badge(QColor Base, const std::function<void(QPainter&)>& Sign, int Scale = 1) {
    QImage Image(Size * Scale, Size * Scale, QImage::Format_ARGB32);
    Image.fill(Qt::transparent);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing);
    P.scale(Scale, Scale);
    QLinearGradient Fill(0, 1, 0, 31);
    Fill.setColorAt(0, Base.lighter(135));
    Fill.setColorAt(1, Base.darker(115));
    P.setPen(QPen(Base.darker(170), 1.5));
    P.setBrush(Fill);
    P.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(255, 255, 255, 60));
    P.drawEllipse(QRectF(6, 3.5, 20, 11));
    P.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    P.setBrush(Qt::NoBrush);
    Sign(P);
    return Image;
}

void Question(QPainter& P) {
    QPainterPath Hook;
    Hook.moveTo(11.5, 12);
    Hook.cubicTo(11.5, 6.5, 20.5, 6.5, 20.5, 11.5);
    Hook.cubicTo(20.5, 15, 16, 15.5, 16, 19);
    P.drawPath(Hook);
    P.setPen(Qt::NoPen);
    P.setBrush(Qt::white);
    P.drawEllipse(QPointF(16, 24), 2.1, 2.1);
}

void Check(QPainter& P) {
    P.drawPolyline(QPolygonF({QPointF(9, 16.5), QPointF(14, 21.5), QPointF(23, 10.5)}));
}

void Cross(QPainter& P) {
    P.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
    P.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
}

// The product's mark: a Q.
void Mark(QPainter& P) {
    P.drawEllipse(QRectF(9, 8.5, 14, 14));
    P.drawLine(QPointF(18.5, 19), QPointF(23, 24));
}

// A sheet of rows and columns: the delimited file the programs read.
void Sheet(QPainter& P) {
    P.setPen(QPen(Qt::white, 1.6));
    P.drawRect(QRectF(9, 9, 14, 14));
    P.drawLine(QPointF(9, 13.7), QPointF(23, 13.7));
    P.drawLine(QPointF(9, 18.3), QPointF(23, 18.3));
    P.drawLine(QPointF(14, 9), QPointF(14, 23));
}

void Put16(QByteArray& Out, int Value) {
    Out.append(char(Value & 0xFF)).append(char((Value >> 8) & 0xFF));
}

void Put32(QByteArray& Out, int Value) {
    Put16(Out, Value & 0xFFFF);
    Put16(Out, (Value >> 16) & 0xFFFF);
}

// An icon file of two images: Small as the toolkit writes it (the one a reader takes first)
// and Large as a PNG entry.
bool WriteIcon(const QImage& Small, const QImage& Large, const QString& Path) {
    constexpr int HeaderSize = 6, EntrySize = 16;
    QByteArray Single, Png;
    QBuffer SingleBuffer(&Single), PngBuffer(&Png);
    SingleBuffer.open(QIODevice::WriteOnly);
    PngBuffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&SingleBuffer, "ico").write(Small) || !Large.save(&PngBuffer, "png"))
        return false;
    const QByteArray SmallData = Single.mid(HeaderSize + EntrySize);
    const int DataStart = HeaderSize + 2 * EntrySize;
    QByteArray File;
    Put16(File, 0);
    Put16(File, 1);
    Put16(File, 2);
    File.append(Single.mid(HeaderSize, 8)); // size, colours, planes and bits of the small image
    Put32(File, static_cast<int>(SmallData.size()));
    Put32(File, DataStart);
    File.append(char(Large.width())).append(char(Large.height())).append(char(0)).append(char(0));
    Put16(File, 1);
    Put16(File, 32);
    Put32(File, static_cast<int>(Png.size()));
    Put32(File, DataStart + static_cast<int>(SmallData.size()));
    QFile Out(Path);
    return Out.open(QIODevice::WriteOnly) && Out.write(File + SmallData + Png) > 0;
}

// The hand: white fingers, palm and thumb; black where a pixel outside touches one inside.
// The index finger points up, its tip at (7, 1).
bool InHand(int X, int Y) {
    struct TBox {
        int Left, Top, Right, Bottom; // inclusive
    };
    static constexpr std::array<TBox, 9> Boxes{{
        {7, 2, 8, 15},    // index finger
        {10, 8, 11, 15},  // middle finger
        {13, 9, 14, 15},  // ring finger
        {16, 10, 17, 16}, // little finger
        {5, 15, 17, 21},  // palm
        {3, 13, 4, 16},   // thumb
        {2, 12, 3, 14},
        {4, 17, 5, 18},
        {6, 22, 16, 24}, // wrist
    }};
    for (const TBox& B : Boxes)
        if (X >= B.Left && X <= B.Right && Y >= B.Top && Y <= B.Bottom)
            return true;
    return false;
}

bool OnOutline(int X, int Y) {
    return !InHand(X, Y) &&
           (InHand(X - 1, Y) || InHand(X + 1, Y) || InHand(X, Y - 1) || InHand(X, Y + 1));
}

// One 1-bit image: header, a black and a white palette entry, colour rows then mask rows,
// both bottom-up; a transparent pixel has mask 1 and colour 0.
QByteArray CursorFile(int HotX, int HotY) {
    QByteArray Image;
    Put32(Image, 40);
    Put32(Image, Size);
    Put32(Image, 2 * Size);
    Put16(Image, 1);
    Put16(Image, 1);
    for (int I = 0; I < 6; ++I)
        Put32(Image, 0);
    Put32(Image, 0);
    Put32(Image, 0x00FFFFFF);
    auto Rows = [&](const std::function<bool(int, int)>& Bit) {
        for (int Y = Size - 1; Y >= 0; --Y)
            for (int Byte = 0; Byte < Size / 8; ++Byte) {
                int Value = 0;
                for (int B = 0; B < 8; ++B)
                    Value = Value << 1 | Bit(Byte * 8 + B, Y);
                Image.append(char(Value));
            }
    };
    Rows([](int X, int Y) { return InHand(X, Y); });
    Rows([](int X, int Y) { return !InHand(X, Y) && !OnOutline(X, Y); });
    QByteArray File;
    Put16(File, 0);
    Put16(File, 2);
    Put16(File, 1);
    File.append(char(Size)).append(char(Size)).append(char(2)).append(char(0));
    Put16(File, HotX);
    Put16(File, HotY);
    Put32(File, static_cast<int>(Image.size()));
    Put32(File, 22);
    return File + Image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication App(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon_art <resources folder>\n");
        return 2;
    }
    const QString Dir = QString::fromLocal8Bit(argv[1]);
    const QColor Navy(40, 62, 120), Slate(83, 85, 108), Blue(30, 110, 200), Green(40, 150, 70),
        Red(200, 50, 45);
    using TSign = std::function<void(QPainter&)>;
    const std::tuple<const char*, QColor, TSign> Icons[] = {
        {"Mark", Navy, Mark},     {"Sheet", Slate.lighter(130), Sheet},
        {"Help", Blue, Question}, {"Execute", Green, Check},
        {"Cancel", Red, Cross},
    };
    bool Ok = true;
    for (const auto& [Name, Base, Sign] : Icons)
        Ok &= WriteIcon(Badge(Base, Sign), Badge(Base, Sign, 2), Dir + "/icons/" + Name + ".ico");
    // The programs' icons for the desktop menu: the sheet they read, in each program's colour.
    const std::pair<const char*, QImage> ProgramIcons[] = {
        {"quovant-morvane", Badge(Navy, Sheet)},
        {"quovant-pellisk", Badge(QColor(170, 100, 30), Sheet)},
    };
    for (const auto& [Name, Image] : ProgramIcons)
        Ok &= Image.save(Dir + "/icons/" + Name + ".png", "png");
    QFile Cursor(Dir + "/cursors/HANDPOINT.cur");
    Ok &= Cursor.open(QIODevice::WriteOnly) && Cursor.write(CursorFile(7, 1)) > 0;
    return Ok ? 0 : 1;
}
