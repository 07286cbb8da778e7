#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "TestObjects.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/MessageFilter.h"

namespace {

using namespace orv::com::test;

const CLSID kNobody = orv::com::GuidLiteral(L"{6B1D2C3A-0000-4000-8000-00000000DEAD}");
const CLSID kThrowsBadAlloc = orv::com::GuidLiteral(L"{6B1D2C3A-0000-4000-8000-0000000000E1}");
const CLSID kThrowsOther = orv::com::GuidLiteral(L"{6B1D2C3A-0000-4000-8000-0000000000E2}");

class ClassRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        orv::com::RegisterClass(CLSID_Counter, L"Orv_Test.Counter", [](REFIID iid, void** object) {
            CComPtr<Counter> counter(new Counter);
            return counter->QueryInterface(iid, object);
        });
    }
    void TearDown() override {
        orv::com::UnregisterClass(CLSID_Counter);
        EXPECT_EQ(0, Counter::live);
    }
};

TEST_F(ClassRegistry, UnregisteredClassIsAnOrdinaryFailure) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(kNobody, nullptr, CLSCTX_ALL, IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);
    CComPtr<ICounter> counter;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, counter.CoCreateInstance(kNobody));
    EXPECT_FALSE(counter);
    EXPECT_FALSE(orv::com::IsClassRegistered(kNobody));
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoGetClassObject(kNobody, CLSCTX_ALL, nullptr, IID_IClassFactory, &object));
}

TEST_F(ClassRegistry, CreatesRegisteredClassesAskingForTheirInterface) {
    CComPtr<ICounter> counter;
    ASSERT_EQ(S_OK, counter.CoCreateInstance(CLSID_Counter, nullptr, 23));
    EXPECT_EQ(1, Counter::live);
    EXPECT_EQ(1u, RefCount(counter));
    EXPECT_EQ(S_OK, counter->Increment(4));
    LONG value = 0;
    EXPECT_EQ(S_OK, counter->Value(&value));
    EXPECT_EQ(4, value);

    // The derived interface answers for its base; unrelated ids do not.
    CComPtr<ICounter2> second;
    EXPECT_EQ(S_OK, counter.QueryInterface(&second));
    EXPECT_TRUE(second.IsEqualObject(counter));
    CComPtr<IDispatch> none;
    EXPECT_EQ(E_NOINTERFACE, counter.QueryInterface(&none));
    EXPECT_FALSE(none);

    void* object = nullptr;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, CoCreateInstance(CLSID_Counter, counter, CLSCTX_ALL, IID_IUnknown, &object));
    EXPECT_EQ(E_INVALIDARG, CoCreateInstance(CLSID_Counter, nullptr, 0, IID_IUnknown, &object));
    EXPECT_EQ(E_NOINTERFACE, CoCreateInstance(CLSID_Counter, nullptr, CLSCTX_ALL, IID_IDispatch, &object));
    EXPECT_EQ(nullptr, object);
}

TEST_F(ClassRegistry, ProgIdLookupIgnoresCase) {
    CLSID clsid;
    for (const wchar_t* name : {L"Orv_Test.Counter", L"orv_test.counter", L"ORV_TEST.COUNTER"}) {
        clsid = GUID_NULL;
        EXPECT_EQ(S_OK, CLSIDFromProgID(name, &clsid));
        EXPECT_EQ(CLSID_Counter, clsid);
    }
    EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromProgID(L"Orv_Test.Counter.1", &clsid));
    EXPECT_EQ(CO_E_CLASSSTRING, CLSIDFromProgID(L"", &clsid));
    EXPECT_EQ(E_INVALIDARG, CLSIDFromProgID(nullptr, &clsid));
    EXPECT_EQ(S_OK, CLSIDFromString(L"orv_test.COUNTER", &clsid));

    LPWSTR progId = nullptr;
    ASSERT_EQ(S_OK, ProgIDFromCLSID(CLSID_Counter, &progId));
    EXPECT_STREQ(L"Orv_Test.Counter", progId);
    CoTaskMemFree(progId);
    EXPECT_EQ(REGDB_E_CLASSNOTREG, ProgIDFromCLSID(kNobody, &progId));

    CComPtr<INamed> named;
    EXPECT_EQ(S_OK, named.CoCreateInstance(L"orv_test.counter"));
    EXPECT_EQ(CO_E_CLASSSTRING, named.CoCreateInstance(L"Orv_Test.Missing"));
    EXPECT_FALSE(named);
}

