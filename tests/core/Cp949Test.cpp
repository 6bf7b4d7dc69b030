#include <gtest/gtest.h>

#include "text/Cp949.h"

using namespace kesh;

TEST(Cp949Test, LengthCountsBytesInCp949) {
    EXPECT_EQ(Cp949Length(""), 0u);
    EXPECT_EQ(Cp949Length("AB"), 2u);
    EXPECT_EQ(Cp949Length("가나다라마바사아자차"), 20u);
    EXPECT_EQ(Cp949Length("타일 v1"), 7u);
    EXPECT_EQ(Cp949Length("똠"), 2u); // outside KS X 1001, still two bytes in CP949
}

TEST(Cp949Test, LineBreaksCountAsCrLf) {
    EXPECT_EQ(Cp949Length("a\nb"), 4u);
    EXPECT_EQ(Cp949Length("a\r\nb"), 4u);
    EXPECT_EQ(Cp949Length("\n\n"), 4u);
    EXPECT_EQ(Cp949Length("a\rb"), 3u);
}

TEST(Cp949Test, CharactersWithoutCp949FormCountOne) {
    EXPECT_EQ(Cp949Length("\xF0\x9F\x98\x80"), 1u); // an emoji
    EXPECT_EQ(Cp949Length("a\xFF"
                          "b"),
              3u); // not UTF-8 at all
}

TEST(Cp949Test, RoundTripsKoreanText) {
    const auto bytes = Utf8ToCp949("지도 1");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, "\xC1\xF6\xB5\xB5 1");
    EXPECT_EQ(Cp949ToUtf8(*bytes), "지도 1");
    EXPECT_FALSE(Utf8ToCp949("\xF0\x9F\x98\x80").has_value());
}

TEST(Cp949Test, InvalidBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Cp949ToUtf8("a\xFF"
                          "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Cp949ToUtf8("\xC1\xF6\xB5"), "지\xEF\xBF\xBD"); // cut-off last character
}
