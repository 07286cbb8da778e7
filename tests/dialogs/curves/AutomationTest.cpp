// Late-bound calls (DispatchDriver), the message filters, and the active range flow.

#include <filesystem>
#include <fstream>

#include "components/interfaces/IOrvGlobals.h"
#include "dialogs/curves/CurveEditorAutomation.h"
#include "dialogs/curves/EditLoadCurve.h"
#include "host/appcore/AppCore.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbModel.h"
#include "host/model/ModelFile.h"
#include "platform/com/ClassRegistry.h"
#include "platform/res/DialogTemplate.h"
#include "tests/dialogs/curves/CurveTestSupport.h"

namespace {

using namespace Marlo;
namespace fs = std::filesystem;

// Records what it is called with.
class Recorder : public orv::com::DispatchObject<IDispatch> {
public:
    Recorder() {
        Members().AddProperty(
            L"Value", nullptr,
            [this](const orv::com::DispatchCall& c) {
                lastFlags = c.Flags();
                lastType = c.Arg(0).vt;
                return S_OK;
            });
        Members().AddMethod(
            L"Add",
            [this](const orv::com::DispatchCall& c) {
                LONG a = 0, b = 0;
                if (FAILED(c.GetLong(0, a)) || FAILED(c.GetLong(1, b))) return DISP_E_TYPEMISMATCH;
                CComVariant sum(static_cast<int>(a + b));
                c.SetResult(sum);
                return S_OK;
            },
            2, 2);
        Members().AddMethod(
            L"Fail", [](const orv::com::DispatchCall& c) { return c.Raise(E_FAIL, L"it failed"); }, 0, 0);
    }
    WORD lastFlags = 0;
    VARTYPE lastType = VT_EMPTY;
};

TEST(DispatchDriver, CallsMembersByName) {
    DispatchDriver driver;
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(driver.CallMethod(L"Add", nullptr, &result), E_POINTER);  // no object

    CComPtr<Recorder> recorder(new Recorder);
    driver.Attach(recorder);
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[1].vt = VT_I4;  // first argument last
    args[1].lVal = 2;
    args[0].vt = VT_I2;
    args[0].iVal = 40;
    DISPPARAMS params{args, nullptr, 2, 0};
    ASSERT_EQ(driver.CallMethod(L"Add", &params, &result), S_OK);
    EXPECT_EQ(result.lVal, 42);
    EXPECT_EQ(driver.ArgumentError(), UINT(-1));

    EXPECT_EQ(driver.CallMethod(L"Fail", nullptr, nullptr), DISP_E_EXCEPTION);
    EXPECT_EQ(std::wstring(driver.ExceptionInfo().bstrDescription), L"it failed");
    EXPECT_EQ(driver.CallMethod(L"Missing", nullptr, nullptr), DISP_E_UNKNOWNNAME);

    driver.ReleaseDispatch();
    EXPECT_EQ(driver.Object(), nullptr);
    EXPECT_EQ(driver.ExceptionInfo().bstrDescription, nullptr);
}

TEST(DispatchDriver, PutPropertyPutsObjectsByReference) {
    CComPtr<Recorder> recorder(new Recorder);
    DispatchDriver driver;
    driver.Attach(recorder);
    CComVariant number(static_cast<int>(5));
    EXPECT_EQ(driver.PutProperty(L"Value", &number), S_OK);
    EXPECT_EQ(recorder->lastFlags, DISPATCH_PROPERTYPUT);
    VARIANT object;
    VariantInit(&object);
    object.vt = VT_DISPATCH;
    object.pdispVal = recorder;
    EXPECT_EQ(driver.PutProperty(L"Value", &object), S_OK);
    EXPECT_EQ(recorder->lastFlags, DISPATCH_PROPERTYPUTREF);
    EXPECT_EQ(driver.PutProperty(L"Value", &number, DISPATCH_PROPERTYPUTREF), S_OK);
    EXPECT_EQ(recorder->lastFlags, DISPATCH_PROPERTYPUTREF);
}

TEST(DispatchDriver, CreatesObjectsFromProgIds) {
    DispatchDriver driver;
    EXPECT_EQ(driver.CreateObject(L"Orv_Glob.CGlobals"), S_OK);
    EXPECT_NE(driver.Object(), nullptr);
    EXPECT_EQ(driver.CreateObject(L"No.Such.Object"), CO_E_CLASSSTRING);
    EXPECT_EQ(driver.Object(), nullptr);
}

class PreviousFilter : public orv::com::ComObject<IMessageFilter> {
public:
    DWORD HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override { return SERVERCALL_RETRYLATER; }
    DWORD RetryRejectedCall(HTASK, DWORD, DWORD) override { return DWORD(-1); }
    DWORD MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_CANCELCALL; }
};

TEST(MessageFilters, AnswersOfTheFilters) {
    CComPtr<CoMessageFilter> filter(new CoMessageFilter);
    EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), SERVERCALL_ISHANDLED);
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 0, SERVERCALL_RETRYLATER), 1000u);
    EXPECT_EQ(filter->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), PENDINGMSG_WAITNOPROCESS);
    CComPtr<PreviousFilter> previous(new PreviousFilter);
    filter->SetPrevious(previous);
    EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), SERVERCALL_RETRYLATER);

    const struct {
        std::int32_t limit;
        std::vector<DWORD> answers;
    } cases[] = {{0, {1, 1, 1, 1}}, {-3, {1, 1, 1}}, {2, {1, 1, 0, 0}}, {1, {1, 0}}};
    for (const auto& c : cases) {
        CComPtr<CoPendingLimitMessageFilter> limited(new CoPendingLimitMessageFilter(c.limit));
        for (std::size_t i = 0; i < c.answers.size(); ++i)
            EXPECT_EQ(limited->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), c.answers[i])
                << "limit " << c.limit << " call " << i;
    }
}

