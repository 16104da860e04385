// The Win32 back end of the platform's images: 32-bit DIB sections, read through WIC and
// written as PNG by hand (stored deflate blocks: the files need not be small).
#include "Win32Api.h"
#include "Win32Graphics.h"

#include <wincodec.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>

namespace {

std::int64_t NextVersion() {
    static std::atomic<std::int64_t> Counter{0};
    return ++Counter;
}

// What a memory DC holds before it is given pixels: its own 1 x 1 monochrome bitmap.
HGDIOBJ DefaultBitmap() {
    static const HGDIOBJ Bitmap = [] {
        const HDC Dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ Held = GetCurrentObject(Dc, OBJ_BITMAP);
        DeleteDC(Dc);
        return Held;
    }();
    return Bitmap;
}

// A white top-down DIB section of Width x Height pixels.
HBITMAP NewPixels(int Width, int Height, std::uint32_t*& Bits) {
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    void* Pixels = nullptr;
    HBITMAP Bitmap = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Pixels, nullptr, 0);
    if (!Bitmap)
        throw std::bad_alloc();
    Bits = static_cast<std::uint32_t*>(Pixels);
    std::fill_n(Bits, std::size_t(Width) * std::size_t(Height), 0xFFFFFFFFu);
    return Bitmap;
}

// Image takes Bitmap as its pixels (nullptr: none) and frees the old ones.
void Adopt(TPlatformImage& Image, HBITMAP Bitmap, std::uint32_t* Bits, int Width, int Height) {
    if (Bitmap && !Image.Dc)
        Image.Dc = CreateCompatibleDC(nullptr);
    if (Image.Dc)
        SelectObject(Image.Dc, Bitmap ? Bitmap : DefaultBitmap());
    if (!Bitmap && Image.Dc) {
        DeleteDC(Image.Dc);
        Image.Dc = nullptr;
    }
    if (Image.Bitmap)
        DeleteObject(Image.Bitmap);
    Image.Bitmap = Bitmap;
    Image.Bits = Bits;
    Image.Width = Bitmap ? Width : 0;
    Image.Height = Bitmap ? Height : 0;
}

// Makes Image Width x Height (empty when either is 0 or less), all white.
void Reshape(TPlatformImage& Image, int Width, int Height) {
    std::uint32_t* Bits = nullptr;
    HBITMAP Bitmap = Width > 0 && Height > 0 ? NewPixels(Width, Height, Bits) : nullptr;
    Adopt(Image, Bitmap, Bits, Width, Height);
}

// ---- Reading through WIC

template <class T> struct TComPtr {
    TComPtr() = default;
    TComPtr(const TComPtr&) = delete;
    TComPtr& operator=(const TComPtr&) = delete;
    ~TComPtr() {
        if (P)
            P->Release();
    }
    T* operator->() const { return P; }
    T** operator&() { return &P; }
    T* P = nullptr;
};

// COM for the time of a call; a thread that has it already keeps its own.
struct TComScope {
    TComScope() : Initialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;
    ~TComScope() {
        if (Initialized)
            CoUninitialize();
    }
    bool Initialized;
};

// Far beyond any image of the programs, and within what a DIB section takes.
constexpr UINT MaxSide = 16384;

// The first frame of Bytes as premultiplied 32-bit pixels into Image; false when no decoder
// reads it.
bool Decode(TPlatformImage& Image, const std::string& Bytes) {
    const TComScope Com;
    TComPtr<IWICImagingFactory> Factory;
    TComPtr<IWICStream> Stream;
    TComPtr<IWICBitmapDecoder> Decoder;
    TComPtr<IWICBitmapFrameDecode> Frame;
    TComPtr<IWICBitmapSource> Pixels;
    UINT Width = 0, Height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&Factory))) ||
        FAILED(Factory->CreateStream(&Stream)) ||
        FAILED(Stream->InitializeFromMemory(
            reinterpret_cast<BYTE*>(const_cast<char*>(Bytes.data())), DWORD(Bytes.size()))) ||
        FAILED(Factory->CreateDecoderFromStream(Stream.P, nullptr, WICDecodeMetadataCacheOnDemand,
                                                &Decoder)) ||
        FAILED(Decoder->GetFrame(0, &Frame)) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, Frame.P, &Pixels)) ||
        FAILED(Pixels->GetSize(&Width, &Height)) || Width == 0 || Height == 0 || Width > MaxSide ||
        Height > MaxSide)
        return false;
    std::uint32_t* Bits = nullptr;
    HBITMAP Bitmap = NewPixels(int(Width), int(Height), Bits);
    if (FAILED(Pixels->CopyPixels(nullptr, Width * 4, Width * Height * 4,
                                  reinterpret_cast<BYTE*>(Bits)))) {
        DeleteObject(Bitmap);
        return false;
    }
    Adopt(Image, Bitmap, Bits, int(Width), int(Height));
    std::uint32_t* End = Image.Bits + std::size_t(Width) * Height;
    Image.HasAlpha = std::any_of(Image.Bits, End, [](std::uint32_t P) { return P < 0xFF000000u; });
    return true;
}

// ---- Writing PNG

std::uint32_t Crc32(const std::string& Bytes, std::size_t From) {
    static const std::array<std::uint32_t, 256> Table = [] {
        std::array<std::uint32_t, 256> T{};
        for (std::uint32_t N = 0; N < 256; ++N) {
            std::uint32_t C = N;
            for (int K = 0; K < 8; ++K)
                C = C & 1 ? 0xEDB88320u ^ (C >> 1) : C >> 1;
            T[N] = C;
        }
        return T;
    }();
    std::uint32_t C = 0xFFFFFFFFu;
    for (std::size_t I = From; I < Bytes.size(); ++I)
        C = Table[(C ^ static_cast<unsigned char>(Bytes[I])) & 0xFF] ^ (C >> 8);
    return C ^ 0xFFFFFFFFu;
}

