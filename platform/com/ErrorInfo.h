#pragma once
// Error information: a per-thread description of the last failure a component reported
// (SetErrorInfo / GetErrorInfo), and _com_error, the exception that carries an HRESULT with
// that description.

#include <exception>
#include <string>

#include "platform/com/Bstr.h"
#include "platform/com/Unknown.h"

extern const IID IID_IErrorInfo;        // {1CF2B120-547D-101B-8E65-08002B2BD119}
extern const IID IID_ICreateErrorInfo;  // {22F03340-547D-101B-8E65-08002B2BD119}
extern const IID IID_ISupportErrorInfo; // {DF0B3D60-548F-101B-8E65-08002B2BD119}

struct IErrorInfo : IUnknown {
    virtual HRESULT GetGUID(GUID* guid) = 0;
    virtual HRESULT GetSource(BSTR* source) = 0;
    virtual HRESULT GetDescription(BSTR* description) = 0;
    virtual HRESULT GetHelpFile(BSTR* helpFile) = 0;
    virtual HRESULT GetHelpContext(DWORD* helpContext) = 0;

protected:
    ~IErrorInfo() = default;
};
ORV_INTERFACE(IErrorInfo, IUnknown, IID_IErrorInfo);

struct ICreateErrorInfo : IUnknown {
    virtual HRESULT SetGUID(REFGUID guid) = 0;
    virtual HRESULT SetSource(LPOLESTR source) = 0;
    virtual HRESULT SetDescription(LPOLESTR description) = 0;
    virtual HRESULT SetHelpFile(LPOLESTR helpFile) = 0;
    virtual HRESULT SetHelpContext(DWORD helpContext) = 0;

protected:
    ~ICreateErrorInfo() = default;
};
ORV_INTERFACE(ICreateErrorInfo, IUnknown, IID_ICreateErrorInfo);

// Implemented by objects that set error information; answers S_OK for the interfaces whose
// failures come with it.
struct ISupportErrorInfo : IUnknown {
    virtual HRESULT InterfaceSupportsErrorInfo(REFIID iid) = 0;

protected:
    ~ISupportErrorInfo() = default;
};
ORV_INTERFACE(ISupportErrorInfo, IUnknown, IID_ISupportErrorInfo);

// A new, empty error object (AddRef'ed); QueryInterface it for IErrorInfo.
HRESULT CreateErrorInfo(ICreateErrorInfo** info);
// Sets (null: clears) the calling thread's error information; the thread keeps a reference.
HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
// Hands over the thread's error information and clears it; S_FALSE and null when there is none.
HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);

// The exception of a failed component call.
class _com_error : public std::exception {
public:
    // Takes ownership of one reference of info unless addRef.
    explicit _com_error(HRESULT hr, IErrorInfo* info = nullptr, bool addRef = false);
    _com_error(const _com_error& other);
    _com_error& operator=(const _com_error& other);
    ~_com_error() override;

    HRESULT Error() const { return hr_; }
    // The ITF code of FACILITY_ITF failures in 0x80040200 and above, else 0.
    WORD WCode() const;
    // AddRef'ed error information, or null.
    IErrorInfo* ErrorInfo() const;
    // From the error information; empty without one.
    std::wstring Description() const;
    std::wstring Source() const;
    std::wstring HelpFile() const;
    DWORD HelpContext() const;
    ::GUID GUID() const;
    // The system text for the HRESULT ("Class not registered"), or "Unknown error 0x%08X".
    const wchar_t* ErrorMessage() const;
    // Description when there is one, else ErrorMessage, as UTF-8.
    const char* what() const noexcept override;

private:
    HRESULT hr_;
    IErrorInfo* info_;
    mutable std::wstring message_;
    mutable std::string what_;
};

// Throws _com_error(hr), without error information (the thread's may belong to another call).
[[noreturn]] void _com_issue_error(HRESULT hr);
// Throws _com_error(hr), with the thread's error information when object supports it for iid.
[[noreturn]] void _com_issue_errorex(HRESULT hr, IUnknown* object, REFIID iid);

namespace orv::com {

// The framework's text for a known HRESULT, or empty.
std::wstring HResultMessage(HRESULT hr);

// Sets the thread's error information (source interface iid, description, source name) and
// returns hr, for components reporting a failure: return ReportError(...).
HRESULT ReportError(REFIID iid, const std::wstring& description, HRESULT hr, const std::wstring& source = L"");

// Throws a _com_error for a failed hr, with the error information of object when it supports
// it for iid (see _com_issue_errorex); returns hr otherwise.
inline HRESULT ThrowIfFailed(HRESULT hr, IUnknown* object = nullptr, REFIID iid = IID_NULL) {
    if (FAILED(hr)) {
        if (object) _com_issue_errorex(hr, object, iid);
        _com_issue_error(hr);
    }
    return hr;
}

}  // namespace orv::com
