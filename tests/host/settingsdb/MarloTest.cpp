#include "host/settingsdb/Marlo.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace MarloStatus;

namespace {

fs::path TestFolder(const std::string& name) {
    const char* base = std::getenv("ORV_TEST_TMP");
    fs::path dir = fs::path(base ? base : fs::temp_directory_path().string()) / "settingsdb" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// A key buffer as the access layer passes it: 101 characters, the key copied in.
struct Key {
    wchar_t text[kMarloKeyBufferChars] = {};
    explicit Key(const std::wstring& key) { std::wcsncpy(text, key.c_str(), kMarloKeyBufferChars - 1); }
    std::wstring str() const { return text; }
};

class MarloTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = TestFolder(::testing::UnitTest::GetInstance()->current_test_info()->name()).wstring() + L"/";
        handle = MARLO_OpenW(folder.c_str(), L"scenario");
        ASSERT_GT(handle, 0) << MARLO_StatusTextW(handle);
    }
    void TearDown() override {
        if (handle > 0) {
            EXPECT_EQ(MARLO_Close(handle), kOk);
        }
    }
    void Reopen() {
        ASSERT_EQ(MARLO_Close(handle), kOk);
        handle = MARLO_OpenW(folder.c_str(), L"scenario");
        ASSERT_GT(handle, 0);
    }
    int16_t WriteInt(const std::wstring& key, int32_t value) {
        Key k(key);
        return MARLO_ModelIntegerW(handle, kMarloWrite, k.text, &value);
    }
    int16_t WriteDouble(const std::wstring& key, double value) {
        Key k(key);
        return MARLO_ModelDoubleW(handle, kMarloWrite, k.text, &value);
    }
    int16_t WriteString(const std::wstring& key, std::wstring value) {
        Key k(key);
        value.resize(kMarloStringBufferChars, L'\0');
        return MARLO_ModelStringW(handle, kMarloWrite, k.text, value.data(), kMarloStringBufferChars);
    }
    std::wstring folder;
    int16_t handle = 0;
};

TEST_F(MarloTest, ValuesOfEachTypeSurviveReopening) {
    const double doubles[] = {0.0, -0.0, 1.5, -1e-300, 1e300, std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN(), 3.0};
    const int32_t ints[] = {0, 1, -1, INT32_MIN, INT32_MAX};
    const std::wstring strings[] = {L"", L"plain", L"  padded  ", L"Gr\u00fc\u00dfe \u4e2d\u6587 \U0001F600",
                                    std::wstring(4095, L'x')};
    for (std::size_t i = 0; i < std::size(doubles); ++i)
        ASSERT_EQ(WriteDouble(L"D" + std::to_wstring(i), doubles[i]), kOk);
    for (std::size_t i = 0; i < std::size(ints); ++i) ASSERT_EQ(WriteInt(L"I" + std::to_wstring(i), ints[i]), kOk);
    for (std::size_t i = 0; i < std::size(strings); ++i)
        ASSERT_EQ(WriteString(L"S" + std::to_wstring(i), strings[i]), kOk);
    Reopen();
    for (std::size_t i = 0; i < std::size(doubles); ++i) {
        Key k(L"D" + std::to_wstring(i));
        double v = 42;
        ASSERT_EQ(MARLO_ModelDoubleW(handle, kMarloRead, k.text, &v), kOk);
        EXPECT_EQ(std::bit_cast<uint64_t>(v), std::bit_cast<uint64_t>(doubles[i])) << "double " << i;
    }
    for (std::size_t i = 0; i < std::size(ints); ++i) {
        Key k(L"I" + std::to_wstring(i));
        int32_t v = 42;
        ASSERT_EQ(MARLO_ModelIntegerW(handle, kMarloRead, k.text, &v), kOk);
        EXPECT_EQ(v, ints[i]);
    }
    for (std::size_t i = 0; i < std::size(strings); ++i) {
        Key k(L"S" + std::to_wstring(i));
        std::wstring v(kMarloStringBufferChars, L'?');
        ASSERT_EQ(MARLO_ModelStringW(handle, kMarloRead, k.text, v.data(), kMarloStringBufferChars), kOk);
        EXPECT_EQ(std::wstring(v.c_str()), strings[i]) << "string " << i;
    }
}

