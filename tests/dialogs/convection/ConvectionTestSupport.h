#pragma once
// A private registry and user data folder for each coefficient library test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dialogs/convection/ConvectionCoefficientLibrary.h"
#include "platform/registry/Registry.h"
#include "platform/win/Utf8.h"

namespace convection_test {

class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* base = std::getenv("ORV_TEST_TMP");
        const std::filesystem::path root = base && *base ? base : std::filesystem::temp_directory_path();
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = root / ("convection-" + std::to_string(getpid())) /
                  (std::string(info->test_suite_name()) + "." + info->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "registry");
        std::filesystem::create_directories(folder_ / "userdata");
        setenv("ORV_REGISTRY_DIR", (folder_ / "registry").c_str(), 1);
        setenv("ORV_USER_DATA_DIR", (folder_ / "userdata").c_str(), 1);
        DataModelDialogs::ConvectionCoefficientLibrary::ReloadDeveloperSwitch();
    }
    void TearDown() override {
        unsetenv("ORV_REGISTRY_DIR");
        unsetenv("ORV_USER_DATA_DIR");
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        std::filesystem::remove(folder_.parent_path(), ec);  // only once it is empty
    }

    std::filesystem::path Path(const std::string& name) const { return folder_ / name; }
    CString WidePath(const std::string& name) const { return CString(orv::Utf8ToWide(Path(name).string())); }

    static void SetDeveloperSwitch(DWORD value) {
        CRegKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, L"Software\\ORVEN, Inc.\\ORVEN software\\ORVEN\\Debug"), ERROR_SUCCESS);
        ASSERT_EQ(key.SetDWORDValue(L"edit_orven_cclib", value), ERROR_SUCCESS);
        DataModelDialogs::ConvectionCoefficientLibrary::ReloadDeveloperSwitch();
    }

    std::filesystem::path folder_;
};

}  // namespace convection_test
