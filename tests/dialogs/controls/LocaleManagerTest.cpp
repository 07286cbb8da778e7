// The locale manager over real satellites built beside the tests (bin/LocaleTest: DEU and ENU
// with the library's version, OLD with another build number; bin/LocaleTestStale: a DEU with
// another build number), and the resource module the dialogs use.
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "platform/res/DialogTemplate.h"
#include "platform/res/Module.h"
#include "platform/res/Resources.h"

namespace DataModelDialogs {
namespace {

const CString kTestSatellites(L"LocaleTest/libDataModelDialogs");
const CString kStaleSatellites(L"LocaleTestStale/libDataModelDialogs");
constexpr LCID kGermany = 1031, kAustria = 0x0C07, kFrance = 1036, kUnitedStates = 1033, kJapan = 1041;

// Sets or clears an environment variable for one test and puts the old value back.
class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char* name) : name_(name) {
        if (const char* v = std::getenv(name)) saved_ = v;
    }
    ~EnvironmentVariable() {
        if (saved_)
            ::setenv(name_, saved_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    void Set(const char* value) { ::setenv(name_, value, 1); }
    void Clear() { ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

std::wstring Caption(HINSTANCE module, UINT templateId) {
    const orv::res::DialogTemplate* t = orv::res::FindDialogTemplate(module, templateId);
    return t ? t->caption : L"(no template)";
}

class LocaleManagerTest : public ::testing::Test {
protected:
    void SetUp() override { override_.Clear(); }
    HMODULE Library() const { return GetLibraryModule(); }
    EnvironmentVariable override_{kLocaleOverrideVariable};
    EnvironmentVariable lcAll_{"LC_ALL"};
};

TEST_F(LocaleManagerTest, BasePathIsTheLocaleFolderAndTheFileNameWithoutExtension) {
    const std::wstring program = orv::res::GetModuleFilePath(Library());
    const std::wstring folder = program.substr(0, program.find_last_of(L'/') + 1);
    std::wstring stem = program.substr(folder.size());
    if (const auto dot = stem.find_last_of(L'.'); dot != std::wstring::npos && dot != 0) stem.erase(dot);
    MfcLocaleManager manager(Library(), CString(), true, kJapan);
    EXPECT_EQ(std::wstring(manager.BasePath().GetString()), folder + L"Locale/" + stem);
    MfcLocaleManager named(Library(), kTestSatellites, true, kJapan);
    EXPECT_EQ(std::wstring(named.BasePath().GetString()), folder + L"LocaleTest/libDataModelDialogs");
}

struct RuleCase {
    const char* name;
    const char* override;  // null: not set
    const wchar_t* satellites;
    LCID locale;
    int rule;
    LCID recorded;
    const wchar_t* suffix;  // the satellite loaded, null for none
};

TEST_F(LocaleManagerTest, RulesInOrder) {
    const RuleCase cases[] = {
        {"override wins over the locale", "DEU", L"LocaleTest/libDataModelDialogs", kFrance, kSatelliteFromOverride, 0,
         L".DEU"},
        {"override of another build is ignored", "OLD", L"LocaleTest/libDataModelDialogs", kUnitedStates,
         kSatelliteFromLocale, kUnitedStates, L".ENU"},
        {"override without a satellite falls through", "XYZ", L"LocaleTest/libDataModelDialogs", kGermany,
         kSatelliteFromLocale, kGermany, L".DEU"},
        {"empty override names no satellite", "", L"LocaleTest/libDataModelDialogs", kGermany, kSatelliteFromLocale,
         kGermany, L".DEU"},
        {"the user's locale", nullptr, L"LocaleTest/libDataModelDialogs", kGermany, kSatelliteFromLocale, kGermany,
         L".DEU"},
        {"neutral sublanguage", nullptr, L"LocaleTest/libDataModelDialogs", kAustria, kSatelliteFromNeutralLocale,
         0x0007, L".DEU"},
        {"US English last", nullptr, L"LocaleTest/libDataModelDialogs", kFrance, kSatelliteFromFallback, kUnitedStates,
         L".ENU"},
        {"a satellite of another build is ignored", nullptr, L"LocaleTestStale/libDataModelDialogs", kGermany,
         kNoSatellite, 0, nullptr},
        {"no satellites at all", nullptr, L"NoSuchFolder/libDataModelDialogs", kGermany, kNoSatellite, 0, nullptr},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.override)
            override_.Set(c.override);
        else
            override_.Clear();
        MfcLocaleManager manager(Library(), CString(c.satellites), true, c.locale);
        EXPECT_EQ(manager.LocaleId(), c.recorded);
        if (!c.suffix) {
            EXPECT_EQ(manager.Satellite(), nullptr);
        } else {
            ASSERT_NE(manager.Satellite(), nullptr);
            EXPECT_EQ(orv::res::GetModuleFilePath(manager.Satellite()),
                      std::wstring(manager.BasePath().GetString()) + c.suffix);
        }
        // Choosing again gives the same rule.
        EXPECT_EQ(manager.SelectSatellite(c.locale), c.rule);
    }
}

TEST_F(LocaleManagerTest, GermanSatelliteCarriesTheTranslatedDialogs) {
    MfcLocaleManager manager(Library(), kTestSatellites, true, kGermany);
    ASSERT_NE(manager.Satellite(), nullptr);
    EXPECT_EQ(Caption(manager.Satellite(), 3047), L"%1 %2!ld! Temperatur-%3");
    EXPECT_EQ(Caption(Library(), 3047), L"%1 %2!ld! Temperature %3");
}

TEST_F(LocaleManagerTest, VersionComparisonUsesMajorMinorAndBuild) {
    MfcLocaleManager manager(Library(), kTestSatellites, true, kJapan);
    const ModuleVersion library = VersionOfModule(Library());
    EXPECT_EQ(library, (ModuleVersion{1, 0, 0}));
    EXPECT_EQ(VersionOfFile(manager.BasePath() + L".DEU"), library);
    EXPECT_EQ(VersionOfFile(manager.BasePath() + L".OLD"), (ModuleVersion{1, 0, 65535}));
    EXPECT_EQ(VersionOfFile(manager.BasePath() + L".NONE"), (ModuleVersion{}));
    EXPECT_FALSE(manager.LoadSatellite(L".OLD", 7));
    EXPECT_FALSE(manager.LoadSatellite(L".NONE", 7));
    EXPECT_TRUE(manager.LoadSatellite(L".ENU", 7));
    EXPECT_EQ(manager.LocaleId(), 7u);
    // A failed load keeps the satellite there is.
    const HMODULE english = manager.Satellite();
    EXPECT_FALSE(manager.LoadSatellite(L".OLD", 9));
    EXPECT_EQ(manager.Satellite(), english);
    EXPECT_EQ(manager.LocaleId(), 7u);
}

TEST_F(LocaleManagerTest, WithoutKeepingTheHandleTheSatelliteBecomesCurrentUntilUnloaded) {
    const HINSTANCE before = AfxGetResourceHandle();
    {
        MfcLocaleManager manager(Library(), kTestSatellites, false, kGermany);
        ASSERT_NE(manager.Satellite(), nullptr);
        EXPECT_EQ(AfxGetResourceHandle(), manager.Satellite());
        EXPECT_TRUE(manager.LoadSatellite(L".ENU"));
        EXPECT_EQ(AfxGetResourceHandle(), manager.Satellite());
    }
    EXPECT_EQ(AfxGetResourceHandle(), before);
    {
        MfcLocaleManager kept(Library(), kTestSatellites, true, kGermany);
        EXPECT_EQ(AfxGetResourceHandle(), before);
    }
}

TEST_F(LocaleManagerTest, SharedManagerLivesWhileAReferenceDoes) {
    ASSERT_TRUE(LocaleSupportEnabled()) << "the library's start-up enables locale support";
    ASSERT_EQ(GetSharedLocaleManager(), nullptr);
    EXPECT_EQ(GetResourceModule(), Library());
    lcAll_.Set("de_DE.UTF-8");
    {
        LocaleReference first(Library(), kTestSatellites);
        MfcLocaleManager* manager = GetSharedLocaleManager();
        ASSERT_NE(manager, nullptr);
        EXPECT_EQ(manager->LocaleId(), kGermany);
        {
            LocaleReference second(Library(), kTestSatellites);
            EXPECT_EQ(GetSharedLocaleManager(), manager) << "the second reference shares the manager";
        }
        EXPECT_EQ(GetSharedLocaleManager(), manager);
        EXPECT_EQ(GetResourceModule(), manager->Satellite());
        EXPECT_EQ(Caption(GetResourceModule(), 3047), L"%1 %2!ld! Temperatur-%3");
    }
    EXPECT_EQ(GetSharedLocaleManager(), nullptr);
    EXPECT_EQ(GetResourceModule(), Library());

    // The next dialog chooses again.
    lcAll_.Set("C");
    LocaleReference again(Library(), kTestSatellites);
    ASSERT_NE(GetSharedLocaleManager(), nullptr);
    EXPECT_EQ(GetSharedLocaleManager()->LocaleId(), kUnitedStates);
}

TEST_F(LocaleManagerTest, NoManagerWithoutLocaleSupport) {
    EnableLocaleSupport(false);
    {
        LocaleReference reference(Library(), kTestSatellites);
        EXPECT_EQ(GetSharedLocaleManager(), nullptr);
        EXPECT_EQ(GetResourceModule(), Library());
    }
    EnableLocaleSupport(true);
}

TEST_F(LocaleManagerTest, ReferenceCountDeletesAtZero) {
    static int deleted = 0;
    struct Counted {
        virtual ~Counted() { ++deleted; }
    };
    auto* object = new RefCountedObject<Counted>();
    EXPECT_EQ(object->Count(), 1);
    EXPECT_EQ(object->AddRef(), 2);
    EXPECT_EQ(object->Release(), 1);
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(object->Release(), 0);
    EXPECT_EQ(deleted, 1);
}

TEST_F(LocaleManagerTest, ResourceModuleScopeRestoresOnEveryExit) {
    const HINSTANCE before = AfxGetResourceHandle();
    const HINSTANCE other = orv::res::GetMainModule();
    {
        ResourceModuleScope scope;
        EXPECT_EQ(AfxGetResourceHandle(), GetResourceModule());
    }
    EXPECT_EQ(AfxGetResourceHandle(), before);

    AfxSetResourceHandle(nullptr);
    EXPECT_THROW(
        {
            ResourceModuleScope scope;
            EXPECT_EQ(AfxGetResourceHandle(), GetResourceModule());
            {
                ResourceModuleScope inner;
                throw std::runtime_error("failure inside a dialog");
            }
        },
        std::runtime_error);
    EXPECT_EQ(AfxGetResourceHandle(), nullptr);

    lcAll_.Set("de_DE.UTF-8");
    AfxSetResourceHandle(other);
    {
        LocaleReference reference(Library(), kTestSatellites);
        ResourceModuleScope scope;
        ASSERT_NE(GetSharedLocaleManager()->Satellite(), nullptr);
        EXPECT_EQ(AfxGetResourceHandle(), GetSharedLocaleManager()->Satellite());
    }
    EXPECT_EQ(AfxGetResourceHandle(), other);
    AfxSetResourceHandle(before);
}

}  // namespace
}  // namespace DataModelDialogs
