#include "components/curveeditor/OrvGlobals.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "components/curveeditor/CurveEditor.h"
#include "components/curveeditor/CurveEditorDialog.h"
#include "host/model/UnitSystem.h"
#include "host/units/UnitSystem.h"
#include "platform/res/DialogBuilder.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/RecordInfo.h"
#include "platform/win/Utf8.h"

namespace orv::components {
namespace {

constexpr LONG kTimeUnit = 3;

orv::res::DialogTemplate BuildTemplate() {
    using D = ActiveRangeDialog;
    return orv::res::DialogBuilder(L"Active Range", 220, 150)
        .Label(L"", D::IDC_FOLDER, 7, 5, 206, 8)
        .Control(L"ListBox", L"", D::IDC_RANGES, LBS_NOTIFY | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 7, 16, 206, 60)
        .Label(L"&Start:", IDC_STATIC, 7, 84, 24, 8)
        .Edit(D::IDC_START, 32, 82, 50, 14)
        .Label(L"&End:", IDC_STATIC, 88, 84, 20, 8)
        .Edit(D::IDC_END, 108, 82, 50, 14)
        .Label(L"", D::IDC_UNIT, 162, 84, 50, 8)
        .Button(L"&Add", D::IDC_ADD, 7, 102, 40, 14)
        .Button(L"&Delete", D::IDC_DELETE, 51, 102, 40, 14)
        .DefaultButton(L"OK", IDOK, 109, 129, 50, 14)
        .Button(L"Cancel", IDCANCEL, 163, 129, 50, 14)
        .Build();
}

// ---- the host automation object ----

class OrvGlobals : public orv::com::DispatchObject<IDispatch> {
public:
    OrvGlobals() {
        Members().AddProperty(L"Units", nullptr, [this](const orv::com::DispatchCall& c) { return PutUnits(c); });
        Members().AddProperty(
            L"UnitConverter", nullptr, [this](const orv::com::DispatchCall& c) {
                CComPtr<IDispatch> object;
                HRESULT hr = c.GetDispatch(0, &object.p);
                if (FAILED(hr)) return hr;
                converter_.Release();
                if (object) object->QueryInterface(IID_IOrvUnitConverter, reinterpret_cast<void**>(&converter_.p));
                return S_OK;
            });
        Members().AddProperty(
            L"HwndParent",
            [this](const orv::com::DispatchCall& c) {
                CComVariant v(static_cast<int>(parent_));
                c.SetResult(v);
                return S_OK;
            },
            [this](const orv::com::DispatchCall& c) { return c.GetLong(0, parent_); });
        Members().AddMethod(
            L"Orv_NonLinearAdd", [this](const orv::com::DispatchCall& c) { return NonLinearAdd(c); }, 1, 3);
    }

private:
    HRESULT PutUnits(const orv::com::DispatchCall& c) {
        const VARIANT& v = c.Arg(0);
        if ((v.vt & VT_TYPEMASK) != VT_RECORD || !v.pvRecord)
            return c.Raise(DISP_E_TYPEMISMATCH, L"Units must be a unit system record.");
        RURIVO_UNIT_SYSTEM_V1_ENTRY entry{};
        std::memcpy(entry.bytes, v.pvRecord, sizeof entry.bytes);
        UnitSys::UnitSystem system;
        std::wstring error;
        if (!system.InitOnFemStruct(entry, &error)) return c.Raise(E_INVALIDARG, L"Units: " + error);
        hasUnits_ = true;
        return S_OK;
    }

    HRESULT NonLinearAdd(const orv::com::DispatchCall& c) {
        std::wstring folder;
        HRESULT hr = c.GetString(0, folder);
        if (FAILED(hr)) return hr;
        if (folder.empty()) return c.Raise(E_INVALIDARG, L"Orv_NonLinearAdd: no design scenario folder.");
        const std::wstring path = folder + L"/ActiveRanges.txt";
        std::vector<ActiveRange> ranges;
        std::wstring error;
        if (!ReadActiveRanges(path, ranges, error)) return c.Raise(E_FAIL, error);
        HWND parent = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(static_cast<ULONG>(parent_)));
        CWnd* owner = parent && ::IsWindow(parent) ? CWnd::FromHandle(parent) : nullptr;
        ActiveRangeDialog dialog(owner, folder, ranges, converter_);
        if (dialog.DoModal() != IDOK) return S_OK;
        if (!WriteActiveRanges(path, dialog.Ranges(), error)) return c.Raise(E_FAIL, error);
        return S_OK;
    }

