#pragma once
// The class registry: class ids and ProgIDs mapped to the code that creates the objects.
// Creating a class nobody registered is an ordinary failure (REGDB_E_CLASSNOTREG).

#include <functional>
#include <string>

#include "platform/com/Unknown.h"

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_ALL = 0x17;

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);
HRESULT CLSIDFromProgID(LPCWSTR progId, CLSID* clsid);

namespace orv::com {

// Creates an object and returns the requested interface in *object (AddRef'ed), or fails.
using ClassCreator = std::function<HRESULT(REFIID iid, void** object)>;

// Registers (or replaces) a class. progId may be empty.
void RegisterClass(REFCLSID clsid, const std::wstring& progId, ClassCreator creator);
void UnregisterClass(REFCLSID clsid);
bool IsClassRegistered(REFCLSID clsid);

}  // namespace orv::com
