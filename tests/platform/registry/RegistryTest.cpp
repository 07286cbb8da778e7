#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryFile.h"
#include "platform/win/DataExchange.h"  // FILETIME

namespace {

const wchar_t* const kCalculatorKey = L"Software\\ORVEN, Inc.\\ORVEN Software\\ORVEN\\Surface Convection Calculator";
const wchar_t* const kDebugKey = L"Software\\ORVEN, Inc.\\ORVEN software\\ORVEN\\Debug";

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Each test gets its own empty registry folder.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        const char* base = std::getenv("ORV_TEST_TMP");
        std::string root = base && *base ? base : testing::TempDir();
        mkdir(root.c_str(), 0700);
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = root + "/registry-" + info->name() + "-" + std::to_string(getpid());
        std::system(("rm -rf '" + folder_ + "'").c_str());
        setenv("ORV_REGISTRY_DIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("ORV_REGISTRY_DIR");
        std::system(("rm -rf '" + folder_ + "'").c_str());
    }

    std::string HiveFile() const { return folder_ + "/HKEY_CURRENT_USER.reg"; }

    std::string folder_;
};

TEST_F(Registry, EachValueTypeRoundTripsThroughTheFile) {
    CRegKey key;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kCalculatorKey, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    const BYTE image[] = {0x34, 0x00, 0x00, 0x00, 0xFF, 0x0A, 0x22, 0x5C};
    EXPECT_EQ(ERROR_SUCCESS, key.SetBinaryValue(L"Last used", image, sizeof image));
    EXPECT_EQ(ERROR_SUCCESS, key.SetDWORDValue(L"Count", 0xDEADBEEF));
    EXPECT_EQ(ERROR_SUCCESS, key.SetQWORDValue(L"Big", 0x0123456789ABCDEFull));
    EXPECT_EQ(ERROR_SUCCESS, key.SetStringValue(L"Library", L"C:\\Users\\\"me\"\\Wärme.cclib\nline 2"));
    EXPECT_EQ(ERROR_SUCCESS, key.SetStringValue(L"Template", L"%HOME%/x", REG_EXPAND_SZ));
    EXPECT_EQ(ERROR_SUCCESS, key.SetStringValue(nullptr, L"default"));
    EXPECT_EQ(ERROR_SUCCESS, key.SetBinaryValue(L"Empty", nullptr, 0));
    key.Close();
    const std::string text = ReadText(HiveFile());
    EXPECT_NE(std::string::npos, text.find("\"Count\"=dword:deadbeef")) << text;
    EXPECT_NE(std::string::npos, text.find("\"Last used\"=hex:34,00,00,00,ff,0a,22,5c")) << text;

    // Read back from the file alone: drop the in-memory copy by replacing the file.
    WriteText(HiveFile() + ".copy", text);
    std::rename((HiveFile() + ".copy").c_str(), HiveFile().c_str());

    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kCalculatorKey, KEY_READ));
    BYTE buffer[16] = {};
    ULONG size = sizeof buffer;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryBinaryValue(L"Last used", buffer, &size));
    EXPECT_EQ(sizeof image, size);
    EXPECT_EQ(0, std::memcmp(image, buffer, sizeof image));
    DWORD count = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryDWORDValue(L"count", count));  // value names ignore case too
    EXPECT_EQ(0xDEADBEEFu, count);
    ULONGLONG big = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryQWORDValue(L"Big", big));
    EXPECT_EQ(0x0123456789ABCDEFull, big);
    std::wstring library;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryStringValue(L"Library", library));
    EXPECT_EQ(L"C:\\Users\\\"me\"\\Wärme.cclib\nline 2", library);
    DWORD type = 0;
    std::wstring templ;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryStringValue(L"Template", templ));
    EXPECT_EQ(L"%HOME%/x", templ);
    EXPECT_EQ(ERROR_SUCCESS, key.QueryValue(L"Template", &type, nullptr, &size));
    EXPECT_EQ(REG_EXPAND_SZ, type);
    std::wstring def;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryStringValue(L"", def));
    EXPECT_EQ(L"default", def);
    EXPECT_EQ(ERROR_SUCCESS, key.QueryValue(L"Empty", &type, nullptr, &size));
    EXPECT_EQ(REG_BINARY, type);
    EXPECT_EQ(0u, size);
    EXPECT_EQ(ERROR_INVALID_DATA, key.QueryStringValue(L"Count", def));
}