    LONG parent_ = 0;
    bool hasUnits_ = false;
    CComPtr<IOrvUnitConverter> converter_;
};

// ---- the unit converter objects ----

class UnitConverterLink : public orv::com::ComObject<IOrvUnitConverterLink> {
public:
    HRESULT GetConverter(void** converter) override {
        if (!converter) return E_POINTER;
        *converter = owns_ ? &copy_ : converter_;
        return S_OK;
    }
    HRESULT SetConverter(void* converter) override {
        converter_ = static_cast<OrvDbRecord::UnitConverter*>(converter);
        if (owns_ && converter_) copy_ = *converter_;
        return S_OK;
    }
    HRESULT GetOwnership(LONG* owns) override {
        if (!owns) return E_POINTER;
        *owns = owns_ ? 1 : 0;
        return S_OK;
    }
    HRESULT SetOwnership(LONG owns) override {
        owns_ = owns != 0;
        if (owns_ && converter_) copy_ = *converter_;
        return S_OK;
    }

private:
    OrvDbRecord::UnitConverter* converter_ = nullptr;
    OrvDbRecord::UnitConverter copy_;
    bool owns_ = false;
};

class UnitConverterObject : public orv::com::DispatchObject<IOrvUnitConverter> {
public:
    UnitConverterObject() {
        Members().AddMethod(
            L"Convert", [this](const orv::com::DispatchCall& c) { return ByName(c, false); }, 2, 2);
        Members().AddMethod(
            L"ReverseConvert", [this](const orv::com::DispatchCall& c) { return ByName(c, true); }, 2, 2);
        Members().AddMethod(
            L"UnitText",
            [this](const orv::com::DispatchCall& c) {
                LONG unit = 0;
                HRESULT hr = c.GetLong(0, unit);
                if (FAILED(hr)) return hr;
                CComBSTR text;
                hr = UnitText(unit, &text);
                if (FAILED(hr)) return hr;
                CComVariant v(text.m_str ? text.m_str : L"");
                c.SetResult(v);
                return S_OK;
            },
            1, 1);
    }

    HRESULT GetLink(IUnknown** link) override {
        if (!link) return E_POINTER;
        *link = link_;
        if (*link) (*link)->AddRef();
        return S_OK;
    }
    HRESULT SetLink(IUnknown* link) override {
        link_.Release();
        if (link && FAILED(link->QueryInterface(IID_IOrvUnitConverterLink, reinterpret_cast<void**>(&link_.p))))
            return orv::com::ReportError(IID_IOrvUnitConverter, L"Not a unit converter link.", E_NOINTERFACE);
        return S_OK;
    }
    HRESULT Convert(LONG unit, double value, double* result) override { return Run(unit, value, result, false); }
    HRESULT ReverseConvert(LONG unit, double value, double* result) override { return Run(unit, value, result, true); }
    HRESULT UnitText(LONG unit, BSTR* text) override {
        if (!text) return E_POINTER;
        OrvDbRecord::UnitConverter converter;
        HRESULT hr = Converter(unit, converter);
        if (FAILED(hr)) return hr;
        *text = SysAllocString(converter.GetToUnitText().c_str());
        return S_OK;
    }

private:
    HRESULT Converter(LONG unit, OrvDbRecord::UnitConverter& out) {
        void* raw = nullptr;
        if (!link_ || FAILED(link_->GetConverter(&raw)) || !raw)
            return orv::com::ReportError(IID_IOrvUnitConverter, L"The unit converter has no converter.", E_FAIL);
        out = *static_cast<OrvDbRecord::UnitConverter*>(raw);
        if (!out.SetDisplayableUnit(int(unit)))
            return orv::com::ReportError(IID_IOrvUnitConverter, L"Unknown displayable unit " + std::to_wstring(unit) + L".",
                                         E_INVALIDARG);
        return S_OK;
    }
    HRESULT Run(LONG unit, double value, double* result, bool reverse) {
        if (!result) return E_POINTER;
        OrvDbRecord::UnitConverter converter;
        HRESULT hr = Converter(unit, converter);
        if (FAILED(hr)) return hr;
        *result = reverse ? converter.ReverseConvert(value) : converter.Convert(value);
        return S_OK;
    }
    HRESULT ByName(const orv::com::DispatchCall& c, bool reverse) {
        LONG unit = 0;
        double value = 0, result = 0;
        HRESULT hr = c.GetLong(0, unit);
        if (SUCCEEDED(hr)) hr = c.GetDouble(1, value);
        if (SUCCEEDED(hr)) hr = Run(unit, value, &result, reverse);
        if (FAILED(hr)) return hr;
        CComVariant v;
        v.vt = VT_R8;
        v.dblVal = result;
        c.SetResult(v);
        return S_OK;
    }

    CComPtr<IOrvUnitConverterLink> link_;
};

template <class T, class I>
HRESULT Create(REFIID iid, void** object) {
    CComPtr<I> instance(new T);
    return instance->QueryInterface(iid, object);
}

}  // namespace

