#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "host/model/Record.h"
#include "host/model/RecordLayout.h"

using namespace OrvDbRecord;

namespace {

TEST(RecordTest, TypedAccessorsAreLittleEndian) {
    RURIVO_LOADS_V1_ENTRY r;
    r.SetU32(0, 0x04030201u);
    EXPECT_EQ(r.bytes[0], 1);
    EXPECT_EQ(r.bytes[3], 4);
    r.SetF64(272, 1.0);  // 0x3FF0000000000000
    EXPECT_EQ(r.bytes[272], 0x00);
    EXPECT_EQ(r.bytes[279], 0x3F);
    EXPECT_EQ(r.bytes[278], 0xF0);
    EXPECT_EQ(r.GetF64(272), 1.0);
    r.SetI32(304, -2);
    EXPECT_EQ(r.GetU32(304), 0xFFFFFFFEu);
    EXPECT_EQ(r.GetI32(304), -2);
}

TEST(RecordTest, FlagsAreMinusOneAndZero) {
    RURIVO_LOADS_V1_ENTRY r;
    r.SetFlag(312, true);
    EXPECT_EQ(r.GetI32(312), -1);
    EXPECT_TRUE(r.GetFlag(312));
    r.SetFlag(312, false);
    EXPECT_EQ(r.GetI32(312), 0);
    r.SetI32(312, 1);  // any other non-zero word reads as true
    EXPECT_TRUE(r.GetFlag(312));
}

struct RangeCase {
    const char* name;
    std::size_t offset;
    std::size_t width;  // 8 f64, 4 u32, else a text field of that size
    bool fits;
    const char* message;
};

class RecordRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RecordRangeTest, OutOfRangeFieldsAreRefusedWithoutTouchingMemory) {
    const RangeCase& c = GetParam();
    RURIVO_LOADS_V1_ENTRY r;
    auto access = [&] {
        if (c.width == 8) {
            r.SetF64(c.offset, 2.5);
            return r.GetF64(c.offset) == 2.5;
        }
        if (c.width == 4) {
            r.SetU32(c.offset, 7);
            return r.GetU32(c.offset) == 7;
        }
        r.SetText(c.offset, c.width, "abc");
        return r.GetText(c.offset, c.width) == "abc";
    };
    if (c.fits) {
        EXPECT_TRUE(access());
        EXPECT_TRUE(r.Fits(c.offset, c.width));
    } else {
        EXPECT_FALSE(r.Fits(c.offset, c.width));
        try {
            access();
            ADD_FAILURE() << "no error for " << c.name;
        } catch (const RecordRangeError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(e.RecordSize(), 788u);
        }
        EXPECT_EQ(r, RURIVO_LOADS_V1_ENTRY{});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, RecordRangeTest,
    ::testing::Values(RangeCase{"first f64", 0, 8, true, ""}, RangeCase{"last f64", 780, 8, true, ""},
                      RangeCase{"f64 one past", 781, 8, false, "8-byte field at offset 781 runs past the end of the 788-byte record"},
                      RangeCase{"last u32", 784, 4, true, ""},
                      RangeCase{"u32 at end", 788, 4, false, "offset 788 beyond the 788-byte record"},
                      RangeCase{"far offset", 800, 8, false, "offset 800 beyond the 788-byte record"},
                      RangeCase{"offset near max", std::numeric_limits<std::size_t>::max() - 2, 4, false,
                                "offset 18446744073709551613 beyond the 788-byte record"},
                      RangeCase{"text to the end", 532, 256, true, ""},
                      RangeCase{"text one past", 533, 256, false, "256-byte field at offset 533 runs past the end of the 788-byte record"}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST(RecordTest, TextIsCutAtACharacterBoundaryAndTheFieldZeroFilled) {
    RURIVO_LOADS_V1_ENTRY r;
    r.View().Fill(12, 256, 0xEE);
    std::string text(254, 'a');
    text += "\xC3\xA9";  // 256 bytes, the last character two bytes long
    r.SetText(12, 256, text);
    std::string back = r.GetText(12, 256);
    EXPECT_EQ(back, std::string(254, 'a'));
    for (std::size_t i = 12 + 254; i < 268; ++i)
        EXPECT_EQ(r.bytes[i], 0) << i;
    r.SetText(12, 256, "short");
    EXPECT_EQ(r.GetText(12, 256), "short");
    EXPECT_EQ(r.bytes[12 + 200], 0);
}

TEST(RecordTest, TextWithoutTerminatorReadsToTheEndOfItsField) {
    RURIVO_LOADS_V1_ENTRY r;
    r.View().Fill(12, 256, 'x');
    EXPECT_EQ(r.GetText(12, 256), std::string(256, 'x'));
}

TEST(RecordTest, LayoutsCoverEveryServedTypeCode) {
    const std::uint32_t served[] = {26, 29, 35, 36, 40, 49, 53, 55, 64, 65, 82, 84, 111, 112, 122, 126, 170,
                                    171, 172, 173, 174, 175, 176, 177, 178, 181, 182, 183, 184, 185, 186, 187, 188};
    EXPECT_EQ(AllFeaTypes().size(), std::size(served));
    for (std::uint32_t code : served) {
        const FeaTypeInfo* info = FindFeaType(code);
        ASSERT_NE(info, nullptr) << code;
        std::size_t end = 0;
        for (const FieldInfo& f : info->fields) {
            EXPECT_GE(f.offset, end) << code << " " << f.name << " overlaps or is out of order";
            end = f.offset + f.size;
            EXPECT_LE(end, 524u) << code << " " << f.name;
        }
    }
    EXPECT_EQ(FindFeaType(120), nullptr);
    EXPECT_EQ(FindFeaType(27), nullptr);
}

TEST(RecordTest, DumpNamesKnownFieldsAndShowsOtherBytes) {
    RURIVO_LOADS_V1_ENTRY r;
    r.SetU32(0, 35);
    r.SetText(12, 256, "Top \"load\"");
    r.SetF64(272, 100.5);
    r.SetFlag(312, true);
    r.bytes[600] = 0xAB;
    r.bytes[601] = 0x01;
    std::string dump = FormatLoadRecordDump(r);
    EXPECT_NE(dump.find("0 u32 typeCode = 35\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("12 text description = \"Top \\\"load\\\"\"\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("272 f64 magnitude = 100.5\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("312 flag followsMovingSurface = true\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("600 bytes = ab 01\n"), std::string::npos) << dump;
}

}  // namespace

namespace {

struct ReadCase {
    const char* name;
    std::size_t offset;
    OrvDbRecord::FieldType type;
    bool ok;
    const char* text;  // expected value as text, or the error
};

class ReadFieldTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadFieldTest, ScriptsReadFieldsOrGetTheReason) {
    using namespace OrvDbRecord;
    RURIVO_LOADS_V1_ENTRY r;
    r.SetF64(272, -3.5);
    r.SetI32(304, -7);
    r.SetFlag(312, true);
    r.SetText(12, 256, "Top");
    r.SetText(700, 88, "tail");
    const ReadCase& c = GetParam();
    FieldValue v;
    std::string error;
    ASSERT_EQ(ReadField(r.View(), c.offset, c.type, v, &error), c.ok) << error;
    if (!c.ok) {
        EXPECT_EQ(error, c.text);
        return;
    }
    std::string got;
    switch (c.type) {
    case FieldType::F64: got = std::to_string(v.f64); break;
    case FieldType::Text: got = v.text; break;
    default: got = std::to_string(v.integer); break;
    }
    EXPECT_EQ(got, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadFieldTest,
    ::testing::Values(ReadCase{"f64", 272, OrvDbRecord::FieldType::F64, true, "-3.500000"},
                      ReadCase{"i32", 304, OrvDbRecord::FieldType::I32, true, "-7"},
                      ReadCase{"u32", 304, OrvDbRecord::FieldType::U32, true, "4294967289"},
                      ReadCase{"flag", 312, OrvDbRecord::FieldType::Flag, true, "-1"},
                      ReadCase{"text", 12, OrvDbRecord::FieldType::Text, true, "Top"},
                      ReadCase{"text_to_end", 700, OrvDbRecord::FieldType::Text, true, "tail"},
                      ReadCase{"f64_past_end", 784, OrvDbRecord::FieldType::F64, false,
                               "8-byte field at offset 784 runs past the end of the 788-byte record"},
                      ReadCase{"beyond", 800, OrvDbRecord::FieldType::I32, false, "offset 800 beyond the 788-byte record"},
                      ReadCase{"text_beyond", 788, OrvDbRecord::FieldType::Text, false, "offset 788 beyond the 788-byte record"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
