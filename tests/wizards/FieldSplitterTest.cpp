#include "FieldSplitter.h"

#include <gtest/gtest.h>

namespace {

struct TSplitCase {
    const char* Line;
    int Count;
    std::vector<const char*> Fields; // fields 1.. and one past the last
};

class FieldSplitterTest : public testing::TestWithParam<TSplitCase> {};

TEST_P(FieldSplitterTest, CountsAndExtractsEveryFieldAndNothingBeyond) {
    const TSplitCase& C = GetParam();
    EXPECT_EQ(CountFields(C.Line, ","), C.Count);
    for (std::size_t I = 0; I < C.Fields.size(); ++I)
        EXPECT_EQ(ExtractField(C.Line, ",", static_cast<int>(I) + 1), C.Fields[I])
            << "field " << I + 1;
}

INSTANTIATE_TEST_SUITE_P(Lines, FieldSplitterTest,
                         testing::Values(TSplitCase{"a,b,c", 3, {"a", "b", "c", ""}},
                                         TSplitCase{"a,b,c,", 3, {"a", "b", "c", ""}},
                                         TSplitCase{"a,,b,", 3, {"a", "", "b", ""}},
                                         TSplitCase{"abc", 1, {"abc", ""}},
                                         TSplitCase{"", 0, {"", ""}}, TSplitCase{",", 1, {"", ""}},
                                         TSplitCase{",x", 2, {"", "x", ""}},
                                         TSplitCase{"\"x,y\",z", 3, {"\"x", "y\"", "z", ""}},
                                         TSplitCase{" a , b ", 2, {" a ", " b ", ""}}));

TEST(FieldSplitter, SeparatorsOfTheRadioItems) {
    EXPECT_EQ(SeparatorFor(0), ",");
    EXPECT_EQ(SeparatorFor(1), "\t");
    EXPECT_EQ(SeparatorFor(2), " ");
    EXPECT_EQ(SeparatorFor(3), ";");
    EXPECT_EQ(SeparatorFor(4), "");
    EXPECT_EQ(SeparatorFor(-1), "");
}

TEST(FieldSplitter, EmptySeparatorFindsNoField) {
    EXPECT_EQ(CountFields("a,b", ""), 0);
    EXPECT_EQ(ExtractField("a,b", "", 1), "");
}

TEST(FieldSplitter, SpacesAreFieldsOfTheirOwnWithTheSpaceSeparator) {
    EXPECT_EQ(CountFields("a  b", " "), 3);
    EXPECT_EQ(ExtractField("a  b", " ", 2), "");
    EXPECT_EQ(ExtractField("a  b", " ", 3), "b");
}

TEST(FieldSplitter, ALongerSeparatorFollowsTheSameRules) {
    EXPECT_EQ(CountFields("a::b::", "::"), 2);
    EXPECT_EQ(CountFields("a::b::c", "::"), 3);
    EXPECT_EQ(ExtractField("a::b::c", "::", 2), "b");
    EXPECT_EQ(ExtractField("a::b::c", "::", 3), "c");
    EXPECT_EQ(ExtractField("a::b::c", "::", 4), "");
    EXPECT_EQ(ExtractField("a:b", "::", 1), "a:b");
}

TEST(FieldSplitter, DoubleByteTextIsNeverSplitInsideACharacter) {
    // "ソ" and "表" end in 0x5C; tab-separated fields around them stay whole.
    const AnsiString Line = "\x83\x5C\t\x95\x5C\t10";
    EXPECT_EQ(CountFields(Line, "\t"), 3);
    EXPECT_EQ(ExtractField(Line, "\t", 1), "\x83\x5C");
    EXPECT_EQ(ExtractField(Line, "\t", 2), "\x95\x5C");
    EXPECT_EQ(ExtractField(Line, "\t", 3), "10");
}

// The walker gives each field of every line as ExtractField does, whether it is asked field
// after field, asked again, skipped ahead, or given another separator halfway.
TEST(FieldSplitter, WalkerGivesWhatExtractFieldGivesInAnyOrderOfAsking) {
    TStringList Lines;
    Lines.SetText("a,b;c,d\r\n\r\n,;x\r\nonly\r\n1,2,3,4,");
    const std::pair<const char*, int> Asks[] = {{",", 1}, {",", 2}, {",", 3}, {",", 3}, {";", 4},
                                                {";", 2}, {",", 5}, {",", 6}, {"", 1},  {",", 0}};
    TFieldWalker Walker;
    for (const auto& [Separator, N] : Asks) {
        const TStringViews Fields = Walker.Fields(Lines, Separator, N);
        ASSERT_EQ(Fields.size(), 5u);
        for (int I = 0; I < Lines.Count(); ++I)
            EXPECT_EQ(Fields[std::size_t(I)], ExtractField(Lines.View(I), Separator, N))
                << "line " << I << ", separator " << Separator << ", field " << N;
    }
}

} // namespace
