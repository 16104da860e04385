// Text conversion of the Qt back end: code page 932 through the codec of QtText, UTF-8 through
// QString.
#include "PlatformText.h"

#include "QtText.h"

namespace {

std::u16string Units(const QString& Text) {
    return std::u16string(reinterpret_cast<const char16_t*>(Text.utf16()),
                          static_cast<std::size_t>(Text.size()));
}

// The units themselves, not a copy: the text only lives for the call.
QString View(std::u16string_view Text) {
    return QString::fromRawData(reinterpret_cast<const QChar*>(Text.data()),
                                static_cast<qsizetype>(Text.size()));
}

} // namespace

std::u16string Platform::AnsiToScreen(std::string_view Ansi) {
    return Units(QtText::Decode(Ansi));
}

bool Platform::ScreenToAnsi(std::u16string_view Text, std::string& Out) {
    return QtText::Encode(View(Text), Out);
}

std::u16string Platform::Utf8ToScreen(std::string_view Utf8) {
    return Units(QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())));
}

std::string Platform::ScreenToUtf8(std::u16string_view Text) {
    return View(Text).toStdString();
}
