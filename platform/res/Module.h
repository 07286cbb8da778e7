#pragma once
// Modules: the binaries (executable and shared objects) whose resources we look up, and
// satellites loaded at run time.
//
// A module's handle is the address its file is mapped at, as on the framework's platform. A
// satellite loaded as a data file has a handle of its own (not an address) and none of its
// code is run. Resources compiled into a binary (orv_add_resource_module) register themselves
// when the binary is loaded.

#include <string>

#include "platform/win/WinTypes.h"

// Flags of LoadLibraryEx.
inline constexpr DWORD DONT_RESOLVE_DLL_REFERENCES = 0x00000001;
inline constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;
inline constexpr DWORD LOAD_LIBRARY_AS_IMAGE_RESOURCE = 0x00000020;
inline constexpr DWORD LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE = 0x00000040;

// Loads a shared object (its static constructors run) and returns its module handle, or null.
// Each successful call needs one FreeLibrary.
HMODULE LoadLibrary(LPCTSTR path);
// With a data-file flag, reads only the file's resources (no code runs; the file need not be
// loadable); otherwise as LoadLibrary. `file` must be null.
HMODULE LoadLibraryEx(LPCTSTR path, void* file, DWORD flags);
// Releases one load; FALSE for a handle not obtained from LoadLibrary or LoadLibraryEx.
BOOL FreeLibrary(HMODULE module);
// The address of the exported symbol `name` of a module loaded with LoadLibrary (null: the main
// program and its libraries); null when there is none.
void* GetProcAddress(HMODULE module, LPCSTR name);
// The file of `module` (null: the main program); the length copied, 0 when unknown. Truncates
// to size - 1 characters and terminates, as the framework does.
DWORD GetModuleFileName(HMODULE module, LPTSTR buffer, DWORD size);

namespace orv::res {

// The module that contains `address` (code or data); null when none does.
HINSTANCE ModuleFromAddress(const void* address);
// The main program's module.
HINSTANCE GetMainModule();
// The address of the exported symbol `name` of a module loaded with LoadLibrary (null: the main
// program and its libraries); null when there is none.
void* GetProcAddress(HMODULE module, LPCSTR name);
// The file of `module` (null: the main program); empty when unknown.
std::wstring GetModuleFilePath(HMODULE module);
// Why the last LoadLibrary or LoadLibraryEx on this thread failed.
const std::wstring& LastModuleError();

namespace detail {
// An address inside the binary that includes this header; each binary gets its own copy.
[[maybe_unused]] static void ThisModuleAnchor() {}
}  // namespace detail

}  // namespace orv::res

// The module handle of the binary whose code expands this macro (a library's own handle).
#define ORV_THIS_MODULE() \
    (::orv::res::ModuleFromAddress(reinterpret_cast<const void*>(&::orv::res::detail::ThisModuleAnchor)))

// Called by the source orvrc generates: the resources at `data` belong to the binary that holds
// `anchor` until unregistered.
extern "C" void orv_res_register_linked(const void* anchor, const unsigned char* data, std::size_t size);
extern "C" void orv_res_unregister_linked(const unsigned char* data);