TEST_F(MarloTest, KeysMatchWithoutRegardToCaseAndReportTheStoredSpelling) {
    ASSERT_EQ(WriteInt(L"Heat.Global.LoadCurve.Count", 7), kOk);
    Key k(L"HEAT.global.loadcurve.COUNT");
    int32_t v = 0;
    ASSERT_EQ(MARLO_ModelIntegerW(handle, kMarloRead, k.text, &v), kOk);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(k.str(), L"Heat.Global.LoadCurve.Count");
    // A write in other letter case replaces the value of the same key.
    ASSERT_EQ(WriteInt(L"heat.global.loadcurve.count", 8), kOk);
    Key again(L"Heat.Global.LoadCurve.Count");
    ASSERT_EQ(MARLO_ModelIntegerW(handle, kMarloRead, again.text, &v), kOk);
    EXPECT_EQ(v, 8);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityExists, L"HEAT.GLOBAL.LOADCURVE.COUNT"), 1);
    // Letters beyond ASCII fold too.
    ASSERT_EQ(WriteString(L"\u00c4rger.\u0416", L"x"), kOk);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityExists, L"\u00e4RGER.\u0436"), 1);
}

TEST_F(MarloTest, AMissingKeyLeavesTheNextKeyInOrderAndTheValueUntouched) {
    ASSERT_EQ(WriteInt(L"B.1", 1), kOk);
    ASSERT_EQ(WriteInt(L"B.3", 3), kOk);
    struct Case {
        const wchar_t* requested;
        const wchar_t* left;
    } const cases[] = {{L"A", L"B.1"}, {L"b.2", L"B.3"}, {L"B.10", L"B.3"}, {L"C", L""}};
    for (const auto& c : cases) {
        Key k(c.requested);
        int32_t v = -99;
        double d = -99;
        EXPECT_EQ(MARLO_ModelIntegerW(handle, kMarloRead, k.text, &v), kOk) << c.requested;
        EXPECT_EQ(k.str(), c.left) << c.requested;
        EXPECT_EQ(v, -99) << c.requested;
        Key k2(c.requested);
        EXPECT_EQ(MARLO_ModelDoubleW(handle, kMarloRead, k2.text, &d), kOk);
        EXPECT_EQ(d, -99);
    }
}

TEST_F(MarloTest, TypesAreKeptPerKey) {
    ASSERT_EQ(WriteInt(L"n", 5), kOk);
    ASSERT_EQ(WriteDouble(L"x", 2.5), kOk);
    ASSERT_EQ(WriteString(L"s", L"5"), kOk);
    Key n(L"n"), x(L"x"), s(L"s"), s2(L"s");
    double d = 0;
    int32_t i = 0;
    std::wstring text(16, L'\0');
    EXPECT_EQ(MARLO_ModelDoubleW(handle, kMarloRead, n.text, &d), kOk);  // an integer reads as a double
    EXPECT_EQ(d, 5.0);
    EXPECT_EQ(MARLO_ModelIntegerW(handle, kMarloRead, x.text, &i), kWrongType);
    EXPECT_EQ(MARLO_ModelIntegerW(handle, kMarloRead, s.text, &i), kWrongType);
    EXPECT_EQ(MARLO_ModelStringW(handle, kMarloRead, n.text, text.data(), 16), kWrongType);
    // Writing another type replaces the value and its type.
    ASSERT_EQ(WriteString(L"n", L"now text"), kOk);
    Key n2(L"n");
    EXPECT_EQ(MARLO_ModelStringW(handle, kMarloRead, n2.text, text.data(), 16), kOk);
    EXPECT_EQ(std::wstring(text.c_str()), L"now text");
    (void)s2;
}

