#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "host/model/UnitConverterWindowUtility.h"
#include "platform/win/WinApi.h"

using namespace OrvDbRecord;
using DU = UnitSys::UnitSystem;

namespace {

// Sets LC_ALL for the lifetime of the object (the kernel reads the user's locale from it).
class LocaleScope {
public:
    explicit LocaleScope(const char* value) {
        const char* old = std::getenv("LC_ALL");
        had_ = old != nullptr;
        if (had_) saved_ = old;
        setenv("LC_ALL", value, 1);
    }
    ~LocaleScope() {
        if (had_)
            setenv("LC_ALL", saved_.c_str(), 1);
        else
            unsetenv("LC_ALL");
    }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    std::string saved_;
    bool had_ = false;
};

// A dialog-like window with controls at given places, destroyed with the fixture.
class WindowUtilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog_ = CreateWindowEx(0, L"#32770", L"Test", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(dialog_, nullptr);
        display_.SetUnitSystems(UnitSystem(UnitSystem::kTypeSI), UnitSystem(UnitSystem::kTypeMmTonneSecond));
        utility_.SetUnitConverter(display_);
    }
    void TearDown() override {
        if (dialog_)
            DestroyWindow(dialog_);
    }
    LocaleScope english_{"C"};  // the texts below are those of a decimal-point locale
    HWND Add(const wchar_t* cls, int id, const wchar_t* text, int x, int y, int cx, int cy) {
        HWND w = CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE, x, y, cx, cy, dialog_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        EXPECT_NE(w, nullptr);
        return w;
    }
    std::wstring Text(int id) { return GetWindowTextString(GetDlgItem(dialog_, id)); }
    void SetText(int id, const wchar_t* text) { SetWindowText(GetDlgItem(dialog_, id), text); }
    void SetupLabels() {
        utility_.BuildUnitsLabelMap(dialog_, L"Edit", OrvUnitsConversionStringSyntaxBaseUnits, L"Static", L"%U%");
        utility_.AutoSetupUnitLabels(dialog_, L"Static", OrvUnitsConversionStringSyntaxBaseUnits, L"%U%");
    }

    HWND dialog_ = nullptr;
    DisplayUnitSystem display_;
    UnitConverterWindowUtility utility_;
};

TEST_F(WindowUtilityTest, EditsTakeTheUnitOfTheNearestLabelToTheirRight) {
    Add(L"Edit", 100, L"", 10, 10, 60, 14);
    Add(L"Static", 200, L"%U%1", 75, 12, 30, 10);    // length, right beside 100
    Add(L"Static", 201, L"%U%35", 150, 12, 30, 10);  // further right on the same row
    Add(L"Edit", 101, L"", 10, 40, 60, 14);
    Add(L"Static", 202, L"%U%N", 72, 42, 30, 10);    // force by conversion string
    Add(L"Edit", 102, L"", 10, 70, 60, 14);           // no label
    Add(L"Static", 203, L"%U%10", 5, 100, 30, 10);   // left of nothing, on its own row
    Add(L"Static", 204, L"Units", 80, 72, 30, 10);   // not a unit label
    SetupLabels();
    int unit = 0;
    std::wstring conversion;
    ASSERT_TRUE(utility_.GetEditUnit(100, unit, conversion));
    EXPECT_EQ(unit, DU::Length);
    ASSERT_TRUE(utility_.GetEditUnit(101, unit, conversion));
    EXPECT_EQ(conversion, L"N");
    EXPECT_FALSE(utility_.GetEditUnit(102, unit, conversion));
    EXPECT_EQ(Text(200), L"mm");
    EXPECT_EQ(Text(202), L"N");
    EXPECT_EQ(Text(204), L"Units");
    EXPECT_EQ(Text(203), display_.GetDisplayableUnitText(DU::Velocity));

    double length = 0.08;  // m in the model, mm shown
    ASSERT_TRUE(utility_.PseudoDDX_Text(dialog_, 100, false, length));
    EXPECT_EQ(Text(100), L"80");
    SetText(100, L" 12.5 ");
    ASSERT_TRUE(utility_.PseudoDDX_Text(dialog_, 100, true, length));
    EXPECT_DOUBLE_EQ(length, 0.0125);
    double plain = 0.1;
    ASSERT_TRUE(utility_.PseudoDDX_Text(dialog_, 102, false, plain));  // dimensionless kind
    EXPECT_EQ(Text(102), L"0.1");
}

