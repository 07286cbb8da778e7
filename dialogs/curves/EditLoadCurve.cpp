#include "dialogs/curves/EditLoadCurve.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "components/interfaces/ICurveEditor.h"
#include "components/interfaces/IOrvGlobals.h"
#include "dialogs/curves/CurveEditContext.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/curves/CurveEditorAutomation.h"
#include "dialogs/resources/Curves.h"
#include "host/appcore/AppCore.h"
#include "host/model/DbDesignScenario.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/RecordInfo.h"
#include "platform/res/Module.h"
#include "platform/res/Resources.h"
#include "platform/win/TextFormat.h"

namespace DataModelDialogs {
namespace {

CString LoadText(UINT id) {
    CString text;
    text.LoadString(id);
    return text;
}

void ShowMessage(CWnd& dialog, const std::wstring& text) {
    (void)dialog;
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

std::wstring Insert(UINT id, std::vector<std::wstring> inserts) {
    return orv::FormatMessageStrings(LoadText(id).GetString(), inserts);
}

// The signed integer at the start of the control's text (0 when there is none).
long long ReadSignedText(HWND control) {
    wchar_t text[64] = {};
    ::GetWindowText(control, text, 64);
    return std::wcstoll(text, nullptr, 10);
}

}  // namespace

bool EditLoadCurve(CWnd& dialog, UINT editId, std::uint32_t curveKind, UINT titleId, UINT messageId,
                   OrvDbRecord::DbDesignScenario* scenario, const std::wstring& databasePath) {
    ResourceModuleScope resources;
    HWND edit = ::GetDlgItem(dialog.m_hWnd, int(editId));
    if (!edit) return false;

    // 1. Curve 0 is reserved, and a negative id names no curve: edit curve 1 instead, and
    // say so; so is an id beyond the range of curve ids. (Taking the magnitude would let "-3"
    // through, which reads as no unsigned number.)
    const long long typed = ReadSignedText(edit);
    if (typed < 1 || typed > 0x7FFFFFFF) {
        ::SetDlgItemInt(dialog.m_hWnd, int(editId), 1, FALSE);
        AfxMessageBox(messageId, MB_OK | MB_ICONEXCLAMATION);
    }
    BOOL translated = FALSE;
    const UINT curveId = ::GetDlgItemInt(dialog.m_hWnd, int(editId), &translated, FALSE);
    if (!translated || curveId < 1 || curveId > 0x7FFFFFFFu) return false;
    const std::int32_t id = std::int32_t(curveId);

    std::wstring modelPath = scenario ? scenario->GetModelPath() : std::wstring();
    std::int32_t scenarioId = scenario ? std::int32_t(scenario->Id()) : 0;
    if (modelPath.empty()) {
        modelPath = databasePath;
        scenarioId = 0;
    }

    try {
        // 2. Read the curve.
        CurveEditContext context(scenario ? &scenario->GetCurrentDisplayUnitSystem() : nullptr);
        context.SelectCurveType(scenario ? scenario->GetAnalysisCategory() : 0, curveKind);
        if (modelPath.empty() || !context.OpenDatabase(modelPath.c_str(), scenarioId)) {
            const std::int32_t status = modelPath.empty() ? Marlo::kStatusNullArgument : context.Status();
            ShowMessage(dialog, Insert(IDS_CURVE_DATABASE_NOT_OPEN, {Marlo::StatusText(status)}));
            return false;
        }
        if (!context.ReadCurve(id, 0)) {
            if (context.Status() == Marlo::kStatusCountTooLarge) {
                std::int32_t stored = 0;
                Marlo::MarloGeneralAccess reader(false, context.Connection(), true, true);
                reader.ReadInteger(context.CurveType()->PointCountKey(id, 0).GetString(), &stored);
                ShowMessage(dialog, Insert(IDS_CURVE_COUNT_TOO_LARGE, {std::to_wstring(id), std::to_wstring(stored),
                                                                       std::to_wstring(kMaxCurvePoints)}));
            }
            return false;
        }
        // 3. Edit; write back only what the person accepted.
        if (!context.EditCurve(dialog.m_hWnd, titleId, kCurveEditorModeCurve, 0, 0)) return false;
        if (!context.WriteCurve(0, 0)) {
            ShowMessage(dialog, Insert(IDS_CURVE_NOT_SAVED, {Marlo::StatusText(context.Status())}));
            return false;
        }
        return true;
    } catch (const _com_error&) {
        AfxMessageBox(IDS_CURVE_EDITOR_UNAVAILABLE, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
}

bool EditActiveRange(CWnd& dialog, OrvDbRecord::DbDesignScenario* scenario) {
    ResourceModuleScope resources;
    Marlo::MessageFilterScope filterScope;
    Marlo::DispatchDriver driver(2048, IID_NULL);
    if (FAILED(driver.CreateObject(kOrvGlobalsProgId))) {
        AfxMessageBox(IDS_ACTIVE_RANGE_UNAVAILABLE, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    // 2. The scenario's folder.
    wchar_t folder[kOrvMaxPath] = {};
    if (scenario) OrvGetDesignScenarioDotModFolderNameW(scenario->GetModelPath().c_str(), std::int32_t(scenario->Id()),
                                                        folder, 1, nullptr);

    // 3. The model units as a record.
    RURIVO_UNIT_SYSTEM_V1_ENTRY units{};
    if (scenario) scenario->GetModelUnitSystem().InitFemStruct(units);
    CComPtr<IRecordInfo> unitsInfo;
    if (SUCCEEDED(GetRecordInfoFromGuids(LIBID_OrvUnitSystemLib, 1, 0, 1033, GUID_UnitSystemRecord, &unitsInfo))) {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_RECORD | VT_BYREF;
        value.pvRecord = &units;
        value.pRecInfo = unitsInfo.p;
        driver.PutProperty(L"Units", &value);
    }

    // 4. The display unit converter, through the converter object and its link.
    CComPtr<IOrvUnitConverter> converter;
    CComPtr<IOrvUnitConverterLink> link;
    if (SUCCEEDED(CoCreateInstance(CLSID_OrvUnitConverter, nullptr, CLSCTX_ALL, IID_IOrvUnitConverter,
                                   reinterpret_cast<void**>(&converter))) &&
        SUCCEEDED(CoCreateInstance(CLSID_OrvUnitConverterLink, nullptr, CLSCTX_ALL, IID_IOrvUnitConverterLink,
                                   reinterpret_cast<void**>(&link)))) {
        OleRun(converter);
        OleRun(link);
        link->SetOwnership(0);
        if (scenario) link->SetConverter(&scenario->GetCurrentDisplayUnitSystem().GetUnitConverter());
        converter->SetLink(link);
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_DISPATCH;
        value.pdispVal = converter;
        driver.PutProperty(L"UnitConverter", &value);
    }

    // 5, 6. The owner window, then the editor.
    VARIANT owner;
    VariantInit(&owner);
    owner.vt = VT_I4;
    owner.lVal = LONG(reinterpret_cast<std::uintptr_t>(dialog.m_hWnd) & 0xFFFFFFFFu);
    driver.PutProperty(L"HwndParent", &owner);

    VARIANT args[3];
    for (VARIANT& a : args) VariantInit(&a);
    args[2].vt = VT_BSTR;  // the last argument first
    args[2].bstrVal = SysAllocString(folder);
    args[1].vt = VT_I2;
    args[1].iVal = 1;
    args[0].vt = VT_I2;
    args[0].iVal = 1;
    DISPPARAMS params{args, nullptr, 3, 0};
    driver.CallMethod(L"Orv_NonLinearAdd", &params, nullptr);
    VariantClear(&args[2]);
    return true;
}

}  // namespace DataModelDialogs