TEST_F(MarloTest, StringLengthsAreBounded) {
    // The access layer passes the first 4095 characters of a longer text with length 4096.
    std::wstring longText(5000, L'a');
    longText[4094] = L'z';
    Key k(L"long");
    ASSERT_EQ(MARLO_ModelStringW(handle, kMarloWrite, k.text, longText.data(), 4096), kOk);
    std::wstring back(4096, L'\0');
    ASSERT_EQ(MARLO_ModelStringW(handle, kMarloRead, k.text, back.data(), 4096), kOk);
    EXPECT_EQ(std::wcslen(back.c_str()), 4095u);
    EXPECT_EQ(back[4094], L'z');
    // A short buffer receives a terminated prefix and a status saying so.
    wchar_t small[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(MARLO_ModelStringW(handle, kMarloRead, k.text, small, 4), kTruncated);
    EXPECT_EQ(std::wstring(small), L"aaa");
    // Length 1 stores the empty text; lengths outside 1..4096 are refused.
    Key e(L"empty");
    wchar_t one[1] = {L'q'};
    EXPECT_EQ(MARLO_ModelStringW(handle, kMarloWrite, e.text, one, 1), kOk);
    for (int32_t bad : {0, -1, 4097}) {
        EXPECT_EQ(MARLO_ModelStringW(handle, kMarloWrite, e.text, back.data(), bad), kBadLength) << bad;
        EXPECT_EQ(MARLO_ModelStringW(handle, kMarloRead, e.text, back.data(), bad), kBadLength) << bad;
    }
}

TEST_F(MarloTest, BadArgumentsGiveTheirStatus) {
    int32_t v = 1;
    wchar_t full[kMarloKeyBufferChars + 8];
    std::wmemset(full, L'k', std::size(full));  // no terminator within 101 characters
    Key longest(std::wstring(100, L'k'));
    Key empty(L"");
    Key ok(L"ok");
    EXPECT_EQ(MARLO_ModelIntegerW(handle, kMarloWrite, full, &v), kBadKey);
    EXPECT_EQ(MARLO_ModelIntegerW(handle, kMarloRead, full, &v), kBadKey);
    EXPECT_EQ(MARLO_ModelIntegerW(handle, kMarloWrite, longest.text, &v), kOk);
    EXPECT_EQ(MARLO_ModelIntegerW(handle, kMarloWrite, empty.text, &v), kBadKey);
    EXPECT_EQ(MARLO_ModelIntegerW(handle, kMarloWrite, nullptr, &v), kNullArgument);
    EXPECT_EQ(MARLO_ModelIntegerW(handle, kMarloWrite, ok.text, nullptr), kNullArgument);
    EXPECT_EQ(MARLO_ModelDoubleW(handle, kMarloRead, ok.text, nullptr), kNullArgument);
    EXPECT_EQ(MARLO_ModelStringW(handle, kMarloRead, ok.text, nullptr, 10), kNullArgument);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityRemove, nullptr), kNullArgument);
    EXPECT_EQ(MARLO_ModelIntegerW(handle, 2, ok.text, &v), kBadOperation);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, 9, ok.text), kBadOperation);
    EXPECT_EQ(MARLO_ModelIntegerW(0, kMarloRead, ok.text, &v), kBadHandle);
    EXPECT_EQ(MARLO_ModelIntegerW(int16_t(handle + 100), kMarloRead, ok.text, &v), kBadHandle);
    EXPECT_EQ(MARLO_Close(-3), kBadHandle);
    EXPECT_EQ(MARLO_OpenW(nullptr, L"x"), kNullArgument);
    EXPECT_EQ(MARLO_OpenW(folder.c_str(), L""), kBadPath);
    EXPECT_EQ(MARLO_OpenW((folder + L"no/such/folder/").c_str(), L"x"), kCannotOpen);
    EXPECT_STREQ(MARLO_StatusTextW(kReadOnly), L"the settings database is open for reading only");
}