struct ParseCase {
    const wchar_t* text;
    bool ok;
    double value;
};

class ParseNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumberTest, TheWholeTextMustBeADecimalNumber) {
    double v = -7;
    EXPECT_EQ(UnitConverterWindowUtility::ParseNumber(GetParam().text, v), GetParam().ok) << GetParam().text;
    if (GetParam().ok)
        EXPECT_EQ(v, GetParam().value);
    else
        EXPECT_EQ(v, -7);
}

INSTANTIATE_TEST_SUITE_P(Table, ParseNumberTest,
                         ::testing::Values(ParseCase{L"5", true, 5}, ParseCase{L"-5.25", true, -5.25}, ParseCase{L"+.5", true, 0.5},
                                           ParseCase{L"1e3", true, 1000}, ParseCase{L"1E-3", true, 0.001},
                                           ParseCase{L"  2  ", true, 2}, ParseCase{L"5.", true, 5},
                                           ParseCase{L"1e-400", true, 0}, ParseCase{L"", false, 0}, ParseCase{L" ", false, 0},
                                           ParseCase{L"-", false, 0}, ParseCase{L"1e", false, 0}, ParseCase{L"1e+", false, 0},
                                           ParseCase{L".", false, 0}, ParseCase{L"0x10", false, 0}, ParseCase{L"inf", false, 0},
                                           ParseCase{L"nan", false, 0}, ParseCase{L"1e999", false, 0},
                                           ParseCase{L"5 kg", false, 0}, ParseCase{L"1,5", false, 0}, ParseCase{L"--1", false, 0}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(FormatNumberTest, FifteenDigitsWithoutConversionNoise) {
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(0.1), L"0.1");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(0.1 + 0.2), L"0.3");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(94.999999999999986), L"95");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(0.05000000000000001), L"0.05");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(1.0000000000000002e-14), L"1e-14");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(80), L"80");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(1e300), L"1e+300");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(1.0 / 3.0), L"0.333333333333333");
}

TEST_F(WindowUtilityTest, ExplicitUnitsAndRefusals) {
    Add(L"Edit", 100, L"", 10, 10, 60, 14);
    SetupLabels();
    double t = 20.0;  // degC model and display: the temperature reading is unchanged
    ASSERT_TRUE(utility_.PseudoDDX_Text(dialog_, 100, false, t, DU::Temperature));
    EXPECT_EQ(Text(100), L"20");
    float force = 2.0f;  // kN? no: both systems use N
    ASSERT_TRUE(utility_.PseudoDDX_Text(dialog_, 100, false, force, CString(L"N/m/m"), OrvUnitsConversionStringSyntaxBaseUnits));
    EXPECT_EQ(Text(100), L"2e-06");
    SetText(100, L"abc");
    double keep = 3.0;
    EXPECT_FALSE(utility_.PseudoDDX_Text(dialog_, 100, true, keep, DU::Length));
    EXPECT_EQ(keep, 3.0);
    EXPECT_FALSE(utility_.PseudoDDX_Text(dialog_, 999, false, keep));  // no such control
    EXPECT_FALSE(utility_.PseudoDDX_Text(dialog_, 100, false, keep, CString(L"N/?"), OrvUnitsConversionStringSyntaxBaseUnits));
}

