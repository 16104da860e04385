// The binary form format and its text form, both ways, on good and on broken data.
#include "FormConvert.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

std::string Hex(std::size_t Count) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string Out;
    for (std::size_t I = 0; I < Count; ++I)
        Out += std::string{Digits[I / 16 % 16], Digits[I % 16]};
    return Out;
}

// Every value type, in the text that the conversion writes, so that it must come back unchanged.
const AnsiString EveryValueType = "object Root: TRoot\n"
                                  "  Null1 = Null\n"
                                  "  Nil1 = nil\n"
                                  "  end = 1\n"
                                  "  object = 2\n"
                                  "  No = False\n"
                                  "  Yes = True\n"
                                  "  Small = -128\n"
                                  "  Medium = 32767\n"
                                  "  Large = -2147483648\n"
                                  "  Huge = 9223372036854775807\n"
                                  "  Unsigned = 18446744073709551615\n"
                                  "  Extended = 0.1\n"
                                  "  Exponent = -2.5e+100\n"
                                  "  Whole = 3.0\n"
                                  "  Subnormal = 1.380013649745411916e-4933\n"
                                  "  Infinite = -INF\n"
                                  "  NotANumber = NANs\n"
                                  "  Single = 2.5s\n"
                                  "  Money = -12.3456c\n"
                                  "  When = 45000.25d\n"
                                  "  Text = 'It''s'#13#10'テキスト ｱｲｳ'\n"
                                  "  Wide = '漢字'#54620#233#128512#65279#7\n"
                                  "  Long = '"_sj +
                                  std::string(300, 'x') +
                                  "'\n"
                                  "  Color = clBtnFace\n"
                                  "  Options = [goEditing, goTabs]\n"
                                  "  Empty = []\n"
                                  "  Items.Strings = (\n"
                                  "    'a'\n"
                                  "    (\n"
                                  "      1\n"
                                  "      'b')\n"
                                  "    ())\n"
                                  "  Params = <\n"
                                  "    item\n"
                                  "      Col = 1\n"
                                  "    end\n"
                                  "    item [3]\n"
                                  "      Col = 2\n"
                                  "      Nested = <>\n"
                                  "    end>\n"
                                  "  Data = {\n"
                                  "    " +
                                  Hex(32) + "\n    " + Hex(40).substr(64) +
                                  "}\n"
                                  "  NoData = {}\n"
                                  "  object Child: TChild [2]\n"
                                  "  end\n"
                                  "  inherited Base: TBase\n"
                                  "    object TUnnamed\n"
                                  "    end\n"
                                  "  end\n"
                                  "  inline Frame1: TFrame\n"
                                  "  end\n"
                                  "end\n";

TEST(FormConvert, EveryValueTypeComesBackUnchangedBothWays) {
    const std::string Image = ObjectTextToBinary(EveryValueType);
    EXPECT_EQ(ObjectBinaryToText(Image), EveryValueType);
    EXPECT_EQ(ObjectTextToBinary(ObjectBinaryToText(Image)), Image);
    const std::string Resource = ObjectTextToResource(EveryValueType);
    const char Size[] = {static_cast<char>(Image.size() & 0xFF),
                         static_cast<char>(Image.size() >> 8), 0, 0};
    EXPECT_EQ(Resource, "\xFF\x0A\x00TROOT\x00\x30\x10"s + std::string(Size, 4) + Image);
    EXPECT_EQ(ObjectBinaryToText(Resource), EveryValueType);
}

// INF and NAN are floats only where a value stands; as names they stay names.
TEST(FormConvert, NamesThatReadAsNonFiniteFloatsStayNames) {
    const AnsiString Text = "object INF: NANs\n"
                            "  INF = INF\n"
                            "  Low = -INFd\n"
                            "  object NAN: TPanel\n"
                            "  end\n"
                            "end\n";
    EXPECT_EQ(ObjectBinaryToText(ObjectTextToBinary(Text)), Text);
}

TEST(FormConvert, ImageBytesFollowTheFormat) {
    const std::string Image = ObjectTextToBinary("object A: TB\n  X = 1\n  Y = 'ab'\nend\n");
    EXPECT_EQ(Image, "TPF0\x02TB\x01"
                     "A\x01X\x02\x01\x01Y\x06\x02"
                     "ab\x00\x00"s);
    const std::string Flagged = ObjectTextToBinary("inherited A: TB [300]\nend\n");
    EXPECT_EQ(Flagged, "TPF0\xF3\x03\x2C\x01\x02TB\x01"
                       "A\x00\x00"s);
}

