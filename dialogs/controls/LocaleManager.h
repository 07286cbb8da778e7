#pragma once
// The locale manager: finds the translated satellite resource library that fits the user's
// language (or the language forced by ORVEN_LOCALE_OVERRIDE) in the "Locale/" folder beside
// the library, and loads it when its version matches the library's. One manager is shared by
// every dialog object through LocaleReference.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/locale/Locale.h"
#include "platform/win/CString.h"
#include "platform/win/WinTypes.h"

namespace DataModelDialogs {

// The environment variable that forces the language of resources and help.
inline constexpr char kLocaleOverrideVariable[] = "ORVEN_LOCALE_OVERRIDE";
inline constexpr LCID kFallbackLocale = 1033;

// The language forced by ORVEN_LOCALE_OVERRIDE: a locale name or number ("DEU", "de-DE",
// "1031"; 1 to 32 ASCII letters, digits, '-' or '_'). Empty when it is unset or anything else,
// which is ignored: the text goes into file paths, so "../" or a separator must not pass.
std::wstring LocaleOverride();

// Which rule of SelectSatellite found the satellite.
enum SatelliteRule : int {
    kSatelliteFromOverride = 0,
    kSatelliteFromLocale = 1,
    kSatelliteFromNeutralLocale = 2,
    kSatelliteFromFallback = 3,
    kNoSatellite = 4,
};

// Major, minor and build of a file version; a module without version information is 0.0.0.
struct ModuleVersion {
    WORD major = 0, minor = 0, build = 0;
    friend bool operator==(const ModuleVersion&, const ModuleVersion&) = default;
};
ModuleVersion VersionOfModule(HMODULE module);
ModuleVersion VersionOfFile(const CString& path);

class MfcLocaleManager {
public:
    // satelliteName empty: "Locale/" and the module's file name without extension. Chooses the
    // satellite at once (SelectSatellite with localeId).
    MfcLocaleManager(HMODULE module, const CString& satelliteName, bool keepResourceHandle, LCID localeId);
    // Unloads the satellite.
    ~MfcLocaleManager();
    MfcLocaleManager(const MfcLocaleManager&) = delete;
    MfcLocaleManager& operator=(const MfcLocaleManager&) = delete;

    // The override, the locale, its neutral sublanguage, then 1033; returns the rule that
    // loaded a satellite, or kNoSatellite.
    int SelectSatellite(LCID localeId);
    // The satellite whose suffix is "." and the locale's abbreviated language name (at most 4
    // characters with the dot).
    bool TryLanguage(LCID localeId);
    // Loads basePath + suffix when its major, minor and build equal the library's; records
    // localeId. False (and the previous satellite kept) otherwise.
    bool LoadSatellite(const CString& suffix, LCID localeId = 0);
    void UnloadSatellite();

    // The library's folder followed by the satellite name without suffix.
    const CString& BasePath() const { return basePath_; }
    LCID LocaleId() const { return localeId_; }
    HMODULE Satellite() const { return satellite_; }
    HMODULE Module() const { return module_; }

private:
    CString basePath_;
    LCID localeId_ = 0;
    HINSTANCE savedResourceHandle_ = nullptr;
    void* reserved_ = nullptr;
    HMODULE satellite_ = nullptr;
    bool keepResourceHandle_ = true;
    HMODULE module_ = nullptr;
};

// Owns a locale manager.
class RefCountedMfcLocaleManagerBase {
public:
    explicit RefCountedMfcLocaleManagerBase(MfcLocaleManager* manager) : manager_(manager) {}
    virtual ~RefCountedMfcLocaleManagerBase() = default;
    MfcLocaleManager* Manager() const { return manager_.get(); }

private:
    std::unique_ptr<MfcLocaleManager> manager_;
};

// Adds an atomic reference count; the object deletes itself when the count drops to 0. Create
// with new: it starts with one reference.
template <class Base>
class RefCountedObject : public Base {
public:
    template <class... Args>
    explicit RefCountedObject(Args&&... args) : Base(std::forward<Args>(args)...) {}
    std::int32_t AddRef() { return ++count_; }
    std::int32_t Release() {
        const std::int32_t left = --count_;
        if (left == 0) delete this;
        return left;
    }
    std::int32_t Count() const { return count_.load(); }

private:
    ~RefCountedObject() override = default;
    std::atomic<std::int32_t> count_{1};
};

using SharedLocaleManager = RefCountedObject<RefCountedMfcLocaleManagerBase>;

// Set when the library starts as an extension module; without it no manager is created.
void EnableLocaleSupport(bool enabled);
bool LocaleSupportEnabled();

// The shared manager, or null while no dialog holds a reference.
MfcLocaleManager* GetSharedLocaleManager();

// Holds the shared locale manager: the first reference creates it (for the given module, with
// the user's default locale), the last one deletes it. Also initialises components for the
// thread while it lives.
class LocaleReference {
public:
    explicit LocaleReference(HMODULE module, const CString& satelliteName = CString());
    ~LocaleReference();
    LocaleReference(const LocaleReference&) = delete;
    LocaleReference& operator=(const LocaleReference&) = delete;

private:
    bool holds_ = false;
    bool comInitialised_ = false;
};

}  // namespace DataModelDialogs