HRESULT CreateOrvGlobals(REFIID iid, void** object) { return Create<OrvGlobals, IDispatch>(iid, object); }
HRESULT CreateUnitConverter(REFIID iid, void** object) {
    return Create<UnitConverterObject, IOrvUnitConverter>(iid, object);
}
HRESULT CreateUnitConverterLink(REFIID iid, void** object) {
    return Create<UnitConverterLink, IOrvUnitConverterLink>(iid, object);
}

// ---- files ----

bool ReadActiveRanges(const std::wstring& path, std::vector<ActiveRange>& ranges, std::wstring& error) {
    ranges.clear();
    std::ifstream in{std::filesystem::path(path)};
    if (!in) return true;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::istringstream fields(line);
        ActiveRange range;
        std::string rest;
        if (!(fields >> range.start >> range.end) || (fields >> rest)) {
            error = path + L": line " + std::to_wstring(number) + L": expected two numbers";
            return false;
        }
        if (range.end < range.start) {
            error = path + L": line " + std::to_wstring(number) + L": the range ends before it starts";
            return false;
        }
        ranges.push_back(range);
    }
    return true;
}

bool WriteActiveRanges(const std::wstring& path, const std::vector<ActiveRange>& ranges, std::wstring& error) {
    const std::filesystem::path target(path);
    std::filesystem::path temporary = target;
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const ActiveRange& r : ranges) {
            char text[80];
            std::snprintf(text, sizeof text, "%.17g %.17g\n", r.start, r.end);
            out << text;
        }
        out.flush();
        if (!out) {
            error = L"cannot write " + temporary.wstring();
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        error = L"cannot replace " + path;
        return false;
    }
    return true;
}

// ---- the dialog ----

ActiveRangeDialog::ActiveRangeDialog(CWnd* parent, std::wstring folder, std::vector<ActiveRange> ranges,
                                     IOrvUnitConverter* converter)
    : template_(BuildTemplate()), folder_(std::move(folder)), ranges_(std::move(ranges)), converter_(converter) {
    InitModalIndirect(&template_, parent);
    HandleCommand(IDC_ADD, [this] { OnAdd(); });
    HandleCommand(IDC_DELETE, [this] { OnDelete(); });
}

double ActiveRangeDialog::ToDisplay(double model) const {
    double out = model;
    if (converter_ && FAILED(converter_->Convert(kTimeUnit, model, &out))) out = model;
    return out;
}

double ActiveRangeDialog::ToModel(double display) const {
    double out = display;
    if (converter_ && FAILED(converter_->ReverseConvert(kTimeUnit, display, &out))) out = display;
    return out;
}

BOOL ActiveRangeDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_FOLDER, folder_.c_str());
    if (converter_) {
        CComBSTR unit;
        if (SUCCEEDED(converter_->UnitText(kTimeUnit, &unit)) && unit.m_str) SetDlgItemText(IDC_UNIT, unit.m_str);
    }
    Fill();
    return TRUE;
}

void ActiveRangeDialog::Fill() {
    SendDlgItemMessage(IDC_RANGES, LB_RESETCONTENT, 0, 0);
    for (const ActiveRange& r : ranges_) {
        const std::wstring text = CurveEditorDialog::FormatValue(ToDisplay(r.start)) + L" to " +
                                  CurveEditorDialog::FormatValue(ToDisplay(r.end));
        SendDlgItemMessage(IDC_RANGES, LB_ADDSTRING, 0, LPARAM(text.c_str()));
    }
}

void ActiveRangeDialog::OnAdd() {
    double values[2] = {0, 0};
    const int ids[2] = {IDC_START, IDC_END};
    for (int i = 0; i < 2; ++i) {
        wchar_t text[128] = {};
        ::GetDlgItemText(m_hWnd, ids[i], text, 128);
        if (!CurveEditorDialog::ParseValue(text, values[i])) {
            AfxMessageBox(i == 0 ? L"Enter a number for the start." : L"Enter a number for the end.",
                          MB_OK | MB_ICONEXCLAMATION);
            ::SetFocus(::GetDlgItem(m_hWnd, ids[i]));
            return;
        }
    }
    if (values[1] < values[0]) {
        AfxMessageBox(L"The range must not end before it starts.", MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_END));
        return;
    }
    ranges_.push_back({ToModel(values[0]), ToModel(values[1])});
    Fill();
}

void ActiveRangeDialog::OnDelete() {
    const int at = int(SendDlgItemMessage(IDC_RANGES, LB_GETCURSEL, 0, 0));
    if (at < 0 || std::size_t(at) >= ranges_.size()) return;
    ranges_.erase(ranges_.begin() + at);
    Fill();
}

}  // namespace orv::components