TEST_F(ClassRegistry, CreatorsThatThrowFailWithAnHResult) {
    orv::com::RegisterClass(kThrowsBadAlloc, L"", [](REFIID, void**) -> HRESULT { throw std::bad_alloc(); });
    orv::com::RegisterClass(kThrowsOther, L"", [](REFIID, void**) -> HRESULT { throw std::runtime_error("x"); });
    void* object = nullptr;
    EXPECT_EQ(E_OUTOFMEMORY, CoCreateInstance(kThrowsBadAlloc, nullptr, CLSCTX_ALL, IID_IUnknown, &object));
    EXPECT_EQ(E_UNEXPECTED, CoCreateInstance(kThrowsOther, nullptr, CLSCTX_ALL, IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);
    orv::com::UnregisterClass(kThrowsBadAlloc);
    orv::com::UnregisterClass(kThrowsOther);
}

TEST_F(ClassRegistry, ClassFactoriesCreateInstances) {
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, CoGetClassObject(CLSID_Counter, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                     reinterpret_cast<void**>(&factory)));
    CComPtr<ICounter> counter;
    EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ICounter, reinterpret_cast<void**>(&counter)));
    EXPECT_TRUE(counter);
    CComPtr<ICounter> refused;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(counter, IID_ICounter, reinterpret_cast<void**>(&refused)));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
}

TEST_F(ClassRegistry, ThrowingPointerRaisesComErrors) {
    try {
        ComPtr<ICounter> missing(kNobody);
        FAIL() << "creating an unregistered class did not throw";
    } catch (const _com_error& e) {
        EXPECT_EQ(REGDB_E_CLASSNOTREG, e.Error());
        EXPECT_STREQ(L"Class not registered", e.ErrorMessage());
    }
    ComPtr<ICounter> empty;
    EXPECT_THROW(empty->Increment(1), _com_error);

    ComPtr<ICounter> counter(CLSID_Counter);
    counter->Increment(2);
    ComPtr<INamed> named(counter);  // asks the same object for another interface
    ASSERT_TRUE(named);
    CComBSTR name;
    named->Name(&name);
    EXPECT_EQ(L"counter", name.str());
    ComPtr<IDispatch> notThere(counter);
    EXPECT_FALSE(notThere);
}

TEST(ComThread, InitialisationIsCountedPerThread) {
    ASSERT_EQ(0, orv::com::ComInitializeCount());
    EXPECT_EQ(S_OK, CoInitialize(nullptr));
    EXPECT_EQ(S_FALSE, CoInitialize(nullptr));
    EXPECT_EQ(RPC_E_CHANGED_MODE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    EXPECT_EQ(2, orv::com::ComInitializeCount());
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();  // unbalanced: ignored
    EXPECT_EQ(0, orv::com::ComInitializeCount());
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    CoUninitialize();
    CComPtr<ICounter> running(new Counter);
    EXPECT_EQ(S_OK, OleRun(running));
    EXPECT_EQ(E_INVALIDARG, OleRun(nullptr));
}

// A filter that records what it is asked.
class RecordingFilter final : public orv::com::ComObject<IMessageFilter> {
public:
    static inline int live = 0;
    RecordingFilter() { ++live; }
    ~RecordingFilter() override { --live; }
    DWORD HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override { return SERVERCALL_RETRYLATER; }
    DWORD RetryRejectedCall(HTASK, DWORD, DWORD) override { return 1000; }
    DWORD MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITNOPROCESS; }
};

