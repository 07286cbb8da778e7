#include <gtest/gtest.h>

#include "platform/com/ClassRegistry.h"
#include "platform/com/Guid.h"

namespace {

using orv::com::GuidToString;
using orv::com::ParseGuid;

constexpr GUID kEvaluator = orv::com::GuidLiteral(L"{8057A4FE-F7A7-11D4-952C-0001028487BE}");
static_assert(kEvaluator.Data1 == 0x8057A4FE && kEvaluator.Data2 == 0xF7A7 && kEvaluator.Data4[7] == 0xBE);

TEST(Guid, ParsesBracedAndBareFormsInAnyCase) {
    const wchar_t* forms[] = {
        L"{8057A4FE-F7A7-11D4-952C-0001028487BE}",
        L"8057A4FE-F7A7-11D4-952C-0001028487BE",
        L"{8057a4fe-f7a7-11d4-952c-0001028487be}",
    };
    for (const wchar_t* text : forms) {
        auto g = ParseGuid(text);
        ASSERT_TRUE(g.has_value()) << "form " << ::testing::PrintToString(std::wstring(text));
        EXPECT_EQ(kEvaluator, *g);
    }
    EXPECT_EQ(GUID_NULL, *ParseGuid(L"{00000000-0000-0000-0000-000000000000}"));
    EXPECT_EQ(L"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}",
              GuidToString(*ParseGuid(L"ffffffff-ffff-ffff-ffff-ffffffffffff")));
}

TEST(Guid, MalformedTextIsRefusedWithThePositionOfTheFault) {
    struct Case {
        const wchar_t* text;
        const wchar_t* error;
    };
    const Case cases[] = {
        {L"", L"position 1: expected a hexadecimal digit"},
        {L"{", L"position 2: expected a hexadecimal digit"},
        {L"8057A4FE", L"position 9: expected '-'"},
        {L"8057A4FEF-7A7-11D4-952C-0001028487BE", L"position 9: expected '-'"},
        {L"8057A4FE-F7A7-11D4-952C0001028487BE", L"position 24: expected '-'"},
        {L"8057A4FE-F7A7-11D4-952C-0001028487B", L"position 36: expected a hexadecimal digit"},
        {L"8057A4FE-F7A7-11D4-952C-0001028487BEE", L"position 37: expected the end of the text"},
        {L"{8057A4FE-F7A7-11D4-952C-0001028487BE", L"position 38: expected '}'"},
        {L"8057A4FE-F7A7-11D4-952C-0001028487BE}", L"position 37: expected the end of the text"},
        {L"{8057A4FE-F7A7-11D4-952C-0001028487BE}x", L"position 39: expected the end of the text"},
        {L"8057A4FG-F7A7-11D4-952C-0001028487BE", L"position 8: expected a hexadecimal digit"},
        {L" 8057A4FE-F7A7-11D4-952C-0001028487BE", L"position 1: expected a hexadecimal digit"},
        {L"{8057A4FE_F7A7-11D4-952C-0001028487BE}", L"position 10: expected '-'"},
    };
    for (const auto& c : cases) {
        std::wstring error;
        EXPECT_FALSE(ParseGuid(c.text, &error).has_value()) << ::testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(c.error, error) << ::testing::PrintToString(std::wstring(c.text));
    }
    EXPECT_THROW(orv::com::GuidFromString(L"not a guid"), std::invalid_argument);
}

TEST(Guid, PrintsUpperCaseBracedAndRoundTrips) {
    EXPECT_EQ(L"{8057A4FE-F7A7-11D4-952C-0001028487BE}", GuidToString(kEvaluator));
    const GUID odd{0x00000001, 0x0002, 0x0003, {0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B}};
    EXPECT_EQ(L"{00000001-0002-0003-0405-060708090A0B}", GuidToString(odd));
    EXPECT_EQ(odd, *ParseGuid(GuidToString(odd)));

    wchar_t buffer[39];
    EXPECT_EQ(39, StringFromGUID2(kEvaluator, buffer, 39));
    EXPECT_STREQ(L"{8057A4FE-F7A7-11D4-952C-0001028487BE}", buffer);
    EXPECT_EQ(0, StringFromGUID2(kEvaluator, buffer, 38));
}

TEST(Guid, InterfaceIdTextNeedsBraces) {
    IID iid;
    EXPECT_EQ(S_OK, IIDFromString(L"{8057A4FE-F7A7-11D4-952C-0001028487BE}", &iid));
    EXPECT_EQ(kEvaluator, iid);
    EXPECT_EQ(CO_E_CLASSSTRING, IIDFromString(L"8057A4FE-F7A7-11D4-952C-0001028487BE", &iid));
    EXPECT_EQ(CO_E_CLASSSTRING, IIDFromString(L"{8057A4FE-F7A7-11D4-952C-0001028487BE", &iid));
    CLSID clsid;
    EXPECT_EQ(S_OK, CLSIDFromString(L"{8057A4FE-F7A7-11D4-952C-0001028487BE}", &clsid));
    EXPECT_EQ(kEvaluator, clsid);
    EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromString(L"{8057A4FE}", &clsid));
}

}  // namespace
