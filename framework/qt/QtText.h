// The code page 932 codec of the Qt back end: code page 932 bytes to and from QString, where
// the back end meets Qt widgets. Included only by the back end's files.
#pragma once

#include "SysUtils.h"

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace QtText {

// The platform's name of code page 932.
constexpr const char* CodecName = "windows-31j";
constexpr char16_t ReplacementChar = 0xFFFD;
// The code page's converter marks bytes it cannot decode with this character.
constexpr char16_t SubstituteChar = 0x1A;

// Bytes that do not decode become replacement characters; nothing is dropped or raised.
inline QString Decode(std::string_view Ansi) {
    thread_local QStringDecoder Decoder(CodecName, QStringConverter::Flag::Stateless);
    QString Text = Decoder.decode(QByteArrayView(Ansi.data(), static_cast<qsizetype>(Ansi.size())));
    Decoder.resetState();
    Text.replace(QChar(SubstituteChar), QChar(ReplacementChar));
    if (::EndsInsideCharacter(Ansi))
        Text.append(QChar(ReplacementChar));
    return Text;
}

// The first bytes of the text that make at most MaxBytes, without splitting a character: enough
// of a long text for a place that shows only its start.
inline std::string_view Head(std::string_view Ansi, std::size_t MaxBytes) {
    if (Ansi.size() <= MaxBytes)
        return Ansi;
    std::size_t I = 0;
    while (I < MaxBytes) {
        const std::size_t Next = I + (::IsLeadByte(Ansi[I]) ? 2 : 1);
        if (Next > MaxBytes)
            break;
        I = Next;
    }
    return Ansi.substr(0, I);
}

// Bytes enough for a line of text Width pixels wide: no character is narrower than a pixel or
// longer than two bytes, and a few more leave room for the platform's ellipsis.
inline std::size_t BytesForWidth(int Width) {
    constexpr std::size_t Margin = 16;
    return 2 * static_cast<std::size_t>(std::max(Width, 0)) + Margin;
}

// False when the text holds a character that the code page cannot hold; Out then has "?" for it.
inline bool Encode(const QString& Text, AnsiString& Out) {
    Out.clear();
    QStringEncoder Encoder(CodecName, QStringConverter::Flag::Stateless);
    const QByteArray Whole = Encoder.encode(Text);
    if (!Encoder.hasError()) {
        Out.assign(Whole.constData(), static_cast<std::size_t>(Whole.size()));
        return true;
    }
    // A converter that has met an error fails on all that follows, even once reset: each
    // character gets a fresh one.
    bool Exact = true;
    for (qsizetype I = 0; I < Text.size();) {
        const bool Pair =
            Text.at(I).isHighSurrogate() && I + 1 < Text.size() && Text.at(I + 1).isLowSurrogate();
        const qsizetype Length = Pair ? 2 : 1;
        QStringEncoder One(CodecName, QStringConverter::Flag::Stateless);
        const QByteArray Bytes = One.encode(QStringView(Text).mid(I, Length));
        if (One.hasError() || Bytes.isEmpty()) {
            Out += '?';
            Exact = false;
        } else {
            Out.append(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
        }
        I += Length;
    }
    return Exact;
}

inline AnsiString Encode(const QString& Text) {
    AnsiString Out;
    Encode(Text, Out);
    return Out;
}

} // namespace QtText