TEST(MessageFilter, RegistrationHandsBackThePreviousFilter) {
    CoInitialize(nullptr);
    {
        CComPtr<IMessageFilter> first(new RecordingFilter);
        CComPtr<IMessageFilter> second(new RecordingFilter);
        IMessageFilter* previous = reinterpret_cast<IMessageFilter*>(1);
        EXPECT_EQ(S_OK, CoRegisterMessageFilter(first, &previous));
        EXPECT_EQ(nullptr, previous);
        EXPECT_EQ(2u, RefCount(first));  // the thread holds one

        EXPECT_EQ(S_OK, CoRegisterMessageFilter(second, &previous));
        EXPECT_EQ(first.p, previous);  // handed over with the thread's reference
        CComPtr<IMessageFilter> current;
        current.Attach(orv::com::CurrentMessageFilter());
        EXPECT_EQ(second.p, current.p);
        EXPECT_EQ(SERVERCALL_RETRYLATER, current->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr));
        current.Release();

        // Restoring the previous filter, as a scope does on exit.
        IMessageFilter* mine = nullptr;
        EXPECT_EQ(S_OK, CoRegisterMessageFilter(previous, &mine));
        previous->Release();
        EXPECT_EQ(second.p, mine);
        mine->Release();
        EXPECT_EQ(2u, RefCount(first));
        EXPECT_EQ(1u, RefCount(second));
    }
    EXPECT_EQ(1, RecordingFilter::live);  // the thread still holds the first one
    CoUninitialize();                     // the last balancing call revokes it
    EXPECT_EQ(0, RecordingFilter::live);
    IMessageFilter* none = orv::com::CurrentMessageFilter();
    EXPECT_EQ(nullptr, none);
}

TEST(ErrorInfo, ComponentsReportDescriptionsThatCallersReceive) {
    CComPtr<ICounter> counter(new Counter);
    EXPECT_EQ(E_INVALIDARG, counter->Increment(-1));
    try {
        _com_issue_errorex(E_INVALIDARG, counter, IID_ICounter);
    } catch (const _com_error& e) {
        EXPECT_EQ(E_INVALIDARG, e.Error());
        EXPECT_EQ(L"Counters only count up.", e.Description());
        EXPECT_EQ(L"Counter", e.Source());
        EXPECT_EQ(IID_ICounter, e.GUID());
        EXPECT_STREQ("Counters only count up.", e.what());
        const _com_error copy = e;
        EXPECT_EQ(L"Counters only count up.", copy.Description());
    }
    // The thread's error information was handed over: nothing is left.
    IErrorInfo* left = nullptr;
    EXPECT_EQ(S_FALSE, GetErrorInfo(0, &left));
    EXPECT_EQ(nullptr, left);

    // An interface without error support: the description is not taken.
    counter->Increment(-1);
    try {
        _com_issue_errorex(E_INVALIDARG, counter, IID_INamed);
    } catch (const _com_error& e) {
        EXPECT_EQ(L"", e.Description());
        EXPECT_STREQ("The parameter is incorrect.", e.what());
    }
    SetErrorInfo(0, nullptr);
}

TEST(ErrorInfo, MessagesOfCodes) {
    EXPECT_STREQ(L"Unspecified error", _com_error(E_FAIL).ErrorMessage());
    EXPECT_STREQ(L"Unknown error 0x80991234", _com_error(HRESULT(0x80991234)).ErrorMessage());
    EXPECT_EQ(0, _com_error(HRESULT(0x80991234)).WCode());
    EXPECT_STREQ(L"IDispatch error #4148", _com_error(HRESULT(0x80041234)).ErrorMessage());
    EXPECT_EQ(0x34, _com_error(HRESULT(0x80040234)).WCode());
    EXPECT_STREQ(L"IDispatch error #52", _com_error(HRESULT(0x80040234)).ErrorMessage());
    EXPECT_EQ(HRESULT(0x80070002), HRESULT_FROM_WIN32(2));
    EXPECT_EQ(S_OK, HRESULT_FROM_WIN32(0));
    EXPECT_THROW(orv::com::ThrowIfFailed(E_ABORT), _com_error);
    CComPtr<ICounter> counter(new Counter);
    try {
        orv::com::ThrowIfFailed(counter->Increment(-5), counter, IID_ICounter);
        FAIL() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(L"Counters only count up.", e.Description());
    }
    // Without the object, stale error information is not attached to an unrelated failure.
    counter->Increment(-5);
    try {
        orv::com::ThrowIfFailed(E_ABORT);
    } catch (const _com_error& e) {
        EXPECT_EQ(L"", e.Description());
    }
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(S_FALSE, orv::com::ThrowIfFailed(S_FALSE));
}

}  // namespace
