#include <gtest/gtest.h>

#include "platform/win/CString.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"

namespace {

struct PrintfCase {
    const wchar_t* expected;
    std::wstring actual;
};

TEST(TextFormat, PrintfConversionsFollowTheFrameworksWideSemantics) {
    const PrintfCase cases[] = {
        {L"1.5", orv::FormatPrintf(L"%g", 1.5)},
        {L"0.1", orv::FormatPrintf(L"%.16g", 0.1).substr(0, 3)},
        {L"3.14", orv::FormatPrintf(L"%.*g", 3, 3.14159)},
        {L"1.000e+154", orv::FormatPrintf(L"%.3e", 1e154)},
        {L"-7 x", orv::FormatPrintf(L"%ld %s", -7, L"x")},
        {L"narrow", orv::FormatPrintf(L"%hs", "narrow")},
        {L"[  ab]", orv::FormatPrintf(L"[%4s]", L"ab")},
        {L"[ab  ]", orv::FormatPrintf(L"[%-4s]", L"ab")},
        {L"12345678901", orv::FormatPrintf(L"%I64d", 12345678901LL)},
        {L"ff 0X1F", orv::FormatPrintf(L"%x %#X", 255u, 31u)},
        {L"100%", orv::FormatPrintf(L"%d%%", 100)},
        {L"Ä", orv::FormatPrintf(L"%c", L'Ä')},
        {L"(null)", orv::FormatPrintf(L"%s", static_cast<const wchar_t*>(nullptr))},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, c.actual);
}

TEST(TextFormat, MessageInsertsTakeTypedArgumentsInNumberOrder) {
    EXPECT_EQ(L"Modifying 3 Surface Force Objects",
              orv::FormatMessageInserts(L"%1 %2!ld! Surface Force %3", L"Modifying", 3, L"Objects"));
    EXPECT_EQ(L"b a b", orv::FormatMessageInserts(L"%2 %1 %2", L"a", L"b"));
    EXPECT_EQ(L"100% done.", orv::FormatMessageInserts(L"%1%% done%.", 100 == 100 ? L"100" : L""));
    EXPECT_EQ(L"cut", orv::FormatMessageInserts(L"cut%0 never", 0));
    EXPECT_EQ(L"x=2.50", orv::FormatMessageInserts(L"x=%1!.2f!", 2.5));
    const std::wstring inserts[] = {L"one", L"two"};
    EXPECT_EQ(L"two/one/", orv::FormatMessageStrings(L"%2/%1/%3", inserts));
}

TEST(Utf8, RoundTripsAndReplacesIllFormedInput) {
    const std::wstring text = L"Temp\u00e9rature \u6e29\u5ea6 \U0001F525";
    EXPECT_EQ(text, orv::Utf8ToWide(orv::WideToUtf8(text)));
    EXPECT_EQ(L"a\uFFFDb", orv::Utf8ToWide("a\xC3" "b"));
    EXPECT_EQ(L"\uFFFD", orv::Utf8ToWide("\xED\xA0\x80").substr(0, 1));  // encoded surrogate
}

TEST(Utf8, PrefixNeverEndsInsideACharacter) {
    const std::string text = "ab\xC3\xA9" "cd";  // a b é c d
    EXPECT_EQ(2u, orv::Utf8PrefixLength(text, 3));
    EXPECT_EQ(4u, orv::Utf8PrefixLength(text, 4));
    EXPECT_EQ(text.size(), orv::Utf8PrefixLength(text, 100));
    const std::string emoji = "\xF0\x9F\x94\xA5";
    EXPECT_EQ(0u, orv::Utf8PrefixLength(emoji, 3));
}

TEST(CString, EditingOperationsMatchTheFramework) {
    CString s(L"  Hello, World  ");
    s.Trim();
    EXPECT_EQ(L"Hello, World", s);
    EXPECT_EQ(7, s.Find(L"World"));
    EXPECT_EQ(-1, s.Find(L'z'));
    EXPECT_EQ(L"World", s.Mid(7));
    EXPECT_EQ(L"Hel", s.Left(3));
    EXPECT_EQ(L"", s.Left(-2));
    EXPECT_EQ(L"ld", s.Right(2));
    EXPECT_EQ(3, s.Replace(L"l", L"L"));
    EXPECT_EQ(L"HeLLo, WorLd", s);
    EXPECT_EQ(0, s.CompareNoCase(L"hello, world"));
    EXPECT_NE(0, s.Compare(L"hello, world"));
    s.Format(L"%d-%s", 4, L"x");
    EXPECT_EQ(L"4-x", s);
    wchar_t* buf = s.GetBuffer(10);
    buf[0] = L'A';
    buf[1] = 0;
    s.ReleaseBuffer();
    EXPECT_EQ(L"A", s);
    EXPECT_EQ(std::string("\xC3\xA9"), CString(L"\u00e9").ToUtf8());
}

}  // namespace