TEST_F(WindowUtilityTest, RangeChecksUseDisplayUnits) {
    // 0.5 m shows as 500 mm.
    EXPECT_TRUE(utility_.PseudoDDV_MinMaxDouble(true, 0.5, 0.0, 500.0, DU::Length));
    EXPECT_FALSE(utility_.PseudoDDV_MinMaxDouble(true, 0.5, 0.0, 499.0, DU::Length));
    EXPECT_TRUE(utility_.PseudoDDV_MinMaxDouble(false, 0.5, 0.0, 1.0, DU::Length));  // nothing to test
    EXPECT_FALSE(utility_.PseudoDDV_MinMaxDouble(true, std::nan(""), -1e300, 1e300, DU::Length));
    EXPECT_TRUE(utility_.PseudoDDV_MinMaxFloat(true, 1.0f, 1.0f, 1.0f, DU::Dimensionless));
    EXPECT_TRUE(utility_.PseudoDDV_MinMaxDouble(true, 1.0, 0.0, 1000.0, CString(L"m"), OrvUnitsConversionStringSyntaxBaseUnits));
    EXPECT_FALSE(utility_.PseudoDDV_MinMaxDouble(true, 1.0, 0.0, 999.0, CString(L"m"), OrvUnitsConversionStringSyntaxBaseUnits));
    Add(L"Edit", 100, L"", 10, 10, 60, 14);
    Add(L"Static", 200, L"%U%1", 75, 12, 30, 10);
    SetupLabels();
    EXPECT_FALSE(utility_.PseudoDDV_MinMaxDouble(dialog_, 100, true, 0.002, 0.0, 1.0));  // 2 mm
    EXPECT_TRUE(utility_.PseudoDDV_MinMaxDouble(dialog_, 100, true, 0.001, 0.0, 1.0));
}

TEST_F(WindowUtilityTest, StaticFormUsesTheGivenUnitSystem) {
    Add(L"Static", 200, L"%U%1", 75, 12, 30, 10);
    UnitConverterWindowUtility::AutoSetupUnitLabels(UnitSystem(UnitSystem::kTypeInchPoundSecond), dialog_, L"Static",
                                                    OrvUnitsConversionStringSyntaxBaseUnits, L"%U%");
    EXPECT_EQ(Text(200), UnitSystem(UnitSystem::kTypeInchPoundSecond).GetDisplayableUnitText(DU::Length));
}

TEST_F(WindowUtilityTest, CopiesKeepConverterAndLabels) {
    Add(L"Edit", 100, L"", 10, 10, 60, 14);
    Add(L"Static", 200, L"%U%1", 75, 12, 30, 10);
    SetupLabels();
    UnitConverterWindowUtility copy = utility_;
    EXPECT_EQ(copy.GetToUnitSystem(), display_.GetUnitSystem());
    double v = 0.001;
    ASSERT_TRUE(copy.PseudoDDX_Text(dialog_, 100, false, v));
    EXPECT_EQ(Text(100), L"1");
}

// ---- numbers in the user's locale ----

using Symbols = UnitConverterWindowUtility::NumberSymbols;
const Symbols kPoint{L'.', L',', L'-', L'+'};
const Symbols kGerman{L',', L'.', L'-', L'+'};
const Symbols kFrench{L',', L'\u00A0', L'-', L'+'};
const Symbols kSwiss{L'.', L'\'', L'-', L'+'};
const Symbols kMinusSign{L',', L'.', L'\u2212', L'+'};  // a locale whose minus is U+2212

struct LocaleParseCase {
    const char* name;
    const Symbols* symbols;
    const wchar_t* text;
    bool ok;
    double value;
};

class LocaleParseTest : public ::testing::TestWithParam<LocaleParseCase> {};

