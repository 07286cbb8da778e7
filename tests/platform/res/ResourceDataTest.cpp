// The resource blob parser against damaged input: a satellite file can hold anything.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/res/ResourceData.h"
#include "platform/res/ResourceFormat.h"

namespace {

std::vector<unsigned char> SatelliteBlob() {
    std::filesystem::path file = std::filesystem::path(ORV_BINARY_DIR) / "bin" / "restest" / "Locale" / "liborvres_testlib.DEU";
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t i = 0; i + orv::res::format::kHeaderSize <= bytes.size(); i += 8) {
        if (std::memcmp(bytes.data() + i, orv::res::format::kMagic, 8) == 0) {
            std::uint32_t total = orv::res::format::Reader(bytes.data() + i + 8, 4).U32();
            if (total <= bytes.size() - i) return {bytes.begin() + std::ptrdiff_t(i), bytes.begin() + std::ptrdiff_t(i + total)};
        }
    }
    return {};
}

TEST(ResourceBlob, ParsesTheSatellite) {
    std::vector<unsigned char> blob = SatelliteBlob();
    ASSERT_FALSE(blob.empty());
    std::string error;
    auto set = orv::res::ResourceSet::Parse(blob.data(), blob.size(), &error);
    ASSERT_TRUE(set) << error;
    EXPECT_EQ(set->strings.at(100), L"Hallo");
    EXPECT_EQ(set->dialogs.at(L"#3000").caption, L"Optionen");
}

TEST(ResourceBlob, EveryTruncationIsRefused) {
    std::vector<unsigned char> blob = SatelliteBlob();
    ASSERT_FALSE(blob.empty());
    for (std::size_t n = 0; n < blob.size(); ++n) {
        std::vector<unsigned char> cut(blob.begin(), blob.begin() + std::ptrdiff_t(n));
        std::string error;
        EXPECT_FALSE(orv::res::ResourceSet::Parse(cut.data(), cut.size(), &error)) << n;
        EXPECT_FALSE(error.empty());
    }
}

TEST(ResourceBlob, EveryDamagedByteIsRefusedOrHarmless) {
    std::vector<unsigned char> blob = SatelliteBlob();
    ASSERT_FALSE(blob.empty());
    std::size_t used = blob.size();
    while (used > 0 && blob[used - 1] == 0) --used;  // trailing padding may change freely
    for (std::size_t i = 0; i < blob.size(); ++i) {
        for (unsigned char flip : {0x01, 0x80, 0xFF}) {
            std::vector<unsigned char> bad = blob;
            bad[i] ^= flip;
            auto set = orv::res::ResourceSet::Parse(bad.data(), bad.size(), nullptr);
            // The size field may shrink into the padding and still describe the whole blob.
            if (i < used && !(i >= 8 && i < 12)) {
                EXPECT_FALSE(set) << "byte " << i << " flip " << int(flip);
            }
        }
    }
    // The section reader skips what is not a blob and keeps what is.
    std::vector<unsigned char> section(16, 0);
    section.insert(section.end(), blob.begin(), blob.end());
    section.insert(section.end(), 8, 0x77);
    section.insert(section.end(), blob.begin(), blob.end());
    EXPECT_EQ(orv::res::ResourceSet::ParseSection(section.data(), section.size(), nullptr).size(), 2u);
}

}  // namespace
