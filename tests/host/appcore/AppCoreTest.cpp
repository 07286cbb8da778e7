#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/appcore/AppCore.h"
#include "platform/win/Utf8.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder under the test scratch area, removed again afterwards.
class AppCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* base = std::getenv("ORV_TEST_TMP");
        root_ = fs::path(base && *base ? base : fs::temp_directory_path().string()) /
                ("appcore_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        const char* saved = std::getenv("ORV_USER_DATA_DIR");
        hadOverride_ = saved != nullptr;
        if (saved) savedOverride_ = saved;
    }
    void TearDown() override {
        if (hadOverride_)
            setenv("ORV_USER_DATA_DIR", savedOverride_.c_str(), 1);
        else
            unsetenv("ORV_USER_DATA_DIR");
        fs::remove_all(root_);
    }
    std::wstring Wide(const fs::path& p) const { return orv::Utf8ToWide(p.string()); }

    fs::path root_;
    bool hadOverride_ = false;
    std::string savedOverride_;
};

TEST_F(AppCoreTest, ScenarioFolderIsBesideTheModelAndCreatedOnDemand) {
    const fs::path model = root_ / "models" / "bracket.orv";
    fs::create_directories(model.parent_path());
    std::wstring folder, error;
    ASSERT_TRUE(OrvGetDesignScenarioDotModFolderName(Wide(model), 3, false, folder, &error)) << orv::WideToUtf8(error);
    EXPECT_EQ(Wide(root_ / "models" / "bracket.mod" / "3"), folder);
    EXPECT_FALSE(fs::exists(orv::WideToUtf8(folder)));

    ASSERT_TRUE(OrvGetDesignScenarioDotModFolderName(Wide(model), 3, true, folder, &error));
    EXPECT_TRUE(fs::is_directory(orv::WideToUtf8(folder)));
    // Asking again for an existing folder is fine.
    ASSERT_TRUE(OrvGetDesignScenarioDotModFolderName(Wide(model), 3, true, folder, &error));
}

TEST_F(AppCoreTest, ScenarioFolderNames) {
    struct Case {
        std::string model;
        std::int32_t id;
        std::string folder;
    };
    const Case cases[] = {
        {"/data/a/model.orv", 1, "/data/a/model.mod/1"},
        {"/data/a/model", 2, "/data/a/model.mod/2"},
        {"/data/a/my.model.orv", 12, "/data/a/my.model.mod/12"},
        {"/data/a/./b/../model.orv", 0, "/data/a/model.mod/0"},
        {"relative/model.orv", 2147483647, "relative/model.mod/2147483647"},
    };
    for (const auto& c : cases) {
        std::wstring folder;
        ASSERT_TRUE(OrvGetDesignScenarioDotModFolderName(orv::Utf8ToWide(c.model), c.id, false, folder)) << c.model;
        EXPECT_EQ(orv::Utf8ToWide(c.folder), folder) << c.model;
    }
}

TEST_F(AppCoreTest, ScenarioFolderFailuresAreReported) {
    std::wstring folder = L"stale", error;
    EXPECT_FALSE(OrvGetDesignScenarioDotModFolderName(L"", 1, false, folder, &error));
    EXPECT_EQ(L"no model path given", error);
    EXPECT_EQ(L"", folder);
    EXPECT_FALSE(OrvGetDesignScenarioDotModFolderName(L"/x/m.orv", -1, false, folder, &error));
    EXPECT_EQ(L"design scenario id -1 is negative", error);
    EXPECT_FALSE(OrvGetDesignScenarioDotModFolderName(L"/x/", 1, false, folder, &error));
    EXPECT_EQ(L"the model path \"/x/\" names no file", error);

    // A file where the .mod folder should be.
    const fs::path model = root_ / "m.orv";
    std::ofstream(root_ / "m.mod") << "in the way";
    EXPECT_FALSE(OrvGetDesignScenarioDotModFolderName(Wide(model), 1, true, folder, &error));
    EXPECT_EQ(0u, error.find(L"cannot create the folder \"" + Wide(root_ / "m.mod" / "1") + L"\"")) << orv::WideToUtf8(error);
    EXPECT_EQ(L"", folder);
}

