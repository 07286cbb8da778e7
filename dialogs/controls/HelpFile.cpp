#include "dialogs/controls/HelpFile.h"

#include <cstdlib>
#include <filesystem>

#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "platform/res/Module.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"
#include "platform/win/WinMessages.h"

namespace DataModelDialogs {

namespace {

std::wstring Folder(const std::wstring& path) {
    const auto slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool IsFile(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

}  // namespace

CString FindHelpFile(HMODULE module, const CString& fileName) {
    return FindHelpFileIn(CString(Folder(orv::res::GetModuleFilePath(module)).c_str()), fileName);
}

CString FindHelpFileIn(const CString& libraryFolder, const CString& fileName) {
    const std::wstring base = std::wstring(libraryFolder.GetString()) + L"Help/";
    const std::wstring name(fileName.GetString());
    const auto candidate = [&](const std::wstring& language) { return base + language + L"/" + name; };

    if (const std::wstring forced = LocaleOverride(); !forced.empty()) {
        const std::wstring path = candidate(forced);
        if (IsFile(path)) return CString(path.c_str());
    }
    const LCID user = GetUserDefaultLCID();
    for (const LCID lcid : {user, orv::locale::NeutralLocale(user), kFallbackLocale}) {
        const auto language = orv::locale::LocaleInfo(lcid, LOCALE_SABBREVLANGNAME);
        if (!language || language->empty()) continue;
        const std::wstring path = candidate(*language);
        if (IsFile(path)) return CString(path.c_str());
    }
    return CString();
}

bool ShowLibraryHelp() {
    return ShowLibraryHelpIn(CString(Folder(orv::res::GetModuleFilePath(GetLibraryModule())).c_str()));
}

bool ShowLibraryHelpIn(const CString& libraryFolder) {
    const CString path = FindHelpFileIn(libraryFolder, CString(kHelpFileName));
    if (path.IsEmpty()) return false;
    ::HtmlHelpW(::GetDesktopWindow(), path.GetString(), HH_HELP_CONTEXT, kLibraryHelpContext);
    return true;
}

}  // namespace DataModelDialogs