TEST_F(MarloTest, UtilityFindsAndRemovesKeys) {
    for (int curve : {1, 10}) {
        for (int p = 1; p <= 3; ++p) {
            const std::wstring base = L"Heat.Global.LoadCurve(" + std::to_wstring(curve) + L").Point(" + std::to_wstring(p);
            ASSERT_EQ(WriteDouble(base + L").Time", p), kOk);
            ASSERT_EQ(WriteDouble(base + L").Value", p * 2), kOk);
        }
    }
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityExists, L"Heat.Global.LoadCurve(1).Point(2).Time"), 1);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityRemove, L"heat.global.loadcurve(1).point(2).time"), 1);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityRemove, L"Heat.Global.LoadCurve(1).Point(2).Time"), 0);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityExists, L"Heat.Global.LoadCurve(1).Point(2).Time"), 0);
    // Only keys starting with the prefix go: curve 10 stays.
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityRemovePrefix, L"Heat.Global.LoadCurve(1)."), 5);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityExists, L"Heat.Global.LoadCurve(10).Point(3).Value"), 1);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityRemovePrefix, L""), kBadKey);
}

TEST_F(MarloTest, ReadOnlyOpeningRefusesWrites) {
    ASSERT_EQ(WriteInt(L"a", 1), kOk);
    const int16_t ro = MARLO_OpenReadW(folder.c_str(), L"scenario");
    ASSERT_GT(ro, 0);
    ASSERT_NE(ro, handle);
    Key k(L"a");
    int32_t v = 2;
    EXPECT_EQ(MARLO_ModelIntegerW(ro, kMarloWrite, k.text, &v), kReadOnly);
    EXPECT_EQ(MARLO_ModelUtilityW(ro, kMarloUtilityRemove, L"a"), kReadOnly);
    EXPECT_EQ(MARLO_ModelIntegerW(ro, kMarloRead, k.text, &v), kOk);
    EXPECT_EQ(v, 1);
    // The writer's later commits are visible to the reader.
    ASSERT_EQ(WriteInt(L"a", 3), kOk);
    EXPECT_EQ(MARLO_ModelIntegerW(ro, kMarloRead, k.text, &v), kOk);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(MARLO_Close(ro), kOk);
    EXPECT_EQ(MARLO_ModelIntegerW(ro, kMarloRead, k.text, &v), kBadHandle);
    EXPECT_EQ(MARLO_OpenReadW(folder.c_str(), L"missing"), kCannotOpen);
    EXPECT_FALSE(fs::exists(fs::path(folder) / "missing.sdb"));
}