TEST_P(LocaleParseTest, TheLocalesSeparatorReadsAndThePointUnlessItGroupsDigits) {
    double v = -7;
    const LocaleParseCase& c = GetParam();
    EXPECT_EQ(UnitConverterWindowUtility::ParseNumber(c.text, v, *c.symbols), c.ok);
    EXPECT_EQ(v, c.ok ? c.value : -7);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocaleParseTest,
    ::testing::Values(LocaleParseCase{"PointDecimal", &kPoint, L"0.5", true, 0.5},
                      LocaleParseCase{"PointRefusesComma", &kPoint, L"0,5", false, 0},
                      LocaleParseCase{"GermanComma", &kGerman, L"0,5", true, 0.5},
                      LocaleParseCase{"GermanSignedExponent", &kGerman, L" -2,5E-3 ", true, -2.5e-3},
                      LocaleParseCase{"GermanLeadingComma", &kGerman, L",25", true, 0.25},
                      LocaleParseCase{"GermanTrailingComma", &kGerman, L"5,", true, 5},
                      LocaleParseCase{"GermanLoneComma", &kGerman, L",", false, 0},
                      LocaleParseCase{"GermanPointGroupsDigits", &kGerman, L"1.5", false, 0},
                      LocaleParseCase{"GermanGrouping", &kGerman, L"1.000,5", false, 0},
                      LocaleParseCase{"GermanTwoCommas", &kGerman, L"1,2,3", false, 0},
                      LocaleParseCase{"FrenchComma", &kFrench, L"0,5", true, 0.5},
                      LocaleParseCase{"FrenchPointStillReads", &kFrench, L"0.5", true, 0.5},
                      LocaleParseCase{"FrenchGrouping", &kFrench, L"1\u00A0000", false, 0},
                      LocaleParseCase{"SwissPoint", &kSwiss, L"0.5", true, 0.5},
                      LocaleParseCase{"SwissApostropheGroups", &kSwiss, L"1'000", false, 0},
                      LocaleParseCase{"LocaleMinus", &kMinusSign, L"\u22122,5", true, -2.5},
                      LocaleParseCase{"LocaleMinusInExponent", &kMinusSign, L"1e\u22122", true, 0.01},
                      LocaleParseCase{"HyphenStillMinus", &kMinusSign, L"-2,5", true, -2.5},
                      LocaleParseCase{"TwoSigns", &kMinusSign, L"-\u22122", false, 0},
                      LocaleParseCase{"GermanOverflow", &kGerman, L"1,5e999", false, 0},
                      LocaleParseCase{"GermanUnderflow", &kGerman, L"1,5e-400", true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LocaleNumbers, WhatIsShownReadsBackToFifteenDigits) {
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(0.5, kGerman), L"0,5");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(-2.5e-30, kGerman), L"-2,5e-30");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(80, kGerman), L"80");
    EXPECT_EQ(UnitConverterWindowUtility::FormatNumber(0.5, kSwiss), L"0.5");
    for (const Symbols* symbols : {&kPoint, &kGerman, &kFrench, &kSwiss})
        for (double v : {0.1 + 0.2, 1.0 / 3.0, -123456.789, 4.9e-324, 1.7976931348623e308}) {
            double back = 0;
            const std::wstring shown = UnitConverterWindowUtility::FormatNumber(v, *symbols);
            ASSERT_TRUE(UnitConverterWindowUtility::ParseNumber(shown, back, *symbols));
            EXPECT_NEAR(back, v, std::abs(v) * 1e-15);
        }
}

TEST(LocaleNumbers, TheUserLocaleGivesTheSymbols) {
    {
        LocaleScope german("de_DE.UTF-8");
        const Symbols s = UnitConverterWindowUtility::UserNumberSymbols();
        EXPECT_EQ(s.decimal, L',');
        EXPECT_EQ(s.thousands, L'.');
        EXPECT_EQ(s.negative, L'-');
        EXPECT_EQ(s.positive, L'+');  // the locale leaves it empty
    }
    LocaleScope english("C");
    EXPECT_EQ(UnitConverterWindowUtility::UserNumberSymbols().decimal, L'.');
}

TEST_F(WindowUtilityTest, ADecimalCommaLocaleShowsAndReadsTheComma) {
    LocaleScope german("de_DE.UTF-8");
    Add(L"Edit", 100, L"", 10, 10, 60, 14);
    Add(L"Static", 200, L"%U%1", 75, 12, 30, 10);
    SetupLabels();
    double length = 0.0125;  // m in the model, mm shown
    ASSERT_TRUE(utility_.PseudoDDX_Text(dialog_, 100, false, length));
    EXPECT_EQ(Text(100), L"12,5");
    // What was shown reads back unchanged.
    length = 0;
    ASSERT_TRUE(utility_.PseudoDDX_Text(dialog_, 100, true, length));
    EXPECT_EQ(length, 0.0125);
    float f = 0;
    SetText(100, L"2,5");
    ASSERT_TRUE(utility_.PseudoDDX_Text(dialog_, 100, true, f));
    EXPECT_EQ(f, 0.0025f);
    // "1.5" could be a grouped 15: refused, the value kept.
    SetText(100, L"1.5");
    double keep = 3;
    EXPECT_FALSE(utility_.PseudoDDX_Text(dialog_, 100, true, keep));
    EXPECT_EQ(keep, 3);
}

}  // namespace