TEST(MessageFilters, TheScopeInstallsAFilterAndRestoresThePreviousOne) {
    CComPtr<PreviousFilter> previous(new PreviousFilter);
    ASSERT_EQ(CoRegisterMessageFilter(previous, nullptr), S_OK);
    {
        MessageFilterScope scope;
        ASSERT_NE(scope.Filter(), nullptr);
        CComPtr<IMessageFilter> current;
        current.Attach(orv::com::CurrentMessageFilter());
        EXPECT_EQ(current.p, static_cast<IMessageFilter*>(scope.Filter()));
        EXPECT_EQ(scope.Filter()->Previous(), previous.p);
        // Incoming calls reach the previous filter.
        EXPECT_EQ(current->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), SERVERCALL_RETRYLATER);
        {
            MessageFilterScope nested;
            EXPECT_EQ(nested.Filter()->Previous(), static_cast<IMessageFilter*>(scope.Filter()));
        }
        current.Release();
        current.Attach(orv::com::CurrentMessageFilter());
        EXPECT_EQ(current.p, static_cast<IMessageFilter*>(scope.Filter()));
    }
    CComPtr<IMessageFilter> after;
    after.Attach(orv::com::CurrentMessageFilter());
    EXPECT_EQ(after.p, previous.p);
    CoRegisterMessageFilter(nullptr, nullptr);
}

// The "Data..." button of a prescribed displacement dialog.
class ActiveRangeRow : public CDialog {
public:
    explicit ActiveRangeRow(OrvDbRecord::DbDesignScenario* scenario) : scenario_(scenario) {
        t_.caption = L"Prescribed Displacement";
        t_.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        t_.cx = 160;
        t_.cy = 60;
        orv::res::DialogItemTemplate data;
        data.className = L"Button";
        data.id = 1001;
        data.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
        data.text = L"&Data...";
        data.x = 7, data.y = 7, data.cx = 50, data.cy = 14;
        orv::res::DialogItemTemplate cancel = data;
        cancel.id = IDCANCEL;
        cancel.text = L"Cancel";
        cancel.x = 100, cancel.y = 40;
        t_.items = {data, cancel};
        InitModalIndirect(&t_);
        HandleCommand(1001, [this] { shown = DataModelDialogs::EditActiveRange(*this, scenario_); });
    }
    bool shown = false;

private:
    orv::res::DialogTemplate t_;
    OrvDbRecord::DbDesignScenario* scenario_;
};

TEST(ActiveRangeFlow, OpensTheHostsEditorOnTheScenarioFolderInDisplayUnits) {
    const fs::path dir = curvetest::ScratchFolder("range");
    auto model = OrvDbRecord::LoadSampleModel();
    OrvDbRecord::DbDesignScenario* scenario = model->GetFirstScenario();
    scenario->SetModelPath((dir / "bracket.json").wstring());
    scenario->SetModelUnitSystem(OrvDbRecord::UnitSystem(1, false));
    scenario->SetCurrentDisplayUnitSystemType(3);  // milliseconds

    curvetest::StepDriver driver;
    driver.Then([&] { curvetest::Click(1001); })
        .Then([&] {
            EXPECT_EQ(curvetest::Title(), L"Active Range");
            EXPECT_EQ(curvetest::View(1106).text, L"ms");
            curvetest::Type(1102, L"0");
            curvetest::Type(1103, L"250");
            curvetest::Click(1104);
            curvetest::Click(IDOK);
        })
        .Then([&] { curvetest::Click(IDCANCEL); });
    ActiveRangeRow dialog(scenario);
    {
        orv::win::DriverScope scope(&driver);
        dialog.DoModal();
    }
    EXPECT_TRUE(driver.steps.empty());
    EXPECT_TRUE(dialog.shown);
    wchar_t folder[kOrvMaxPath] = {};
    ASSERT_EQ(OrvGetDesignScenarioDotModFolderNameW(scenario->GetModelPath().c_str(), std::int32_t(scenario->Id()),
                                                    folder, 0, nullptr),
              1);
    std::ifstream file(fs::path(folder) / "ActiveRanges.txt");
    double start = -1, end = -1;
    file >> start >> end;
    EXPECT_EQ(start, 0);
    EXPECT_DOUBLE_EQ(end, 0.25);  // stored in model seconds
}

TEST(ActiveRangeFlow, WithoutTheHostObjectAMessageShows) {
    orv::com::UnregisterClass(CLSID_OrvGlobals);
    curvetest::StepDriver driver;
    driver.Then([&] { curvetest::Click(1001); })
        .Then([&] {
            ASSERT_TRUE(curvetest::IsMessageBox());
            EXPECT_EQ(curvetest::MessageText(), L"Unable to display the active range editor component.");
            curvetest::Click(IDOK);
        })
        .Then([&] { curvetest::Click(IDCANCEL); });
    ActiveRangeRow dialog(nullptr);
    {
        orv::win::DriverScope scope(&driver);
        dialog.DoModal();
    }
    EXPECT_FALSE(dialog.shown);
    RegisterOrvComponents();
}

}  // namespace
