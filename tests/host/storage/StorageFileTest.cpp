#include "host/storage/StorageFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace fs = std::filesystem;
using namespace FeInterface;

namespace {

fs::path TestFolder(const std::string& name) {
    const char* base = std::getenv("ORV_TEST_TMP");
    fs::path dir = fs::path(base ? base : fs::temp_directory_path().string()) / "storage" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::vector<uint8_t> Bytes(std::size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 7);
    return v;
}

std::vector<uint8_t> ReadFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A library file as the coefficient libraries write it: unit system and three entries.
void WriteLibrary(const fs::path& p) {
    StorageWriter w;
    ASSERT_TRUE(w.Open(p));
    ASSERT_TRUE(w.WriteItem(MakeItemCode(1, 202), Bytes(44, 1)));
    ASSERT_TRUE(w.WriteItem(MakeItemCode(1, 2000), Bytes(880 * 3, 2)));
    ASSERT_TRUE(w.Commit()) << std::string(w.Error().begin(), w.Error().end());
}

}  // namespace

TEST(StorageFile, ItemsRoundTrip) {
    const fs::path file = TestFolder("roundtrip") / "lib.cclib";
    WriteLibrary(file);
    StorageReader r;
    ASSERT_TRUE(r.Open(file));
    EXPECT_EQ(r.ItemCount(), 2u);
    EXPECT_EQ(r.ItemCodeAt(0), 100202u);
    EXPECT_EQ(r.ItemCodeAt(1), 102000u);
    std::vector<uint8_t> data;
    ASSERT_TRUE(r.ReadItem(202, 1, &data));
    EXPECT_EQ(data, Bytes(44, 1));
    ASSERT_TRUE(r.ReadItem(2000, 1, &data));
    EXPECT_EQ(data, Bytes(2640, 2));
    uint32_t version = 0;
    std::span<const uint8_t> view;
    ASSERT_TRUE(r.FindItem(2000, &version, &view));
    EXPECT_EQ(version, 1u);
    EXPECT_EQ(view.size(), 2640u);

    EXPECT_FALSE(r.ReadItem(202, 2, &data));
    EXPECT_EQ(r.Error(), L"lib.cclib: item 202 has version 1, expected 2");
    EXPECT_FALSE(r.ReadItem(7, 1, &data));
    EXPECT_EQ(r.Error(), L"lib.cclib: item 7 is missing");
    EXPECT_FALSE(r.FindItem(7, &version, &view));
}

TEST(StorageFile, EmptyItemsAndEmptyFilesAndReplacement) {
    const fs::path dir = TestFolder("empty");
    StorageWriter w;
    ASSERT_TRUE(w.Open(dir / "none.bin"));
    ASSERT_TRUE(w.Commit());
    StorageReader r;
    ASSERT_TRUE(r.Open(dir / "none.bin"));
    EXPECT_EQ(r.ItemCount(), 0u);
    EXPECT_EQ(fs::file_size(dir / "none.bin"), 32u);

    // A second write of the same item number replaces the first, whatever its version.
    ASSERT_TRUE(w.Open(dir / "one.bin"));
    ASSERT_TRUE(w.WriteItem(MakeItemCode(1, 2000), Bytes(10, 0)));
    ASSERT_TRUE(w.WriteItem(MakeItemCode(1, 5), {}));
    ASSERT_TRUE(w.WriteItem(MakeItemCode(2, 2000), Bytes(3, 9)));
    ASSERT_TRUE(w.Commit());
    ASSERT_TRUE(r.Open(dir / "one.bin"));
    ASSERT_EQ(r.ItemCount(), 2u);
    std::vector<uint8_t> data{1};
    ASSERT_TRUE(r.ReadItem(5, 1, &data));
    EXPECT_TRUE(data.empty());
    ASSERT_TRUE(r.ReadItem(2000, 2, &data));
    EXPECT_EQ(data, Bytes(3, 9));
}