TEST_F(MarloTest, ForeignAndDamagedFilesAreRefused) {
    const fs::path dir(folder);
    {
        std::ofstream(dir / "garbage.sdb", std::ios::binary) << std::string(8192, 'G');
    }
    // Our own file with another application id or a newer schema version in its header
    // (big-endian words at offsets 68 and 60).
    auto patchedCopy = [&](const char* name, std::streamoff offset) {
        const int16_t h = MARLO_OpenW(folder.c_str(), L"patched");
        ASSERT_GT(h, 0);
        ASSERT_EQ(MARLO_Close(h), kOk);
        fs::copy_file(dir / "patched.sdb", dir / name, fs::copy_options::overwrite_existing);
        std::fstream f(dir / name, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(offset);
        f.write("\0\0\0\2", 4);
    };
    patchedCopy("foreign.sdb", 68);
    patchedCopy("newer.sdb", 60);
    for (const wchar_t* name : {L"garbage", L"foreign", L"newer"}) {
        EXPECT_EQ(MARLO_OpenW(folder.c_str(), name), kNotADatabase) << name;
        EXPECT_EQ(MARLO_OpenReadW(folder.c_str(), name), kNotADatabase) << name;
    }
    EXPECT_EQ(fs::file_size(dir / "garbage.sdb"), 8192u);  // left as it was
}

// Writes between a begin and a commit become visible together; a rollback drops them all.
TEST_F(MarloTest, TransactionsCommitOrDropEveryWriteTogether) {
    const int16_t other = MARLO_OpenW(folder.c_str(), L"scenario");
    ASSERT_GT(other, 0);
    auto seen = [&](const std::wstring& key) { return MARLO_ModelUtilityW(other, kMarloUtilityExists, key.c_str()); };
    EXPECT_EQ(MARLO_Transaction(handle, kMarloTransactionCommit), kNoTransaction);
    ASSERT_EQ(MARLO_Transaction(handle, kMarloTransactionBegin), kOk);
    EXPECT_EQ(MARLO_Transaction(handle, kMarloTransactionBegin), kNoTransaction);
    EXPECT_EQ(WriteInt(L"A", 1), kOk);
    EXPECT_EQ(WriteDouble(L"B", 2), kOk);
    EXPECT_EQ(seen(L"A"), 0);
    ASSERT_EQ(MARLO_Transaction(handle, kMarloTransactionRollback), kOk);
    EXPECT_EQ(MARLO_ModelUtilityW(handle, kMarloUtilityExists, L"A"), 0);
    ASSERT_EQ(MARLO_Transaction(handle, kMarloTransactionBegin), kOk);
    EXPECT_EQ(WriteInt(L"A", 1), kOk);
    EXPECT_EQ(WriteDouble(L"B", 2), kOk);
    ASSERT_EQ(MARLO_Transaction(handle, kMarloTransactionCommit), kOk);
    EXPECT_EQ(seen(L"A"), 1);
    EXPECT_EQ(seen(L"B"), 1);
    EXPECT_EQ(MARLO_Transaction(handle, 9), kBadOperation);
    EXPECT_EQ(MARLO_Close(other), kOk);
    const int16_t reader = MARLO_OpenReadW(folder.c_str(), L"scenario");
    EXPECT_EQ(MARLO_Transaction(reader, kMarloTransactionBegin), kReadOnly);
    EXPECT_EQ(MARLO_Transaction(reader, kMarloTransactionBeginRead), kOk);
    EXPECT_EQ(MARLO_Transaction(reader, kMarloTransactionRollback), kOk);
    EXPECT_EQ(MARLO_Close(reader), kOk);
}

TEST_F(MarloTest, HandlesAreIndependentAndReused) {
    const int16_t second = MARLO_OpenW(folder.c_str(), L"SCENARIO2");
    ASSERT_GT(second, 0);
    ASSERT_EQ(WriteInt(L"k", 1), kOk);
    Key k(L"k");
    int32_t v = -5;
    EXPECT_EQ(MARLO_ModelIntegerW(second, kMarloRead, k.text, &v), kOk);
    EXPECT_EQ(k.str(), L"");  // other database: nothing there
    EXPECT_EQ(v, -5);
    ASSERT_EQ(MARLO_Close(second), kOk);
    EXPECT_EQ(MARLO_Close(second), kBadHandle);
    EXPECT_EQ(MARLO_OpenW(folder.c_str(), L"scenario3"), second);
    EXPECT_EQ(MARLO_Close(second), kOk);
    // Without a trailing separator the folder is the same.
    std::wstring bare = folder;
    bare.pop_back();
    const int16_t same = MARLO_OpenReadW(bare.c_str(), L"scenario");
    ASSERT_GT(same, 0);
    Key k2(L"k");
    EXPECT_EQ(MARLO_ModelIntegerW(same, kMarloRead, k2.text, &v), kOk);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(MARLO_Close(same), kOk);
}

// Threads writing through their own handles, and through one shared handle, all land.
TEST_F(MarloTest, ConcurrentWritersAllLand) {
    const int16_t shared = handle;
    std::vector<std::thread> threads;
    std::vector<int16_t> own(3);
    for (auto& h : own) {
        h = MARLO_OpenW(folder.c_str(), L"scenario");
        ASSERT_GT(h, 0);
    }
    for (int t = 0; t < 6; ++t) {
        const int16_t h = t < 3 ? own[std::size_t(t)] : shared;
        threads.emplace_back([h, t] {
            for (int32_t i = 0; i < 50; ++i) {
                wchar_t key[kMarloKeyBufferChars];
                std::swprintf(key, kMarloKeyBufferChars, L"T%d.K%d", t, i);
                int32_t v = t * 1000 + i;
                EXPECT_EQ(MARLO_ModelIntegerW(h, kMarloWrite, key, &v), kOk);
            }
        });
    }
    for (auto& th : threads) th.join();
    for (const int16_t h : own) EXPECT_EQ(MARLO_Close(h), kOk);
    Reopen();
    for (int t = 0; t < 6; ++t) {
        for (int32_t i = 0; i < 50; ++i) {
            wchar_t key[kMarloKeyBufferChars];
            std::swprintf(key, kMarloKeyBufferChars, L"T%d.K%d", t, i);
            int32_t v = -1;
            ASSERT_EQ(MARLO_ModelIntegerW(handle, kMarloRead, key, &v), kOk);
            EXPECT_EQ(v, t * 1000 + i);
        }
    }
}

// The writer reports each successful write over a pipe and is killed while still writing;
// every write it reported must be there afterwards.
TEST(MarloDurability, WritesThatReturnedSurviveSigkill) {
    const std::wstring folder = TestFolder("durability").wstring();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        const int16_t h = MARLO_OpenW(folder.c_str(), L"scenario");
        if (h <= 0) _exit(2);
        for (int32_t i = 1;; ++i) {
            wchar_t key[kMarloKeyBufferChars];
            std::swprintf(key, kMarloKeyBufferChars, L"Heat.Global.LoadCurve(1).Point(%d).Time", i);
            double x = i * 0.5;
            if (MARLO_ModelDoubleW(h, kMarloWrite, key, &x) != kOk) _exit(3);
            std::swprintf(key, kMarloKeyBufferChars, L"Heat.Global.LoadCurve(1).Count");
            if (MARLO_ModelIntegerW(h, kMarloWrite, key, &i) != kOk) _exit(4);
            if (write(fds[1], &i, sizeof i) != sizeof i) _exit(5);
        }
    }
    close(fds[1]);
    int32_t last = 0;
    while (last < 40) ASSERT_EQ(read(fds[0], &last, sizeof last), ssize_t(sizeof last));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended early, exit code " << WEXITSTATUS(status);
    // Drain what the writer reported before it died.
    for (int32_t n; read(fds[0], &n, sizeof n) == ssize_t(sizeof n);) last = n;
    close(fds[0]);

    const int16_t h = MARLO_OpenReadW(folder.c_str(), L"scenario");
    ASSERT_GT(h, 0) << MARLO_StatusTextW(h);
    wchar_t countKey[kMarloKeyBufferChars] = L"Heat.Global.LoadCurve(1).Count";
    int32_t count = 0;
    ASSERT_EQ(MARLO_ModelIntegerW(h, kMarloRead, countKey, &count), kOk);
    EXPECT_GE(count, last);
    for (int32_t i = 1; i <= last; ++i) {
        wchar_t key[kMarloKeyBufferChars];
        std::swprintf(key, kMarloKeyBufferChars, L"Heat.Global.LoadCurve(1).Point(%d).Time", i);
        double x = -1;
        ASSERT_EQ(MARLO_ModelDoubleW(h, kMarloRead, key, &x), kOk);
        EXPECT_EQ(x, i * 0.5) << "point " << i;
    }
    EXPECT_EQ(MARLO_Close(h), kOk);
}

}  // namespace
