// The help file lookup over a library folder made by the test, and opening help.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/controls/HelpFile.h"
#include "dialogs/controls/LocaleManager.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"
#include "platform/win/WinMessages.h"

namespace DataModelDialogs {
namespace {

namespace fs = std::filesystem;

class Env {
public:
    explicit Env(const char* name) : name_(name) {
        if (const char* v = std::getenv(name)) saved_ = v;
    }
    ~Env() { saved_ ? (void)::setenv(name_, saved_->c_str(), 1) : (void)::unsetenv(name_); }
    void Set(const char* value) { ::setenv(name_, value, 1); }
    void Clear() { ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

class HelpFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tmp = std::getenv("ORV_TEST_TMP");
        root_ = fs::path(tmp ? tmp : fs::temp_directory_path().string()) /
                ("help-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        override_.Clear();
        lcAll_.Set("de_AT.UTF-8");
    }
    void TearDown() override { fs::remove_all(root_); }
    void Put(const char* language) {
        fs::create_directories(root_ / "Help" / language);
        std::ofstream(root_ / "Help" / language / "OrvenHelp_1_0.chm") << "help";
    }
    CString Folder() const { return CString((root_.wstring() + L"/").c_str()); }
    std::wstring Expected(const char* language) const {
        return root_.wstring() + L"/Help/" + fs::path(language).wstring() + L"/OrvenHelp_1_0.chm";
    }
    std::wstring Find() const { return std::wstring(FindHelpFileIn(Folder(), CString(kHelpFileName)).GetString()); }

    fs::path root_;
    Env override_{kLocaleOverrideVariable};
    Env lcAll_{"LC_ALL"};
};

TEST_F(HelpFileTest, LanguageFoldersInOrder) {
    EXPECT_EQ(Find(), L"") << "no Help folder at all";
    Put("ENU");
    EXPECT_EQ(Find(), Expected("ENU"));
    Put("DEU");
    EXPECT_EQ(Find(), Expected("DEU")) << "the neutral sublanguage before US English";
    Put("DEA");
    EXPECT_EQ(Find(), Expected("DEA")) << "the user's own locale first";
    Put("XX");
    override_.Set("XX");
    EXPECT_EQ(Find(), Expected("XX")) << "the override first";
}

TEST_F(HelpFileTest, OverrideWithoutHelpFileFallsBackToTheUsersLanguage) {
    Put("DEA");
    override_.Set("FRA");
    EXPECT_EQ(Find(), Expected("DEA"));
}

// The override goes into a path: only a locale name or number is taken, never "../" or a
// separator that would reach a file outside Help.
TEST_F(HelpFileTest, AnOverrideThatIsNotALocaleNameIsIgnored) {
    Put("DEA");
    fs::create_directories(root_ / "Outside");
    std::ofstream(root_ / "Outside" / "OrvenHelp_1_0.chm") << "not help";
    for (const char* value : {"../Outside", "../Outside/", "DEA/../../Outside", "", "/tmp"}) {
        override_.Set(value);
        EXPECT_EQ(Find(), Expected("DEA")) << value;
    }
    override_.Set("de-AT_1031");
    EXPECT_EQ(LocaleOverride(), L"de-AT_1031");
}

TEST_F(HelpFileTest, HelpOpensAtTheLibraryContextOwnedByTheDesktop) {
    const std::size_t before = orv::win::HelpRequests().size();
    EXPECT_FALSE(ShowLibraryHelpIn(Folder())) << "no help file: nothing shown";
    EXPECT_EQ(orv::win::HelpRequests().size(), before);

    Put("ENU");
    EXPECT_TRUE(ShowLibraryHelpIn(Folder()));
    ASSERT_EQ(orv::win::HelpRequests().size(), before + 1);
    const orv::win::HelpRequest& request = orv::win::HelpRequests().back();
    EXPECT_EQ(request.caller, ::GetDesktopWindow());
    EXPECT_EQ(request.file, Expected("ENU"));
    EXPECT_EQ(request.command, HH_HELP_CONTEXT);
    EXPECT_EQ(request.data, 1065u);
}

}  // namespace
}  // namespace DataModelDialogs