TEST_F(Registry, QueriesFollowTheFrameworksBufferProtocol) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_CURRENT_USER, kDebugKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                            nullptr));
    const wchar_t text[] = L"abc";
    // Text given without its terminator is stored with one.
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueEx(key, L"s", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 3 * sizeof(wchar_t)));
    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueEx(key, L"s", nullptr, &type, nullptr, &size));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ(4 * sizeof(wchar_t), size);
    BYTE small[4];
    size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueEx(key, L"s", nullptr, &type, small, &size));
    EXPECT_EQ(4 * sizeof(wchar_t), size);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueEx(key, L"missing", nullptr, &type, nullptr, &size));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueEx(key, L"d", 0, REG_DWORD, small, 3));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueEx(key, L"q", 0, REG_QWORD, small, 4));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueEx(key, L"s", 0, REG_SZ, small, 3));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegSetValueEx(key, L"s", 0, REG_BINARY, nullptr, 3));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValue(key, L"S"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValue(key, L"s"));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueEx(key, L"s", nullptr, &type, nullptr, &size));

    HKEY none = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_CURRENT_USER, L"Software\\Nobody", 0, KEY_READ, &none));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyEx(HKEY_LOCAL_MACHINE, kDebugKey, 0, KEY_READ, &none));
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegOpenKeyEx(HKEY_CURRENT_USER, L"\\Software", 0, KEY_READ, &none));
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegCreateKeyEx(HKEY_CURRENT_USER, L"Software\\\\x", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &none, nullptr));
    const std::wstring longName(256, L'k');
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyEx(HKEY_CURRENT_USER, longName.c_str(), 0, nullptr, 0,
                                                      KEY_ALL_ACCESS, nullptr, &none, nullptr));
    DWORD disposition = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyEx(HKEY_CURRENT_USER, L"software\\orven, inc.\\orven software\\orven\\debug\\", 0,
                                            nullptr, 0, KEY_READ, nullptr, &none, &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
    RegCloseKey(none);
}

TEST_F(Registry, KeyNamesIgnoreCaseAndKeepTheirCreatedCase) {
    CRegKey calc;
    ASSERT_EQ(ERROR_SUCCESS, calc.Create(HKEY_CURRENT_USER, kCalculatorKey));
    calc.SetDWORDValue(L"x", 1);
    CRegKey debug;
    DWORD disposition = 0;
    // "ORVEN software" names the same key as "ORVEN Software".
    ASSERT_EQ(ERROR_SUCCESS, debug.Create(HKEY_CURRENT_USER, kDebugKey, nullptr, 0, KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    debug.SetDWORDValue(L"edit_orven_cclib", 1);

    CRegKey orven;
    ASSERT_EQ(ERROR_SUCCESS, orven.Open(HKEY_CURRENT_USER, L"SOFTWARE\\orven, inc.\\Orven SOFTWARE\\orven", KEY_READ));
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (orven.EnumKey(i, name, &length) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Debug", L"Surface Convection Calculator"}), names);

    CRegKey parent;
    ASSERT_EQ(ERROR_SUCCESS, parent.Open(HKEY_CURRENT_USER, L"Software\\ORVEN, Inc.", KEY_READ));
    DWORD length = 256;
    ASSERT_EQ(ERROR_SUCCESS, parent.EnumKey(0, name, &length));
    EXPECT_STREQ(L"ORVEN Software", name);  // the case it was first created with
    EXPECT_EQ(14u, length);
    length = 14;  // no room for the terminator
    EXPECT_EQ(ERROR_MORE_DATA, parent.EnumKey(0, name, &length));
    length = 256;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, parent.EnumKey(1, name, &length));
}

TEST_F(Registry, AccessRightsOfAHandleAreEnforced) {
    CRegKey writer;
    ASSERT_EQ(ERROR_SUCCESS, writer.Create(HKEY_CURRENT_USER, kDebugKey));
    writer.SetDWORDValue(L"edit_orven_cclib", 0);
    CRegKey reader;
    ASSERT_EQ(ERROR_SUCCESS, reader.Open(HKEY_CURRENT_USER, kDebugKey, KEY_READ));
    EXPECT_EQ(ERROR_ACCESS_DENIED, reader.SetDWORDValue(L"edit_orven_cclib", 1));
    EXPECT_EQ(ERROR_ACCESS_DENIED, reader.DeleteValue(L"edit_orven_cclib"));
    CRegKey child;
    EXPECT_EQ(ERROR_ACCESS_DENIED, child.Create(reader, L"Child", nullptr, 0, KEY_READ));
    EXPECT_EQ(ERROR_SUCCESS, child.Create(reader, L"", nullptr, 0, KEY_READ));  // nothing to create
    CRegKey setOnly;
    ASSERT_EQ(ERROR_SUCCESS, setOnly.Open(HKEY_CURRENT_USER, kDebugKey, KEY_SET_VALUE));
    DWORD value = 7;
    EXPECT_EQ(ERROR_ACCESS_DENIED, setOnly.QueryDWORDValue(L"edit_orven_cclib", value));
    EXPECT_EQ(ERROR_SUCCESS, reader.QueryDWORDValue(L"edit_orven_cclib", value));
    EXPECT_EQ(0u, value);
}

TEST_F(Registry, DeletingKeys) {
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, L"Software\\A\\B\\C"));
    key.SetStringValue(L"v", L"x");
    CRegKey a;
    ASSERT_EQ(ERROR_SUCCESS, a.Open(HKEY_CURRENT_USER, L"Software\\A"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKey(HKEY_CURRENT_USER, L"Software\\A"));  // it has subkeys
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKey(HKEY_CURRENT_USER, L"Software\\Z"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKey(HKEY_CURRENT_USER, L""));  // a hive's root stays
    EXPECT_EQ(ERROR_SUCCESS, a.RecurseDeleteKey(L"B"));
    // A handle to a deleted key reports it.
    EXPECT_EQ(ERROR_KEY_DELETED, key.SetDWORDValue(L"w", 1));
    std::wstring v;
    EXPECT_EQ(ERROR_KEY_DELETED, key.QueryStringValue(L"v", v));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKey(HKEY_CURRENT_USER, L"software\\a"));
    EXPECT_EQ(ERROR_KEY_DELETED, a.SetDWORDValue(L"w", 1));
    EXPECT_EQ(std::string::npos, ReadText(HiveFile()).find("[Software\\A"));

    CRegKey full;
    full.Create(HKEY_CURRENT_USER, L"Software\\Full\\Sub");
    full.SetDWORDValue(L"x", 1);
    CRegKey top;
    top.Open(HKEY_CURRENT_USER, L"Software\\Full");
    top.SetDWORDValue(L"y", 2);
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTree(top, nullptr));  // the key's contents only
    DWORD count = 9, values = 9;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKey(top, nullptr, nullptr, nullptr, &count, nullptr, nullptr, &values, nullptr,
                                             nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0u, values);
}

