#include "platform/com/ErrorInfo.h"

#include <cstdio>
#include <utility>

#include "platform/com/ComObject.h"
#include "platform/win/Utf8.h"

const IID IID_IErrorInfo = orv::com::GuidLiteral(L"{1CF2B120-547D-101B-8E65-08002B2BD119}");
const IID IID_ICreateErrorInfo = orv::com::GuidLiteral(L"{22F03340-547D-101B-8E65-08002B2BD119}");
const IID IID_ISupportErrorInfo = orv::com::GuidLiteral(L"{DF0B3D60-548F-101B-8E65-08002B2BD119}");

namespace {

class ErrorObject final : public orv::com::ComObject<IErrorInfo, ICreateErrorInfo> {
public:
    HRESULT GetGUID(GUID* guid) override {
        if (!guid) return E_INVALIDARG;
        *guid = guid_;
        return S_OK;
    }
    HRESULT GetSource(BSTR* out) override { return Give(source_, out); }
    HRESULT GetDescription(BSTR* out) override { return Give(description_, out); }
    HRESULT GetHelpFile(BSTR* out) override { return Give(helpFile_, out); }
    HRESULT GetHelpContext(DWORD* out) override {
        if (!out) return E_INVALIDARG;
        *out = helpContext_;
        return S_OK;
    }
    HRESULT SetGUID(REFGUID guid) override {
        guid_ = guid;
        return S_OK;
    }
    HRESULT SetSource(LPOLESTR text) override { return Take(source_, text); }
    HRESULT SetDescription(LPOLESTR text) override { return Take(description_, text); }
    HRESULT SetHelpFile(LPOLESTR text) override { return Take(helpFile_, text); }
    HRESULT SetHelpContext(DWORD context) override {
        helpContext_ = context;
        return S_OK;
    }

private:
    static HRESULT Give(const std::wstring& text, BSTR* out) {
        if (!out) return E_INVALIDARG;
        *out = SysAllocStringLen(text.data(), UINT(text.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT Take(std::wstring& field, LPOLESTR text) {
        field = text ? text : L"";
        return S_OK;
    }

    GUID guid_{};
    std::wstring source_;
    std::wstring description_;
    std::wstring helpFile_;
    DWORD helpContext_ = 0;
};

IErrorInfo*& ThreadErrorInfo() {
    thread_local struct Holder {
        IErrorInfo* info = nullptr;
        ~Holder() {
            if (info) info->Release();
        }
    } holder;
    return holder.info;
}

std::wstring Text(IErrorInfo* info, HRESULT (IErrorInfo::*get)(BSTR*)) {
    if (!info) return {};
    BSTR b = nullptr;
    if (FAILED((info->*get)(&b))) return {};
    std::wstring s(b ? b : L"", SysStringLen(b));
    SysFreeString(b);
    return s;
}

}  // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
    if (!info) return E_INVALIDARG;
    *info = new ErrorObject;
    (*info)->AddRef();
    return S_OK;
}

HRESULT SetErrorInfo(ULONG, IErrorInfo* info) {
    if (info) info->AddRef();
    IErrorInfo* old = std::exchange(ThreadErrorInfo(), info);
    if (old) old->Release();
    return S_OK;
}

HRESULT GetErrorInfo(ULONG, IErrorInfo** info) {
    if (!info) return E_INVALIDARG;
    *info = std::exchange(ThreadErrorInfo(), nullptr);
    return *info ? S_OK : S_FALSE;
}

_com_error::_com_error(HRESULT hr, IErrorInfo* info, bool addRef) : hr_(hr), info_(info) {
    if (info_ && addRef) info_->AddRef();
}

_com_error::_com_error(const _com_error& other) : std::exception(other), hr_(other.hr_), info_(other.info_) {
    if (info_) info_->AddRef();
}

_com_error& _com_error::operator=(const _com_error& other) {
    if (this != &other) {
        if (other.info_) other.info_->AddRef();
        if (info_) info_->Release();
        hr_ = other.hr_;
        info_ = other.info_;
        message_.clear();
        what_.clear();
    }
    return *this;
}

_com_error::~_com_error() {
    if (info_) info_->Release();
}

WORD _com_error::WCode() const {
    const DWORD code = DWORD(hr_);
    if (HRESULT_FACILITY(hr_) == FACILITY_ITF && (code & 0xFFFF) >= 0x200 && FAILED(hr_)) return WORD(code - 0x80040200u);
    return 0;
}

IErrorInfo* _com_error::ErrorInfo() const {
    if (info_) info_->AddRef();
    return info_;
}

std::wstring _com_error::Description() const { return Text(info_, &IErrorInfo::GetDescription); }
std::wstring _com_error::Source() const { return Text(info_, &IErrorInfo::GetSource); }
std::wstring _com_error::HelpFile() const { return Text(info_, &IErrorInfo::GetHelpFile); }

DWORD _com_error::HelpContext() const {
    DWORD context = 0;
    if (info_) info_->GetHelpContext(&context);
    return context;
}

::GUID _com_error::GUID() const {
    ::GUID g{};
    if (info_) info_->GetGUID(&g);
    return g;
}

const wchar_t* _com_error::ErrorMessage() const {
    if (message_.empty()) {
        message_ = orv::com::HResultMessage(hr_);
        if (message_.empty()) {
            wchar_t buf[40];
            if (WCode() != 0) {
                std::swprintf(buf, 40, L"IDispatch error #%u", unsigned(WCode()));
            } else {
                std::swprintf(buf, 40, L"Unknown error 0x%08X", unsigned(hr_));
            }
            message_ = buf;
        }
    }
    return message_.c_str();
}

const char* _com_error::what() const noexcept {
    try {
        if (what_.empty()) {
            const std::wstring d = Description();
            what_ = orv::WideToUtf8(d.empty() ? std::wstring(ErrorMessage()) : d);
        }
        return what_.c_str();
    } catch (...) {
        return "component error";
    }
}

void _com_issue_error(HRESULT hr) { throw _com_error(hr); }

void _com_issue_errorex(HRESULT hr, IUnknown* object, REFIID iid) {
    IErrorInfo* info = nullptr;
    if (object) {
        ISupportErrorInfo* support = nullptr;
        if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) && support) {
            if (support->InterfaceSupportsErrorInfo(iid) == S_OK) GetErrorInfo(0, &info);
            support->Release();
        }
    }
    throw _com_error(hr, info);
}

