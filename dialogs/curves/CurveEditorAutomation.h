#pragma once
// Late-bound calls to automation objects (DispatchDriver) and the message filters registered
// for the thread while an outside component runs.

#include <string>

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/MessageFilter.h"

namespace Marlo {

// Calls members of one IDispatch object by name.
class DispatchDriver {
public:
    // lcid: the locale of name lookups and calls; iid: passed to IDispatch calls.
    explicit DispatchDriver(LCID lcid = 2048, const IID& iid = IID_NULL);
    ~DispatchDriver();
    DispatchDriver(const DispatchDriver&) = delete;
    DispatchDriver& operator=(const DispatchDriver&) = delete;

    // Creates the object of a ProgID (in-process or local server), replacing the one held.
    HRESULT CreateObject(const wchar_t* progId);
    // Takes a reference to an existing object.
    void Attach(IDispatch* object);
    IDispatch* Object() const { return dispatch_; }

    HRESULT GetIDOfName(const wchar_t* name, DISPID* id);
    // E_POINTER without an object; null params stand for no arguments.
    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result);
    HRESULT InvokeByName(const wchar_t* name, WORD flags, DISPPARAMS* params, VARIANT* result);
    // flags 0: put by reference for objects (VT_DISPATCH, VT_UNKNOWN), by value otherwise.
    HRESULT PutProperty(const wchar_t* name, VARIANT* value, WORD flags = 0);
    HRESULT GetProperty(const wchar_t* name, VARIANT* result);
    HRESULT CallMethod(const wchar_t* name, DISPPARAMS* params, VARIANT* result);
    // Releases the object, clears the exception information and the argument error index.
    void ReleaseDispatch();

    // From the last call.
    const EXCEPINFO& ExceptionInfo() const { return excepInfo_; }
    UINT ArgumentError() const { return argErr_; }

private:
    IDispatch* dispatch_ = nullptr;
    LCID lcid_;
    IID iid_;
    EXCEPINFO excepInfo_{};
    UINT argErr_ = UINT(-1);
};

// Hands incoming calls to the filter registered before it; rejected calls are retried after
// 1000 ms; pending messages wait without being processed.
class CoMessageFilter : public orv::com::ComObject<IMessageFilter> {
public:
    CoMessageFilter() = default;
    DWORD HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount, LPINTERFACEINFO info) override;
    DWORD RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
    DWORD MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;

    // The filter registered before this one (a reference is kept).
    void SetPrevious(IMessageFilter* previous) { previous_ = previous; }
    IMessageFilter* Previous() const { return previous_; }
    // Hands the reference to the previous filter to the caller.
    IMessageFilter* DetachPrevious() { return previous_.Detach(); }

private:
    CComPtr<IMessageFilter> previous_;
};

// Cancels an outgoing call once `limit` messages arrived while it was pending (limit 0 or
// less: never).
class CoPendingLimitMessageFilter : public CoMessageFilter {
public:
    explicit CoPendingLimitMessageFilter(std::int32_t limit = 0) : limit_(limit) {}
    DWORD MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;
    std::int32_t Limit() const { return limit_; }
    void SetLimit(std::int32_t limit) { limit_ = limit; }
    std::int32_t Counter() const { return counter_; }

private:
    std::int32_t limit_;
    std::int32_t counter_ = 0;
};

// Installs a CoMessageFilter for the thread for the scope's life, then restores the filter
// that was registered before.
class MessageFilterScope {
public:
    MessageFilterScope();
    ~MessageFilterScope();
    MessageFilterScope(const MessageFilterScope&) = delete;
    MessageFilterScope& operator=(const MessageFilterScope&) = delete;
    // Null when registration failed.
    CoMessageFilter* Filter() const { return filter_; }

private:
    CoMessageFilter* filter_ = nullptr;  // one reference of ours
};

}  // namespace Marlo