TEST_F(Registry, ValuesEnumerateInCreationOrder) {
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, L"Software\\Order"));
    key.SetDWORDValue(L"zeta", 1);
    key.SetStringValue(L"alpha", L"two");
    key.SetDWORDValue(L"Mid", 3);
    key.SetDWORDValue(L"ZETA", 4);  // replaces, keeps its place
    std::vector<std::wstring> names;
    wchar_t name[32];
    BYTE data[32];
    for (DWORD i = 0;; ++i) {
        DWORD length = 32, size = sizeof data, type = 0;
        if (RegEnumValue(key, i, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"zeta", L"alpha", L"Mid"}), names);
    DWORD length = 32, size = 2, type = 0;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumValue(key, 1, name, &length, nullptr, &type, data, &size));
    EXPECT_EQ(4 * sizeof(wchar_t), size);
    DWORD subKeys = 0, values = 0, maxName = 0, maxData = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKey(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                                             &maxName, &maxData, nullptr, nullptr));
    EXPECT_EQ(3u, values);
    EXPECT_EQ(5u, maxName);
    EXPECT_EQ(4 * sizeof(wchar_t), maxData);
}

TEST_F(Registry, WritesReplaceTheFileWholeAndLeaveNoTemporaryFiles) {
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kCalculatorKey));
    struct stat before {};
    key.SetDWORDValue(L"a", 1);
    ASSERT_EQ(0, stat(HiveFile().c_str(), &before));
    key.SetDWORDValue(L"b", 2);
    struct stat after {};
    ASSERT_EQ(0, stat(HiveFile().c_str(), &after));
    EXPECT_NE(before.st_ino, after.st_ino);  // a new file renamed into place, never rewritten in place
    EXPECT_EQ((std::vector<std::string>{".HKEY_CURRENT_USER.lock", "HKEY_CURRENT_USER.reg"}), FilesIn(folder_));
    EXPECT_EQ(0600u, after.st_mode & 0777);
    // Reading never creates anything.
    CRegKey reader;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reader.Open(HKEY_LOCAL_MACHINE, L"Software", KEY_READ));
    EXPECT_EQ((std::vector<std::string>{".HKEY_CURRENT_USER.lock", "HKEY_CURRENT_USER.reg"}), FilesIn(folder_));
}