TEST(StorageFile, EveryTruncationIsRefusedWithAMessage) {
    const fs::path dir = TestFolder("truncated");
    WriteLibrary(dir / "lib.cclib");
    const std::vector<uint8_t> whole = ReadFile(dir / "lib.cclib");
    StorageReader r;
    for (std::size_t n = 0; n < whole.size(); ++n) {
        WriteFile(dir / "cut.cclib", std::vector<uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(n)));
        ASSERT_FALSE(r.Open(dir / "cut.cclib")) << n;
        EXPECT_FALSE(r.Error().empty());
        EXPECT_EQ(r.ItemCount(), 0u);
    }
    WriteFile(dir / "cut.cclib", std::vector<uint8_t>(whole.begin(), whole.begin() + 10));
    EXPECT_FALSE(r.Open(dir / "cut.cclib"));
    EXPECT_EQ(r.Error(), L"cut.cclib: is 10 bytes long, shorter than the 32-byte header (truncated)");
    WriteFile(dir / "cut.cclib", std::vector<uint8_t>(whole.begin(), whole.end() - 1));
    EXPECT_FALSE(r.Open(dir / "cut.cclib"));
    EXPECT_EQ(r.Error(), L"cut.cclib: header gives a size of " + std::to_wstring(whole.size()) +
                             L" bytes but the file has " + std::to_wstring(whole.size() - 1) + L" (truncated)");
}

TEST(StorageFile, EveryChangedByteIsRefused) {
    const fs::path dir = TestFolder("corrupted");
    WriteLibrary(dir / "lib.cclib");
    const std::vector<uint8_t> whole = ReadFile(dir / "lib.cclib");
    StorageReader r;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        std::vector<uint8_t> bad = whole;
        bad[i] ^= 0x5A;
        WriteFile(dir / "bad.cclib", bad);
        ASSERT_FALSE(r.Open(dir / "bad.cclib")) << "byte " << i;
        EXPECT_FALSE(r.Error().empty());
    }
}

TEST(StorageFile, DamagedHeadersGiveClearMessages) {
    const fs::path dir = TestFolder("headers");
    WriteLibrary(dir / "lib.cclib");
    const std::vector<uint8_t> whole = ReadFile(dir / "lib.cclib");
    auto patched = [&](std::size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> v = whole;
        for (std::size_t i = 0; i < bytes.size(); ++i) v[at + i] = bytes[i];
        return v;
    };
    std::vector<uint8_t> extended = whole;
    extended.push_back(0);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::wstring message;
    } const cases[] = {
        {"other magic", patched(0, {'P', 'K'}), L"x.cclib: is not a storage file"},
        {"text file", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'},
         L"x.cclib: is not a storage file"},
        {"empty", {}, L"x.cclib: is 0 bytes long, shorter than the 32-byte header (truncated)"},
        {"newer format", patched(8, {2}), L"x.cclib: has storage format version 2; this program reads version 1"},
        {"huge count", patched(12, {0xFF, 0xFF, 0xFF, 0xFF}),
         L"x.cclib: claims 4294967295 items, more than 65536 (damaged file)"},
        {"huge size", patched(16, {0, 0, 0, 0, 0, 0, 0, 0x80}),
         L"x.cclib: header gives a size of 9223372036854775808 bytes but the file has " +
             std::to_wstring(whole.size()) + L" (truncated)"},
        {"extended", extended,
         L"x.cclib: header gives a size of " + std::to_wstring(whole.size()) + L" bytes but the file has " +
             std::to_wstring(whole.size() + 1) + L" (extended or damaged)"},
        {"table", patched(32, {0x00, 0x00}), L"x.cclib: checksum of the header and item table does not match (damaged file)"},
        {"payload", patched(whole.size() - 1, {0x01}),
         L"x.cclib: checksum of item 2 of 2 (code 102000) does not match (damaged file)"},
    };
    StorageReader r;
    for (const Case& c : cases) {
        WriteFile(dir / "x.cclib", c.bytes);
        EXPECT_FALSE(r.Open(dir / "x.cclib")) << c.what;
        EXPECT_EQ(r.Error(), c.message) << c.what;
    }
    EXPECT_FALSE(r.Open(dir / "missing.cclib"));
    EXPECT_EQ(r.Error(), L"missing.cclib: cannot open: No such file or directory");
    EXPECT_FALSE(r.Open(dir));
    EXPECT_EQ(r.Error(), L"headers: is not a regular file");
}

