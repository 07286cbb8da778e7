#pragma once
// Test support for the load curve modules: scratch folders, the registry in a scratch folder,
// the components registered, and a driver that plays one step per wait for input.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "components/Registration.h"
#include "platform/win/Afx.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "support/StepDriver.h"

namespace curvetest {

// A new empty folder below $ORV_TEST_TMP (or the system's temporary folder).
inline std::filesystem::path ScratchFolder(const std::string& name) {
    const char* root = std::getenv("ORV_TEST_TMP");
    std::filesystem::path base = root && *root ? std::filesystem::path(root) : std::filesystem::temp_directory_path();
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = base / "curves" / (std::string(test ? test->test_suite_name() : "x") + "." +
                                                    (test ? test->name() : "y") + "." + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// Every test program of this folder: the registry in a scratch folder, the components registered.
class CurveEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const char* root = std::getenv("ORV_TEST_TMP");
        std::filesystem::path base = root && *root ? std::filesystem::path(root) : std::filesystem::temp_directory_path();
        // One registry per process: CTest runs the cases of a program in parallel processes.
        const std::filesystem::path registry = base / "curves" / ("registry." + std::to_string(::getpid()));
        std::filesystem::create_directories(registry);
        ::setenv("ORV_REGISTRY_DIR", registry.c_str(), 1);
        RegisterOrvComponents();
    }
};

using orvtest::StepDriver;

inline HWND Modal() { return orv::win::ActiveModalWindow(); }
inline HWND Ctl(int id) { return orv::win::FindControl(Modal(), id); }
inline orv::win::WindowView View(int id) { return orv::win::Inspect(Ctl(id)); }
inline std::wstring Title() { return orv::win::Inspect(Modal()).text; }
inline bool IsMessageBox() { return orv::win::Inspect(Modal()).isMessageBox; }
inline std::wstring MessageText() { return orv::win::Inspect(Modal()).messageBox.text; }
inline void Type(int id, const std::wstring& text) {
    ASSERT_TRUE(orv::win::input::ReplaceText(Ctl(id), text)) << "type " << id;
}
inline void Click(int id) { ASSERT_TRUE(orv::win::input::Click(Ctl(id))) << "click " << id; }

}  // namespace curvetest