// Value encodings that the conversion reads but does not write itself.
TEST(FormConvert, ForeignValueEncodingsReadAsText) {
    const struct {
        std::string Value;
        AnsiString Text;
    } Cases[] = {
        {"\x04\x05\x00\x00\x00"s, "5"},
        {"\x0C\x03\x00\x00\x00"
         "abc"s,
         "'abc'"},
        {"\x12\x02\x00\x00\x00\x22\x6F\x41\x00"s, "'漢A'"_sj},
        {"\x15\x01\x00\x00\x00\x00\xD8"s, "#55296"},
        {"\x14\x06\x00\x00\x00\xE6\xBC\xA2\xED\x95\x9C"s, "'漢'#54620"_sj},
        {"\x06\x04\x83\x41\x80\x83"s, "'ア'#128#131"_sj},
        {"\x16\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"s, "18446744073709551615"},
        {"\x05\x00\x00\x00\x00\x00\x00\x00\x80\xFF\x3F"s, "1.0"},
        {"\x05\x00\x00\x00\x00\x00\x00\x00\x80\xFF\x7F"s, "INF"},
    };
    for (const auto& Case : Cases) {
        const std::string Image = "TPF0\x02TB\x00\x01V"s + Case.Value + "\x00\x00"s;
        EXPECT_EQ(ObjectBinaryToText(Image), "object TB\n  V = " + Case.Text + "\nend\n")
            << Case.Text;
    }
}

TEST(FormConvert, TextFormsAreToldFromOtherText) {
    for (const char* Text : {"object A: TB\nend\n", "\xEF\xBB\xBF \r\n INHERITED A : TB [2]",
                             "inline TB\nend\n", "object TB"})
        EXPECT_NO_THROW(CheckFormText(Text)) << Text;
    for (const char* Text : {"", "\xEF\xBB\xBF", "objects A: TB", "object",
                             "object A:", "object A: 1", "object 'A'", "\x80object A: TB"})
        EXPECT_THROW(CheckFormText(Text), EReadError) << Text;
}

TEST(FormConvert, DataThatIsNoFormImageIsAnInvalidImage) {
    for (const std::string& Data : {""s, "TPF"s, "object A: TB\nend\n"s, "\xFF\x0A"s, "\0TPF0"s})
        EXPECT_THROW(ObjectBinaryToText(Data), EInvalidImage) << Data;
}

// Every cut of a good image stops with a reading error, never reading past the data.
TEST(FormConvert, TruncatedOrCorruptImagesRaiseReadErrors) {
    const std::string Resource = ObjectTextToResource(EveryValueType);
    for (std::size_t Size = 3; Size < Resource.size(); ++Size) {
        const std::string Cut = Resource.substr(0, Size);
        EXPECT_THROW(ObjectBinaryToText(Cut), EReadError) << Size;
    }
    const std::string Image = ObjectTextToBinary(EveryValueType);
    for (std::size_t Size = 4; Size < Image.size(); ++Size)
        EXPECT_THROW(ObjectBinaryToText(Image.substr(0, Size)), EReadError) << Size;

    const std::string Corrupt[] = {
        "\xFF\x0A\x00TB\x00\x30\x10\x05\x00\x00\x00TPF1\x00"s,    // wrong signature
        "TPF0\x02TB\x00\x01V\x63\x00\x00"s,                       // unknown value type
        "TPF0\x02T\n\x00\x00\x00"s,                               // not a name
        "TPF0\x02TB\x00\x01V\x0E\x07\x00\x00\x00"s,               // collection item without list
        "TPF0\x02TB\x00\x01V\x01"s + std::string(100000, '\x01'), // lists nested without end
        "TPF0"s + std::string(100000, '\x02') + "TB"s,            // objects nested without end
    };
    for (const std::string& Data : Corrupt)
        EXPECT_THROW(ObjectBinaryToText(Data), EReadError);
    try {
        ObjectBinaryToText("TPF0\x02TB\x00\x01V\x63\x00\x00"s);
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("オフセット 10 "_sj), AnsiString::npos) << E.Message();
    }
}

TEST(FormConvert, BrokenTextIsAReadErrorNamingTheLine) {
    const std::string Cases[] = {
        "object A: TB\n  X = 'open\nend\n",
        "object A: TB\n  X = (Null)\nend\n",
        "object A: TB\n  X = \nend\n",
        "object A: TB\n  X = 1\n",
        "object A: TB\nend\nend\n",
        "object A: TB\n  X = 99999999999999999999\nend\n",
        "object A: TB\n  X = " + std::string(100000, '(') + "\nend\n",
    };
    for (const std::string& Text : Cases)
        EXPECT_THROW(ObjectTextToBinary(Text), EReadError) << Text;
    try {
        ObjectTextToBinary(Cases[0]);
    } catch (const EReadError& E) {
        EXPECT_NE(E.Message().find("2 行目"_sj), AnsiString::npos);
    }
}

} // namespace