void PutBE(std::string& Out, std::uint32_t Value) {
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Out += static_cast<char>((Value >> Shift) & 0xFF);
}

void PutChunk(std::string& Out, const char* Type, const std::string& Data) {
    PutBE(Out, static_cast<std::uint32_t>(Data.size()));
    const std::size_t Start = Out.size();
    Out += Type;
    Out += Data;
    PutBE(Out, Crc32(Out, Start));
}

// Raw as a zlib stream of stored blocks.
std::string Stored(const std::string& Raw) {
    constexpr std::size_t MaxBlock = 65535;
    std::string Out = "\x78\x01";
    std::uint32_t A = 1, B = 0;
    for (const char C : Raw) {
        A = (A + static_cast<unsigned char>(C)) % 65521;
        B = (B + A) % 65521;
    }
    std::size_t At = 0;
    do {
        const std::size_t Length = std::min(MaxBlock, Raw.size() - At);
        Out += static_cast<char>(At + Length == Raw.size() ? 1 : 0);
        Out += static_cast<char>(Length & 0xFF);
        Out += static_cast<char>(Length >> 8);
        Out += static_cast<char>(~Length & 0xFF);
        Out += static_cast<char>((~Length >> 8) & 0xFF);
        Out.append(Raw, At, Length);
        At += Length;
    } while (At < Raw.size());
    PutBE(Out, (B << 16) | A);
    return Out;
}

// The rows with filter 0, as RGB, or as RGBA with the colour no longer premultiplied.
std::string Scanlines(const TPlatformImage& Image) {
    std::string Raw;
    Raw.reserve(std::size_t(Image.Height) * (1 + std::size_t(Image.Width) * 4));
    for (int Y = 0; Y < Image.Height; ++Y) {
        Raw += '\0';
        const std::uint32_t* Row = Image.Bits + std::size_t(Y) * Image.Width;
        for (int X = 0; X < Image.Width; ++X) {
            const std::uint32_t P = Row[X];
            const unsigned Alpha = Image.HasAlpha ? P >> 24 : 255;
            for (const int Shift : {16, 8, 0}) {
                const unsigned C = (P >> Shift) & 0xFF;
                Raw += static_cast<char>(Alpha ? std::min(255u, (C * 255 + Alpha / 2) / Alpha) : 0);
            }
            if (Image.HasAlpha)
                Raw += static_cast<char>(Alpha);
        }
    }
    return Raw;
}

} // namespace

TPlatformImage::~TPlatformImage() {
    Adopt(*this, nullptr, nullptr, 0, 0);
}

void ImageChanged(TPlatformImage& Image) {
    Image.Version = NextVersion();
}

void Platform::TImageDelete::operator()(TPlatformImage* Image) const noexcept {
    delete Image;
}

Platform::TImagePtr Platform::NewImage() {
    TImagePtr Image(new TPlatformImage);
    ImageChanged(*Image);
    return Image;
}

int Platform::ImageWidth(const TPlatformImage& Image) {
    return Image.Width;
}

int Platform::ImageHeight(const TPlatformImage& Image) {
    return Image.Height;
}

bool Platform::ImageEmpty(const TPlatformImage& Image) {
    return !Image.Bits;
}

void Platform::CopyImage(TPlatformImage& Dest, const TPlatformImage& Source) {
    if (&Dest == &Source)
        return;
    GdiFlush();
    Reshape(Dest, Source.Width, Source.Height);
    if (Source.Bits)
        std::memcpy(Dest.Bits, Source.Bits, std::size_t(Source.Width) * Source.Height * 4);
    Dest.HasAlpha = Source.HasAlpha;
    Dest.Version = Source.Version;
}

void Platform::ResizeImage(TPlatformImage& Image, int Width, int Height) {
    GdiFlush();
    std::uint32_t* Bits = nullptr;
    HBITMAP Bitmap = Width > 0 && Height > 0 ? NewPixels(Width, Height, Bits) : nullptr;
    const int Rows = std::min(Height, Image.Height), Columns = std::min(Width, Image.Width);
    for (int Y = 0; Y < Rows; ++Y)
        std::memcpy(Bits + std::size_t(Y) * Width, Image.Bits + std::size_t(Y) * Image.Width,
                    std::size_t(Columns) * 4);
    Adopt(Image, Bitmap, Bits, Width, Height);
    ImageChanged(Image);
}

bool Platform::LoadImage(TPlatformImage& Image, const std::string& Bytes) {
    if (Bytes.empty() || !Decode(Image, Bytes))
        return false;
    ImageChanged(Image);
    return true;
}

std::string Platform::SaveImagePng(const TPlatformImage& Image) {
    if (!Image.Bits)
        return {};
    GdiFlush();
    std::string Header;
    PutBE(Header, static_cast<std::uint32_t>(Image.Width));
    PutBE(Header, static_cast<std::uint32_t>(Image.Height));
    Header += '\x08';                           // bits per channel
    Header += Image.HasAlpha ? '\x06' : '\x02'; // RGBA or RGB
    Header.append(3, '\0');                     // deflate, adaptive filters, no interlace
    std::string Out = "\x89PNG\r\n\x1a\n";
    PutChunk(Out, "IHDR", Header);
    PutChunk(Out, "IDAT", Stored(Scanlines(Image)));
    PutChunk(Out, "IEND", {});
    return Out;
}

std::int64_t Platform::ImageVersion(const TPlatformImage& Image) {
    return Image.Version;
}
