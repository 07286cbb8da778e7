#include "dialogs/controls/LocaleManager.h"

#include <cstdlib>

#include "platform/com/ClassRegistry.h"
#include "platform/res/Module.h"
#include "platform/res/Resources.h"
#include "platform/res/VersionInfo.h"
#include "platform/win/Utf8.h"

namespace DataModelDialogs {

namespace {

bool localeSupport = false;
SharedLocaleManager* shared = nullptr;

ModuleVersion FromInfo(const orv::res::VersionInfo& info) {
    return ModuleVersion{info.Major(), info.Minor(), info.Build()};
}

// The folder part of a path, separator included ("" when it has none).
std::wstring Folder(const std::wstring& path) {
    const auto slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring StemOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"/\\");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot != 0) name.erase(dot);
    return name;
}

}  // namespace

ModuleVersion VersionOfModule(HMODULE module) {
    if (const orv::res::VersionInfo* info = orv::res::FindVersionInfo(module)) return FromInfo(*info);
    return {};
}

ModuleVersion VersionOfFile(const CString& path) {
    orv::res::VersionInfo info;
    if (!orv::res::ReadFileVersionInfo(std::wstring(path.GetString()), info)) return {};
    return FromInfo(info);
}

MfcLocaleManager::MfcLocaleManager(HMODULE module, const CString& satelliteName, bool keepResourceHandle,
                                   LCID localeId)
    : savedResourceHandle_(AfxGetResourceHandle()), keepResourceHandle_(keepResourceHandle), module_(module) {
    const std::wstring path = orv::res::GetModuleFilePath(module);
    std::wstring name(satelliteName.GetString());
    if (name.empty()) name = L"Locale/" + StemOf(path);
    basePath_ = CString((Folder(path) + name).c_str());
    SelectSatellite(localeId);
}

MfcLocaleManager::~MfcLocaleManager() { UnloadSatellite(); }

std::wstring LocaleOverride() {
    const char* forced = std::getenv(kLocaleOverrideVariable);
    if (!forced) return {};
    const std::string text(forced);
    if (text.empty() || text.size() > 32) return {};
    for (const char c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
            return {};
    return orv::Utf8ToWide(text);
}

int MfcLocaleManager::SelectSatellite(LCID localeId) {
    if (const std::wstring forced = LocaleOverride(); !forced.empty()) {
        if (LoadSatellite(CString((L"." + forced).c_str()), 0)) return kSatelliteFromOverride;
    }
    if (TryLanguage(localeId)) return kSatelliteFromLocale;
    if (TryLanguage(orv::locale::NeutralLocale(localeId))) return kSatelliteFromNeutralLocale;
    if (TryLanguage(kFallbackLocale)) return kSatelliteFromFallback;
    return kNoSatellite;
}

bool MfcLocaleManager::TryLanguage(LCID localeId) {
    const auto name = orv::locale::LocaleInfo(localeId, LOCALE_SABBREVLANGNAME);
    if (!name || name->empty()) return false;
    std::wstring suffix = L"." + *name;
    if (suffix.size() > 4) suffix.resize(4);
    return LoadSatellite(CString(suffix.c_str()), localeId);
}

bool MfcLocaleManager::LoadSatellite(const CString& suffix, LCID localeId) {
    const CString candidate = basePath_ + suffix;
    if (!(VersionOfModule(module_) == VersionOfFile(candidate))) return false;
    HMODULE loaded = ::LoadLibrary(candidate.GetString());
    if (!loaded) return false;
    UnloadSatellite();
    satellite_ = loaded;
    if (!keepResourceHandle_) AfxSetResourceHandle(satellite_);
    localeId_ = localeId;
    return true;
}

void MfcLocaleManager::UnloadSatellite() {
    if (!satellite_) return;
    if (!keepResourceHandle_) AfxSetResourceHandle(savedResourceHandle_);
    ::FreeLibrary(satellite_);
    satellite_ = nullptr;
    localeId_ = 0;
}

void EnableLocaleSupport(bool enabled) { localeSupport = enabled; }
bool LocaleSupportEnabled() { return localeSupport; }

MfcLocaleManager* GetSharedLocaleManager() { return shared ? shared->Manager() : nullptr; }

LocaleReference::LocaleReference(HMODULE module, const CString& satelliteName) {
    if (shared) {
        shared->AddRef();
        holds_ = true;
    } else if (localeSupport) {
        auto manager = std::make_unique<MfcLocaleManager>(module, satelliteName, true, GetUserDefaultLCID());
        shared = new SharedLocaleManager(manager.release());
        holds_ = true;
    }
    // Balanced only when it succeeded.
    comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
}

LocaleReference::~LocaleReference() {
    if (comInitialised_) CoUninitialize();
    if (holds_ && shared) {
        SharedLocaleManager* holder = shared;
        if (holder->Count() == 1) shared = nullptr;
        holder->Release();
    }
}

}  // namespace DataModelDialogs