TEST_F(Registry, ChangesMadeByHandInTheFileAreSeen) {
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kDebugKey));
    key.SetDWORDValue(L"edit_orven_cclib", 0);
    WriteText(HiveFile(), "ORV-REGISTRY 1\n[Software\\ORVEN, Inc.\\ORVEN software\\ORVEN\\Debug]\n"
                          "\"edit_orven_cclib\"=dword:00000001\n");
    DWORD value = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryDWORDValue(L"edit_orven_cclib", value));
    EXPECT_EQ(1u, value);
}

TEST_F(Registry, ACorruptHiveIsReportedAndNeverOverwritten) {
    mkdir(folder_.c_str(), 0700);
    const std::string corrupt = "ORV-REGISTRY 1\n[Software]\n\"a\"=dword:1\n\"b\" dword:2\n";
    WriteText(HiveFile(), corrupt);
    CRegKey key;
    EXPECT_EQ(ERROR_BADDB, key.Open(HKEY_CURRENT_USER, L"Software", KEY_READ));
    EXPECT_EQ(L"HKEY_CURRENT_USER.reg line 4: expected '='", orv::registry::HiveProblem(HKEY_CURRENT_USER));
    EXPECT_EQ(ERROR_BADDB, key.Create(HKEY_CURRENT_USER, L"Software\\New"));
    EXPECT_EQ(corrupt, ReadText(HiveFile()));
    // Other hives are not affected.
    EXPECT_EQ(ERROR_SUCCESS, key.Create(HKEY_LOCAL_MACHINE, L"Software\\New"));
    // Once repaired, the hive works again.
    WriteText(HiveFile(), "ORV-REGISTRY 1\n[Software]\n\"a\"=dword:1\n");
    EXPECT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, L"Software", KEY_READ));
    EXPECT_EQ(L"", orv::registry::HiveProblem(HKEY_CURRENT_USER));
}

TEST_F(Registry, VolatileKeysStayInThisProcess) {
    CRegKey lib;
    ASSERT_EQ(ERROR_SUCCESS, lib.Create(HKEY_CLASSES_ROOT, L"TypeLib\\{32C9088B-9D20-46BD-8F9C-0381E3F65B5A}\\1.0",
                                        nullptr, REG_OPTION_VOLATILE));
    lib.SetStringValue(nullptr, L"records");
    CRegKey persistentChild;
    EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE, persistentChild.Create(lib, L"win64"));
    CRegKey volatileChild;
    EXPECT_EQ(ERROR_SUCCESS, volatileChild.Create(lib, L"win64", nullptr, REG_OPTION_VOLATILE));
    // A persistent key written beside it: the file holds only that one.
    CRegKey other;
    ASSERT_EQ(ERROR_SUCCESS, other.Create(HKEY_CLASSES_ROOT, L"Orv_Glob.CGlobals"));
    other.SetStringValue(nullptr, L"host automation");
    const std::string text = ReadText(folder_ + "/HKEY_CLASSES_ROOT.reg");
    EXPECT_NE(std::string::npos, text.find("[Orv_Glob.CGlobals]"));
    EXPECT_EQ(std::string::npos, text.find("TypeLib")) << text;
    // The volatile keys survive re-reading the changed file.
    WriteText(folder_ + "/HKEY_CLASSES_ROOT.reg", text + "[Other]\n");
    CRegKey again;
    EXPECT_EQ(ERROR_SUCCESS, again.Open(HKEY_CLASSES_ROOT, L"typelib\\{32C9088B-9D20-46BD-8F9C-0381E3F65B5A}\\1.0", KEY_READ));
    EXPECT_EQ(ERROR_SUCCESS, again.Open(HKEY_CLASSES_ROOT, L"Other", KEY_READ));
    RegDeleteTree(HKEY_CLASSES_ROOT, L"TypeLib");
}

TEST_F(Registry, AFolderThatCannotBeWrittenLosesNothingAndSaysSo) {
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kDebugKey));
    key.SetDWORDValue(L"kept", 1);
    // A file where the folder should be: nothing can be written below it.
    WriteText(folder_ + "/blocked", "x");
    setenv("ORV_REGISTRY_DIR", (folder_ + "/blocked/registry").c_str(), 1);
    CRegKey other;
    EXPECT_EQ(ERROR_CANTWRITE, other.Create(HKEY_CURRENT_USER, kDebugKey));
    CRegKey missing;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, missing.Open(HKEY_CURRENT_USER, kDebugKey, KEY_READ));  // the failed change is gone
    setenv("ORV_REGISTRY_DIR", folder_.c_str(), 1);
    DWORD value = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryDWORDValue(L"kept", value));
    EXPECT_EQ(1u, value);
}