TEST(StorageFile, WriterReplacesOnlyOnCommit) {
    const fs::path dir = TestFolder("writer");
    const fs::path file = dir / "lib.cclib";
    WriteLibrary(file);
    ::chmod(file.c_str(), 0640);
    const std::vector<uint8_t> before = ReadFile(file);
    {
        StorageWriter w;
        ASSERT_TRUE(w.Open(file));
        ASSERT_TRUE(w.WriteItem(MakeItemCode(1, 202), Bytes(44, 7)));
        // Destroyed without Commit: the old file stays and the temporary file goes.
    }
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    StorageWriter w;
    ASSERT_TRUE(w.Open(file));
    ASSERT_TRUE(w.WriteItem(MakeItemCode(1, 202), Bytes(44, 7)));
    ASSERT_TRUE(w.Commit());
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    StorageReader r;
    ASSERT_TRUE(r.Open(file));
    EXPECT_EQ(r.ItemCount(), 1u);

    EXPECT_FALSE(w.WriteItem(1, {}));  // committed: closed again
    EXPECT_FALSE(w.Open(dir / "no" / "such" / "lib.cclib"));
    EXPECT_EQ(w.Error().rfind(L"lib.cclib: cannot create a file in ", 0), 0u) << std::string(w.Error().begin(), w.Error().end());
}

// The saver is killed at various moments of a save; the file must always read back as the
// previous or the new content, never as something in between.
TEST(StorageFile, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    const fs::path dir = TestFolder("killed");
    const fs::path file = dir / "lib.cclib";
    constexpr std::size_t kSize = 4 << 20;
    auto save = [&](uint8_t fill) {
        StorageWriter w;
        if (!w.Open(file)) return false;
        w.WriteItem(MakeItemCode(1, 202), std::vector<uint8_t>(44, fill));
        w.WriteItem(MakeItemCode(1, 2000), std::vector<uint8_t>(kSize, fill));
        return w.Commit();
    };
    auto contentOf = [&]() -> int {
        StorageReader r;
        std::vector<uint8_t> data;
        if (!r.Open(file) || !r.ReadItem(2000, 1, &data) || data.size() != kSize) return -1;
        for (uint8_t b : data)
            if (b != data[0]) return -2;
        return data[0];
    };

    // Spread the kills over the time a whole save takes here, and a little beyond.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(save(0));
    const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
    std::vector<long long> delaysUs;
    for (int i = 0; i <= 12; ++i) delaysUs.push_back(saveUs * i / 10);
    int current = 0;
    for (int round = 0; round < int(delaysUs.size()); ++round) {
        const uint8_t next = uint8_t(round + 1);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            char go = 'g';
            if (write(fds[1], &go, 1) != 1) _exit(2);
            save(next);
            pause();
            _exit(0);
        }
        close(fds[1]);
        char go = 0;
        ASSERT_EQ(read(fds[0], &go, 1), 1);
        std::this_thread::sleep_for(std::chrono::microseconds(delaysUs[round]));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        close(fds[0]);
        const int found = contentOf();
        EXPECT_TRUE(found == current || found == next) << "round " << round << ": content " << found;
        current = found;
    }
    // The next save works and clears the temporary files the killed ones left.
    ASSERT_TRUE(save(99));
    EXPECT_EQ(contentOf(), 99);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}