TEST_F(AppCoreTest, BufferFormReportsThroughItsResult) {
    wchar_t buffer[kOrvMaxPath];
    std::int32_t result = -5;
    const fs::path model = root_ / "part.orv";
    ASSERT_EQ(1, OrvGetDesignScenarioDotModFolderNameW(Wide(model).c_str(), 4, buffer, 1, &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ(Wide(root_ / "part.mod" / "4"), std::wstring(buffer));
    EXPECT_TRUE(fs::is_directory(root_ / "part.mod" / "4"));
    // Without a result pointer.
    EXPECT_EQ(1, OrvGetDesignScenarioDotModFolderNameW(Wide(model).c_str(), 5, buffer, 0));

    // A folder name that does not fit the buffer fails and leaves it empty.
    const std::wstring longModel = L"/" + std::wstring(300, L'a') + L".orv";
    result = 7;
    EXPECT_EQ(0, OrvGetDesignScenarioDotModFolderNameW(longModel.c_str(), 1, buffer, 0, &result));
    EXPECT_EQ(0, result);
    EXPECT_EQ(L'\0', buffer[0]);
    // Exactly 259 characters fit.
    const std::wstring fits = L"/" + std::wstring(259 - 7, L'b') + L".orv";  // "/bbb.mod/1" is 259 long
    EXPECT_EQ(1, OrvGetDesignScenarioDotModFolderNameW(fits.c_str(), 1, buffer, 0, &result));
    EXPECT_EQ(259u, std::wstring(buffer).size());
    const std::wstring tooLong = L"/" + std::wstring(259 - 6, L'b') + L".orv";
    EXPECT_EQ(0, OrvGetDesignScenarioDotModFolderNameW(tooLong.c_str(), 1, buffer, 0, &result));
    EXPECT_EQ(0, OrvGetDesignScenarioDotModFolderNameW(nullptr, 1, buffer, 0, &result));
    EXPECT_EQ(0, OrvGetDesignScenarioDotModFolderNameW(L"/m.orv", 1, nullptr, 0, &result));
    EXPECT_EQ(0, result);
}

TEST_F(AppCoreTest, UserDataFolderHonoursTheOverrideAndIsCreated) {
    const fs::path data = root_ / "user data" / "orven";
    setenv("ORV_USER_DATA_DIR", data.string().c_str(), 1);
    std::wstring error;
    const std::wstring path = OrvGetUserDataPathW(&error);
    EXPECT_EQ(Wide(data) + L"/", path) << orv::WideToUtf8(error);
    EXPECT_TRUE(fs::is_directory(data));

    // A relative setting is made absolute.
    const fs::path cwd = fs::current_path();
    fs::current_path(root_);
    setenv("ORV_USER_DATA_DIR", "rel/data", 1);
    const std::wstring relative = OrvGetUserDataPathW(&error);
    fs::current_path(cwd);
    EXPECT_EQ(Wide(fs::path(root_) / "rel" / "data") + L"/", relative) << orv::WideToUtf8(error);

    std::ofstream(root_ / "afile") << "x";
    setenv("ORV_USER_DATA_DIR", (root_ / "afile").string().c_str(), 1);
    EXPECT_EQ(L"", OrvGetUserDataPathW(&error));
    EXPECT_EQ(0u, error.find(L"cannot create the folder")) << orv::WideToUtf8(error);
}

TEST_F(AppCoreTest, UserDataFolderDefaultsUnderXdgDataHomeThenHome) {
    unsetenv("ORV_USER_DATA_DIR");
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string savedXdg = xdg ? xdg : "";
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";

    setenv("XDG_DATA_HOME", (root_ / "xdg").string().c_str(), 1);
    EXPECT_EQ(Wide(root_ / "xdg" / "orven") + L"/", OrvGetUserDataPathW());
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", (root_ / "home").string().c_str(), 1);
    EXPECT_EQ(Wide(root_ / "home" / ".local" / "share" / "orven") + L"/", OrvGetUserDataPathW());
    EXPECT_TRUE(fs::is_directory(root_ / "home" / ".local" / "share" / "orven"));

    if (xdg) setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    if (home)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
}

}  // namespace
