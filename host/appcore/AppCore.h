#pragma once
// Application core paths: the folder of a design scenario and the per-user data folder.
//
// A design scenario N of the model file "<dir>/<base>.<ext>" keeps its files in the folder
// "<dir>/<base>.mod/<N>". The user data folder is $ORV_USER_DATA_DIR when that is set (tests),
// else $XDG_DATA_HOME/orven, else ~/.local/share/orven.

#include <cstdint>
#include <string>

#include "platform/win/CString.h"

// Capacity, in wide characters with the terminator, of the path buffers of these functions.
inline constexpr int kOrvMaxPath = 260;

// Writes the folder of design scenario `scenarioId` of the model at `modelPath` into `folder`
// (kOrvMaxPath wide characters, no trailing separator) and, when `create` is non-zero, creates
// it with its parents. Returns 1 and stores 1 in *result (when given) on success; on failure
// (no model path, a negative id, a path too long for the buffer, a folder that cannot be made)
// returns 0, stores 0 and leaves `folder` empty.
int OrvGetDesignScenarioDotModFolderNameW(const wchar_t* modelPath, std::int32_t scenarioId, wchar_t* folder,
                                          std::int32_t create, std::int32_t* result = nullptr);

// The same without a length limit; error, when given, says what failed.
bool OrvGetDesignScenarioDotModFolderName(const CString& modelPath, std::int32_t scenarioId, bool create,
                                          std::wstring& folder, std::wstring* error = nullptr);

// The per-user data folder, absolute and with a trailing '/', created when missing. Empty when it cannot
// be found or made; error, when given, says why.
std::wstring OrvGetUserDataPathW(std::wstring* error = nullptr);
