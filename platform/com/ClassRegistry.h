#pragma once
// The class registry: class ids and ProgIDs mapped to the code that creates the objects.
// Creating a class nobody registered is an ordinary failure (REGDB_E_CLASSNOTREG).
//
// Every class here is served in-process, whatever server context the caller asks for; a
// context without any server bit is refused (E_INVALIDARG).

#include <functional>
#include <string>
#include <vector>

#include "platform/com/Unknown.h"

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
inline constexpr DWORD CLSCTX_SERVER = 0x15;
inline constexpr DWORD CLSCTX_ALL = 0x17;

extern const IID IID_IClassFactory;  // {00000001-0000-0000-C000-000000000046}

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};
ORV_INTERFACE(IClassFactory, IUnknown, IID_IClassFactory);

// Creates an instance of a registered class. CLASS_E_NOAGGREGATION when outer is given,
// REGDB_E_CLASSNOTREG when the class is not registered; a creator that throws gives
// E_OUTOFMEMORY (std::bad_alloc) or E_UNEXPECTED, never an exception.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);
// A class factory for a registered class (IClassFactory is the interface to ask for).
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* serverInfo, REFIID iid, void** object);
// The class registered under progId, compared without regard to case; CO_E_CLASSSTRING
// when none is.
HRESULT CLSIDFromProgID(LPCWSTR progId, CLSID* clsid);
// The ProgID of a registered class in memory the caller frees with CoTaskMemFree;
// REGDB_E_CLASSNOTREG when the class is not registered or has none.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPWSTR* progId);
// A braced GUID or a ProgID; CO_E_CLASSSTRING when it is neither.
HRESULT CLSIDFromString(LPCWSTR text, CLSID* clsid);

// Component start-up per thread: the first call returns S_OK, later ones S_FALSE; each
// successful call is balanced by CoUninitialize. Mixing apartment models on one thread gives
// RPC_E_CHANGED_MODE. Objects can be created on threads that did not initialise (nothing here
// needs an apartment), so forgetting the call is not fatal.
inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
HRESULT CoInitialize(void* reserved);
HRESULT CoInitializeEx(void* reserved, DWORD flags);
// The last balancing call releases the thread's message filter.
void CoUninitialize();

// Puts an object into the running state; every object here runs from creation: S_OK, or
// E_INVALIDARG for null.
HRESULT OleRun(IUnknown* object);

namespace orv::com {

// Creates an object and returns the requested interface in *object (AddRef'ed), or fails.
using ClassCreator = std::function<HRESULT(REFIID iid, void** object)>;

// Registers (or replaces) a class. progId may be empty.
void RegisterClass(REFCLSID clsid, const std::wstring& progId, ClassCreator creator);
void UnregisterClass(REFCLSID clsid);
bool IsClassRegistered(REFCLSID clsid);

// The calling thread's CoInitialize count (0 when not initialised).
int ComInitializeCount();

}  // namespace orv::com