TEST_F(Registry, KeysKnowWhenTheyWereLastWritten) {
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, L"Software\\Times\\Child"));
    CRegKey parent;
    ASSERT_EQ(ERROR_SUCCESS, parent.Open(HKEY_CURRENT_USER, L"Software\\Times", KEY_READ));
    FILETIME written{};
    wchar_t name[16];
    DWORD length = 16;
    ASSERT_EQ(ERROR_SUCCESS, parent.EnumKey(0, name, &length, &written));
    const ULONGLONG t = (ULONGLONG(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    const ULONGLONG year2020 = 132223104000000000ull;  // 2020-01-01 in 100 ns units since 1601
    EXPECT_GT(t, year2020);
    FILETIME info{};
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                             nullptr, nullptr, &info));
    EXPECT_GT(info.dwHighDateTime, 0u);
}

// The child half of the two-process tests: runs only when the parent starts it.
TEST(RegistryChild, Run) {
    const char* action = std::getenv("ORV_REGISTRY_CHILD");
    if (!action) GTEST_SKIP() << "started by the two-process tests";
    const std::string what = action;
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kCalculatorKey));
    if (what == "write") {
        const BYTE image[] = {1, 2, 3, 4, 5};
        ASSERT_EQ(ERROR_SUCCESS, key.SetBinaryValue(L"Last used", image, sizeof image));
        ASSERT_EQ(ERROR_SUCCESS, key.SetStringValue(L"Writer", L"child"));
    } else if (what == "many") {
        for (int i = 0; i < 40; ++i)
            ASSERT_EQ(ERROR_SUCCESS, key.SetDWORDValue((L"child" + std::to_wstring(i)).c_str(), DWORD(i)));
    }
}

pid_t StartChild(const char* action) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("ORV_REGISTRY_CHILD", action, 1);
        char filter[] = "--gtest_filter=RegistryChild.Run";
        char* argv[] = {const_cast<char*>("/proc/self/exe"), filter, nullptr};
        execv("/proc/self/exe", argv);
        _exit(127);
    }
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(Registry, ValuesWrittenByAnotherProcessAreRead) {
    // This process has the hive loaded before the child changes it.
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kCalculatorKey));
    key.SetStringValue(L"Writer", L"parent");
    ASSERT_EQ(0, WaitFor(StartChild("write")));
    std::wstring writer;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryStringValue(L"Writer", writer));
    EXPECT_EQ(L"child", writer);
    BYTE image[8] = {};
    ULONG size = sizeof image;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryBinaryValue(L"Last used", image, &size));
    EXPECT_EQ(5u, size);
    EXPECT_EQ(5, image[4]);
}

TEST_F(Registry, ConcurrentWritersLoseNothing) {
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, kCalculatorKey));
    const pid_t child = StartChild("many");
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(ERROR_SUCCESS, key.SetDWORDValue((L"parent" + std::to_wstring(i)).c_str(), DWORD(i)));
    ASSERT_EQ(0, WaitFor(child));
    DWORD values = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                             nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(80u, values);
    DWORD v = 0;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryDWORDValue(L"child39", v));
    EXPECT_EQ(39u, v);
}

TEST(RegistryFolder, ComesFromTheEnvironment) {
    const char* saved[3] = {std::getenv("ORV_REGISTRY_DIR"), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")};
    std::string copies[3];
    for (int i = 0; i < 3; ++i) copies[i] = saved[i] ? saved[i] : "";
    setenv("HOME", "/home/u", 1);
    unsetenv("ORV_REGISTRY_DIR");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ("/home/u/.config/orven", orv::registry::StorageFolder());
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ("/home/u/.config/orven", orv::registry::StorageFolder());
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ("/cfg/orven", orv::registry::StorageFolder());
    EXPECT_EQ("/cfg/orven/HKEY_LOCAL_MACHINE.reg", orv::registry::HiveFilePath(HKEY_LOCAL_MACHINE));
    setenv("ORV_REGISTRY_DIR", "/tmp/reg", 1);
    EXPECT_EQ("/tmp/reg", orv::registry::StorageFolder());
    const char* names[3] = {"ORV_REGISTRY_DIR", "XDG_CONFIG_HOME", "HOME"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i]) {
            setenv(names[i], copies[i].c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
}

}  // namespace