namespace orv::com {

std::wstring HResultMessage(HRESULT hr) {
    struct Known {
        HRESULT hr;
        const wchar_t* text;
    };
    static const Known known[] = {
        {S_OK, L"The operation completed successfully."},
        {S_FALSE, L"Incorrect function."},
        {E_NOTIMPL, L"Not implemented"},
        {E_NOINTERFACE, L"No such interface supported"},
        {E_POINTER, L"Invalid pointer"},
        {E_ABORT, L"Operation aborted"},
        {E_FAIL, L"Unspecified error"},
        {E_UNEXPECTED, L"Catastrophic failure"},
        {E_ACCESSDENIED, L"Access is denied."},
        {E_HANDLE, L"The handle is invalid."},
        {E_OUTOFMEMORY, L"Not enough memory resources are available to complete this operation."},
        {E_INVALIDARG, L"The parameter is incorrect."},
        {E_PENDING, L"The data necessary to complete this operation is not yet available."},
        {CLASS_E_NOAGGREGATION, L"Class does not support aggregation (or class object is remote)"},
        {CLASS_E_CLASSNOTAVAILABLE, L"ClassFactory cannot supply requested class"},
        {REGDB_E_CLASSNOTREG, L"Class not registered"},
        {REGDB_E_IIDNOTREG, L"Interface not registered"},
        {CO_E_CLASSSTRING, L"Invalid class string"},
        {CO_E_NOTINITIALIZED, L"CoInitialize has not been called."},
        {RPC_E_CHANGED_MODE, L"Cannot change thread mode after it is set."},
        {RPC_E_CALL_REJECTED, L"Call was rejected by callee."},
        {DISP_E_UNKNOWNINTERFACE, L"Unknown interface."},
        {DISP_E_MEMBERNOTFOUND, L"Member not found."},
        {DISP_E_PARAMNOTFOUND, L"Parameter not found."},
        {DISP_E_TYPEMISMATCH, L"Type mismatch."},
        {DISP_E_UNKNOWNNAME, L"Unknown name."},
        {DISP_E_NONAMEDARGS, L"No named arguments."},
        {DISP_E_BADVARTYPE, L"Bad variable type."},
        {DISP_E_EXCEPTION, L"Exception occurred."},
        {DISP_E_OVERFLOW, L"Out of present range."},
        {DISP_E_BADINDEX, L"Invalid index."},
        {DISP_E_ARRAYISLOCKED, L"Memory is locked."},
        {DISP_E_BADPARAMCOUNT, L"Invalid number of parameters."},
        {DISP_E_PARAMNOTOPTIONAL, L"Parameter not optional."},
        {TYPE_E_ELEMENTNOTFOUND, L"Element not found."},
        {TYPE_E_LIBNOTREGISTERED, L"Library not registered."},
        {TYPE_E_TYPEMISMATCH, L"Type mismatch."},
    };
    for (const auto& k : known) {
        if (k.hr == hr) return k.text;
    }
    return {};
}

HRESULT ReportError(REFIID iid, const std::wstring& description, HRESULT hr, const std::wstring& source) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create))) return hr;
    create->SetGUID(iid);
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    create->SetSource(const_cast<LPOLESTR>(source.c_str()));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
    return hr;
}

}  // namespace orv::com
