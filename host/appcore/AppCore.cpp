#include "host/appcore/AppCore.h"

#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <system_error>

#include "platform/win/Utf8.h"

namespace fs = std::filesystem;

namespace {

void SetError(std::wstring* error, std::wstring text) {
    if (error) *error = std::move(text);
}

std::wstring Describe(const fs::path& path) { return L"\"" + orv::Utf8ToWide(path.string()) + L"\""; }

// Creates the folder and its parents; false with a message when it cannot, or when something
// other than a folder is in the way.
bool EnsureFolder(const fs::path& folder, std::wstring* error) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return true;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder)) {
        SetError(error, L"cannot create the folder " + Describe(folder) +
                            (ec ? L": " + orv::Utf8ToWide(ec.message()) : std::wstring(L": a file is in the way")));
        return false;
    }
    return true;
}

const char* NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

}  // namespace

bool OrvGetDesignScenarioDotModFolderName(const CString& modelPath, std::int32_t scenarioId, bool create,
                                          std::wstring& folder, std::wstring* error) {
    folder.clear();
    if (modelPath.IsEmpty()) {
        SetError(error, L"no model path given");
        return false;
    }
    if (scenarioId < 0) {
        SetError(error, L"design scenario id " + std::to_wstring(scenarioId) + L" is negative");
        return false;
    }
    const fs::path model(orv::WideToUtf8(modelPath.str()));
    const fs::path stem = model.stem();
    if (stem.empty() || model.filename() == "." || model.filename() == "..") {
        SetError(error, L"the model path " + Describe(model) + L" names no file");
        return false;
    }
    fs::path result = model.parent_path() / stem;
    result += ".mod";
    result /= std::to_string(scenarioId);
    result = result.lexically_normal();
    if (create && !EnsureFolder(result, error)) return false;
    folder = orv::Utf8ToWide(result.string());
    return true;
}

int OrvGetDesignScenarioDotModFolderNameW(const wchar_t* modelPath, std::int32_t scenarioId, wchar_t* folder,
                                          std::int32_t create, std::int32_t* result) {
    if (result) *result = 0;
    if (!folder) return 0;
    folder[0] = L'\0';
    if (!modelPath) return 0;
    std::wstring path;
    if (!OrvGetDesignScenarioDotModFolderName(modelPath, scenarioId, create != 0, path)) return 0;
    if (path.size() + 1 > std::size_t(kOrvMaxPath)) return 0;
    std::wmemcpy(folder, path.c_str(), path.size() + 1);
    if (result) *result = 1;
    return 1;
}

std::wstring OrvGetUserDataPathW(std::wstring* error) {
    fs::path folder;
    if (const char* overridden = NonEmptyEnv("ORV_USER_DATA_DIR")) {
        folder = overridden;
    } else if (const char* xdg = NonEmptyEnv("XDG_DATA_HOME")) {
        folder = fs::path(xdg) / "orven";
    } else if (const char* home = NonEmptyEnv("HOME")) {
        folder = fs::path(home) / ".local" / "share" / "orven";
    } else {
        SetError(error, L"no user data folder: neither ORV_USER_DATA_DIR, XDG_DATA_HOME nor HOME is set");
        return {};
    }
    // A relative setting is taken from the current folder once, so the answer does not change
    // when the process later changes its folder.
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec);
    if (!ec) folder = absolute;
    folder = folder.lexically_normal();
    if (!EnsureFolder(folder, error)) return {};
    std::wstring text = orv::Utf8ToWide(folder.string());
    if (text.empty() || text.back() != L'/') text += L'/';
    return text;
}
