#pragma once
// IMessageFilter: the per-thread hook that decides about incoming calls and rejected or
// pending outgoing calls while a call to another component is in progress.

#include "platform/com/Unknown.h"

struct HTASK__;
using HTASK = HTASK__*;

struct INTERFACEINFO {
    IUnknown* pUnk;
    IID iid;
    WORD wMethod;
};
using LPINTERFACEINFO = INTERFACEINFO*;

// Call types of HandleInComingCall.
inline constexpr DWORD CALLTYPE_TOPLEVEL = 1;
inline constexpr DWORD CALLTYPE_NESTED = 2;
inline constexpr DWORD CALLTYPE_ASYNC = 3;
inline constexpr DWORD CALLTYPE_TOPLEVEL_CALLPENDING = 4;
inline constexpr DWORD CALLTYPE_ASYNC_CALLPENDING = 5;

// Results of HandleInComingCall and reject types of RetryRejectedCall.
inline constexpr DWORD SERVERCALL_ISHANDLED = 0;
inline constexpr DWORD SERVERCALL_REJECTED = 1;
inline constexpr DWORD SERVERCALL_RETRYLATER = 2;

// Results of MessagePending.
inline constexpr DWORD PENDINGMSG_CANCELCALL = 0;
inline constexpr DWORD PENDINGMSG_WAITNOPROCESS = 1;
inline constexpr DWORD PENDINGMSG_WAITDEFPROCESS = 2;

// Pending types of MessagePending.
inline constexpr DWORD PENDINGTYPE_TOPLEVEL = 1;
inline constexpr DWORD PENDINGTYPE_NESTED = 2;

extern const IID IID_IMessageFilter;  // {00000016-0000-0000-C000-000000000046}

struct IMessageFilter : IUnknown {
    virtual DWORD HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount, LPINTERFACEINFO interfaceInfo) = 0;
    // (DWORD)-1 cancels the call; 0 to 99 retries at once; 100 or more retries after that
    // many milliseconds.
    virtual DWORD RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) = 0;
    virtual DWORD MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) = 0;

protected:
    ~IMessageFilter() = default;
};
ORV_INTERFACE(IMessageFilter, IUnknown, IID_IMessageFilter);
using LPMESSAGEFILTER = IMessageFilter*;

// Registers filter (null: none) for the calling thread. The thread keeps a reference to the
// new filter; the previous one is handed to *previous (the caller releases it) or released
// when previous is null. Always S_OK here: every thread may hold a filter.
HRESULT CoRegisterMessageFilter(LPMESSAGEFILTER filter, LPMESSAGEFILTER* previous);

namespace orv::com {

// The calling thread's filter, AddRef'ed, or null. Components consult it where a real
// cross-process call would (an incoming call, a rejected or pending call).
IMessageFilter* CurrentMessageFilter();

}  // namespace orv::com
