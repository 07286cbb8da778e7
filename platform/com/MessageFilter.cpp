#include "platform/com/MessageFilter.h"

#include <utility>

#include "platform/com/ClassRegistry.h"

const IID IID_IMessageFilter = orv::com::GuidLiteral(L"{00000016-0000-0000-C000-000000000046}");

namespace {

// Component state of one thread: the initialisation count and model, and the message filter.
struct ThreadState {
    int initCount = 0;
    DWORD model = 0;
    IMessageFilter* filter = nullptr;

    ~ThreadState() {
        if (filter) filter->Release();
    }
};

ThreadState& State() {
    thread_local ThreadState state;
    return state;
}

}  // namespace

HRESULT CoInitialize(void* reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

HRESULT CoInitializeEx(void*, DWORD flags) {
    auto& s = State();
    const DWORD model = flags & COINIT_APARTMENTTHREADED;
    if (s.initCount > 0 && s.model != model) return RPC_E_CHANGED_MODE;
    s.model = model;
    return s.initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    auto& s = State();
    if (s.initCount == 0) return;  // unbalanced: ignored
    if (--s.initCount == 0) {
        if (IMessageFilter* old = std::exchange(s.filter, nullptr)) old->Release();
    }
}

HRESULT CoRegisterMessageFilter(LPMESSAGEFILTER filter, LPMESSAGEFILTER* previous) {
    auto& s = State();
    if (filter) filter->AddRef();
    IMessageFilter* old = std::exchange(s.filter, filter);
    if (previous) {
        *previous = old;
    } else if (old) {
        old->Release();
    }
    return S_OK;
}

namespace orv::com {

int ComInitializeCount() { return State().initCount; }

IMessageFilter* CurrentMessageFilter() {
    IMessageFilter* f = State().filter;
    if (f) f->AddRef();
    return f;
}

}  // namespace orv::com
