#include "apps/orvdlg/HostWindow.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <tuple>

#include "apps/orvdlg/ModelessCommands.h"
#include "apps/orvdlg/PickPrompt.h"
#include "apps/orvdlg/ViewPickWindow.h"
#include "dialogs/convection/ConvectionCalculatorHost.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/DbModel.h"
#include "host/model/RecordLayout.h"
#include "platform/res/DialogBuilder.h"
#include "platform/win/TextFormat.h"
#include "platform/win/Utf8.h"

namespace orvdlg {
namespace {

using DataModelDialogs::AFeaObjectPropertiesDialog;

// Column widths in dialog units: the type column as wide as the longest name the host gives a
// type (four units a character, with padding), the description the rest of the list (less its
// borders and a vertical scroll bar).
constexpr int kListWidth = 252, kListChrome = 13, kIdColumn = 22, kMinDescriptionColumn = 60;

int TypeColumnUnits() {
    std::size_t longest = std::wstring_view(L"Initial Fluid Volume").size();
    for (const auto& info : OrvDbRecord::AllFeaTypes()) longest = std::max(longest, HostTypeName(info.typeCode).size());
    return std::min(int(longest) * 4 + 8, kListWidth - kListChrome - kIdColumn - kMinDescriptionColumn);
}

int DialogUnitsToPixels(const CDialog& dialog, int cx) {
    RECT rect{0, 0, cx, 0};
    dialog.MapDialogRect(&rect);
    return rect.right;
}

CListCtrl* ListOf(const CWnd& dialog, int id) { return static_cast<CListCtrl*>(dialog.GetDlgItem(id)); }

// "Heat Generation 18", "Heat Generation 18, 27".
std::wstring Named(std::uint32_t typeCode, const std::vector<std::uint32_t>& ids) {
    std::wstring text = HostTypeName(typeCode);
    for (std::size_t i = 0; i < ids.size(); ++i) text += (i ? L", " : L" ") + std::to_wstring(ids[i]);
    return text;
}

// What a new object can be applied to: the scenario's geometry items of the type's kind, with
// how the list names them ("Part 1 \"Bracket\"", "Surface 3 (part 1)", "Node 5").
struct GeometryChoice {
    std::wstring label;
    OrvDbRecord::StorageMapItem* item = nullptr;
};

std::vector<GeometryChoice> GeometryChoices(const OrvDbRecord::DbDesignScenario& scenario, std::uint32_t typeCode) {
    using Kind = OrvDbRecord::StorageMapItem::Kind;
    constexpr std::size_t kMaxNodes = 500;  // a person does not scroll through a whole mesh
    std::vector<GeometryChoice> choices;
    switch (OrvDbRecord::GeometryKindOf(typeCode)) {
        case Kind::Part:
            for (const auto& [id, part] : scenario.GetParts())
                choices.push_back({L"Part " + std::to_wstring(id) + L" \"" + orv::Utf8ToWide(part->GetName()) + L"\"",
                                   part.get()});
            break;
        case Kind::Surface:
            for (const auto& [id, surface] : scenario.GetSurfaces())
                choices.push_back({L"Surface " + std::to_wstring(id) + L" (part " + std::to_wstring(surface->GetPartId()) + L")",
                                   surface.get()});
            break;
        case Kind::Edge:
            for (const auto& [id, edge] : scenario.GetEdges())
                choices.push_back({L"Edge " + std::to_wstring(id) + L" (part " + std::to_wstring(edge->GetPartId()) + L")",
                                   edge.get()});
            break;
        case Kind::Node:
            for (const auto& [id, node] : scenario.GetNodes()) {
                if (choices.size() == kMaxNodes) break;
                choices.push_back({L"Node " + std::to_wstring(id), scenario.FindGeometry(Kind::Node, id)});
            }
            break;
        default: break;
    }
    return choices;
}

// The chooser of "New...": the types that have a dialog, by name, with their codes, and the
// geometry item the new object is applied to.
class NewObjectDialog : public CDialog {
public:
    static constexpr int IDC_TYPES = HostWindow::IDC_NEW_TYPES;
    static constexpr int IDC_GEOMETRY = HostWindow::IDC_NEW_GEOMETRY;

    NewObjectDialog(std::vector<HostObjectType> types, const OrvDbRecord::DbDesignScenario& scenario, CWnd* parent)
        : types_(std::move(types)), scenario_(scenario) {
        template_ = orv::res::DialogBuilder(L"New Object", 220, 190)
                        .Label(L"&Type of the new object:", IDC_STATIC, 7, 7, 160, 8)
                        .Control(L"SysListView32", L"", IDC_TYPES,
                                 LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 18, 206, 126)
                        .Label(L"Apply t&o:", IDC_STATIC, 7, 152, 36, 8)
                        .Control(L"ComboBox", L"", IDC_GEOMETRY, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 46, 150, 167, 100)
                        .DefaultButton(L"OK", IDOK, 109, 169, 50, 14)
                        .Button(L"Cancel", IDCANCEL, 163, 169, 50, 14)
                        .Build();
        InitModalIndirect(&template_, parent);
        HandleNotify(IDC_TYPES, NM_DBLCLK, [this](NMHDR*, LRESULT*) { OnOK(); });
        HandleNotify(IDC_TYPES, LVN_ITEMCHANGED, [this](NMHDR*, LRESULT*) { FillGeometry(); });
    }

    std::uint32_t Chosen() const { return chosen_; }
    // Null: the object is applied to nothing yet.
    OrvDbRecord::StorageMapItem* Geometry() const { return geometry_; }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        CListCtrl* list = ListOf(*this, IDC_TYPES);
        list->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        list->InsertColumn(0, L"Type", LVCFMT_LEFT, DialogUnitsToPixels(*this, 160));
        list->InsertColumn(1, L"Code", LVCFMT_RIGHT, DialogUnitsToPixels(*this, 40));
        for (std::size_t i = 0; i < types_.size(); ++i) {
            const int row = list->InsertItem(int(i), types_[i].name.c_str());
            list->SetItemText(row, 1, std::to_wstring(types_[i].typeCode & 0xFFFF).c_str());
            list->SetItemData(row, types_[i].typeCode);
        }
        if (!types_.empty()) list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        FillGeometry();
        GotoDlgCtrl(list);
        return FALSE;
    }

    void OnOK() override {
        const std::uint32_t typeCode = SelectedType();
        if (!typeCode) {
            AfxMessageBox(L"Choose the type of the new object.", MB_ICONEXCLAMATION);
            return;
        }
        chosen_ = typeCode;
        const int index = int(SendDlgItemMessage(IDC_GEOMETRY, CB_GETCURSEL));
        geometry_ = index > 0 && std::size_t(index) <= choices_.size() ? choices_[std::size_t(index) - 1].item : nullptr;
        EndDialog(IDOK);
    }

private:
    std::uint32_t SelectedType() const {
        const CListCtrl* list = ListOf(*this, IDC_TYPES);
        const int row = list->GetNextItem(-1, LVNI_SELECTED);
        return row < 0 ? 0 : std::uint32_t(list->GetItemData(row));
    }

    // The geometry items of the chosen type's kind; the first one is proposed.
    void FillGeometry() {
        if (!m_hWnd) return;
        const std::uint32_t typeCode = SelectedType();
        choices_ = typeCode && !IsFluidVolumeChoice(typeCode) ? GeometryChoices(scenario_, typeCode)
                                                              : std::vector<GeometryChoice>{};
        SendDlgItemMessage(IDC_GEOMETRY, CB_RESETCONTENT);
        SendDlgItemMessage(IDC_GEOMETRY, CB_ADDSTRING, 0, LPARAM(L"(nothing yet)"));
        for (const auto& choice : choices_) SendDlgItemMessage(IDC_GEOMETRY, CB_ADDSTRING, 0, LPARAM(choice.label.c_str()));
        SendDlgItemMessage(IDC_GEOMETRY, CB_SETCURSEL, choices_.empty() ? 0 : 1);
    }

    std::vector<HostObjectType> types_;
    const OrvDbRecord::DbDesignScenario& scenario_;
    std::vector<GeometryChoice> choices_;
    orv::res::DialogTemplate template_;
    std::uint32_t chosen_ = 0;
    OrvDbRecord::StorageMapItem* geometry_ = nullptr;
};

orv::res::DialogTemplate BuildTemplate() {
    using H = HostWindow;
    // The status line has two rows, so that a long message wraps rather than losing its end.
    return orv::res::DialogBuilder(L"orvdlg", 330, 216)
        .Control(L"SysListView32", L"", H::IDC_OBJECTS, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 7,
                 kListWidth, 110)
        .Label(L"C&ontact pairs:", IDC_STATIC, 7, 122, 120, 8)
        .Control(L"SysListView32", L"", H::IDC_CONTACTS, LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 7, 132,
                 kListWidth, 58)
        .Button(L"&New...", H::IDC_NEW, 266, 7, 57, 14)
        .DefaultButton(L"&Modify...", H::IDC_MODIFY, 266, 25, 57, 14)
        .Button(L"&Save", H::IDC_SAVE, 266, 50, 57, 14)
        .Button(L"Save &As...", H::IDC_SAVE_AS, 266, 68, 57, 14)
        .Button(L"&Units...", H::IDC_UNITS, 266, 93, 57, 14)
        .Button(L"S&pecies...", H::IDC_SPECIES, 266, 111, 57, 14)
        .Button(L"&Calculator...", H::IDC_CALCULATOR, 266, 129, 57, 14)
        .Button(L"&Libraries...", H::IDC_LIBRARIES, 266, 147, 57, 14)
        .Button(L"E&xit", H::IDC_EXIT, 266, 165, 57, 14)
        .Label(L"", H::IDC_STATUS, 7, 195, 316, 16, SS_LEFT | SS_NOPREFIX)
        .Build();
}

}  // namespace

FeaDialogSource FactoryDialogSource() {
    return [](std::uint32_t typeCode) -> AFeaObjectPropertiesDialog* {
        auto* base = DataModelDialogs::GetDataModelDialogFactory()->GetFeaObjectPropertiesDialog(typeCode, nullptr, 0);
        return dynamic_cast<AFeaObjectPropertiesDialog*>(base);
    };
}

std::wstring HostTypeName(std::uint32_t typeCode) {
    const OrvDbRecord::FeaTypeInfo* info = OrvDbRecord::FindFeaType(typeCode);
    if (!info) return L"Type " + std::to_wstring(typeCode);
    std::wstring name = orv::Utf8ToWide(info->name);
    const auto all = OrvDbRecord::AllFeaTypes();
    const auto sharing = std::count_if(all.begin(), all.end(), [&](const auto& t) { return t.name == info->name; });
    if (sharing > 1) name += L" (" + orv::Utf8ToWide(OrvDbRecord::GeometryKindName(info->geometry)) + L")";
    return name;
}

std::vector<HostObjectType> CreatableTypes(const FeaDialogSource& source) {
    std::vector<HostObjectType> types;
    for (const auto& info : OrvDbRecord::AllFeaTypes())
        if (source && source(info.typeCode)) types.push_back({info.typeCode, HostTypeName(info.typeCode)});
    std::stable_sort(types.begin(), types.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return types;
}

HostWindow::HostWindow(ModelSession& session, std::string untitledName, FeaDialogSource source)
    : session_(session), untitledName_(std::move(untitledName)), source_(std::move(source)), template_(BuildTemplate()) {
    InitModalIndirect(&template_);
    HandleCommand(IDC_NEW, BN_CLICKED, [this] { OnNew(); });
    HandleCommand(IDC_MODIFY, BN_CLICKED, [this] { OnModify(); });
    HandleCommand(IDC_SAVE, BN_CLICKED, [this] { OnSave(); });
    HandleCommand(IDC_SAVE_AS, BN_CLICKED, [this] { OnSaveAs(); });
    HandleCommand(IDC_EXIT, BN_CLICKED, [this] { OnExit(); });
    HandleCommand(IDC_UNITS, BN_CLICKED, [this] { OnUnits(); });
    HandleCommand(IDC_SPECIES, BN_CLICKED, [this] { OnSpecies(); });
    HandleCommand(IDC_CALCULATOR, BN_CLICKED, [this] { OnCalculator(); });
    HandleCommand(IDC_LIBRARIES, BN_CLICKED, [this] { OnLibraries(); });
    HandleNotify(IDC_OBJECTS, NM_DBLCLK, [this](NMHDR*, LRESULT*) { OnModify(); });
    HandleNotify(IDC_OBJECTS, NM_SETFOCUS, [this](NMHDR*, LRESULT*) { contactsActive_ = false; });
    HandleNotify(IDC_CONTACTS, NM_SETFOCUS, [this](NMHDR*, LRESULT*) { contactsActive_ = true; });
    HandleNotify(IDC_CONTACTS, NM_DBLCLK, [this](NMHDR*, LRESULT*) { OnModifyContacts(); });
}

std::string HostWindow::Path() const { return orv::WideToUtf8(session_.Model().GetPath()); }

std::string HostWindow::DisplayName() const {
    const std::string path = Path();
    return path.empty() ? untitledName_ : std::filesystem::path(path).filename().string();
}

std::wstring HostWindow::TitleText() const {
    return L"orvdlg - " + orv::Utf8ToWide(DisplayName()) + (modified_ ? L" *" : L"");
}

BOOL HostWindow::OnInitDialog() {
    CDialog::OnInitDialog();
    CListCtrl* list = ListOf(*this, IDC_OBJECTS);
    list->SetExtendedStyle(LVS_EX_FULLROWSELECT);
    const int typeColumn = TypeColumnUnits();
    list->InsertColumn(0, L"Type", LVCFMT_LEFT, DialogUnitsToPixels(*this, typeColumn));
    list->InsertColumn(1, L"Id", LVCFMT_RIGHT, DialogUnitsToPixels(*this, kIdColumn));
    list->InsertColumn(2, L"Description", LVCFMT_LEFT,
                       DialogUnitsToPixels(*this, kListWidth - kListChrome - kIdColumn - typeColumn));
    Refresh({});
    RefreshContacts({});
    // The first row starts selected, so that Enter opens it at once.
    if (list->GetItemCount() > 0) list->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    UpdateTitle();
    const OrvDbRecord::DbDesignScenario& scenario = session_.Scenario();
    SetStatus(L"Opened " + orv::Utf8ToWide(DisplayName()) + L": " + std::to_wstring(scenario.GetFeaObjects().size()) +
              L" objects in design scenario " + std::to_wstring(scenario.Id()) + L" \"" +
              orv::Utf8ToWide(scenario.GetName()) + L"\".");
    GotoDlgCtrl(list);
    return FALSE;
}

void HostWindow::OnOK() { OnModify(); }
void HostWindow::OnCancel() { OnExit(); }

void HostWindow::Refresh(const std::vector<std::uint32_t>& select) {
    struct Row {
        std::wstring type;
        std::uint32_t typeCode, id;
        std::wstring description;
    };
    std::vector<Row> rows;
    for (const auto& [id, object] : session_.Scenario().GetFeaObjects())
        rows.push_back({HostTypeName(object->GetTypeCode()), object->GetTypeCode(), id,
                        orv::Utf8ToWide(object->GetDescription())});
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return std::tie(a.type, a.typeCode, a.id) < std::tie(b.type, b.typeCode, b.id);
    });
    CListCtrl* list = ListOf(*this, IDC_OBJECTS);
    list->DeleteAllItems();
    const std::set<std::uint32_t> selected(select.begin(), select.end());
    bool focused = false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // The type is shown on the first row of its group only.
        const bool first = i == 0 || rows[i - 1].typeCode != rows[i].typeCode;
        const int row = list->InsertItem(int(i), first ? rows[i].type.c_str() : L"");
        list->SetItemText(row, 1, std::to_wstring(rows[i].id).c_str());
        list->SetItemText(row, 2, rows[i].description.c_str());
        list->SetItemData(row, rows[i].id);
        if (selected.count(rows[i].id)) {
            const UINT state = focused ? LVIS_SELECTED : LVIS_SELECTED | LVIS_FOCUSED;
            list->SetItemState(row, state, state);
            if (!focused) list->EnsureVisible(row, FALSE);
            focused = true;
        }
    }
    AddFluidVolumeRows(*list, selected, focused);
}

std::vector<std::uint32_t> HostWindow::SelectedIds() const {
    std::vector<std::uint32_t> ids;
    const CListCtrl* list = ListOf(*this, IDC_OBJECTS);
    for (int row = list->GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list->GetNextItem(row, LVNI_SELECTED))
        ids.push_back(std::uint32_t(list->GetItemData(row)));
    return ids;
}

void HostWindow::OnNew() {
    std::vector<HostObjectType> types = CreatableTypes(source_);
    if (types.empty()) {
        Refuse(L"The library serves no dialog to create objects with.");
        return;
    }
    AddFluidVolumeChoices(types);
    OrvDbRecord::DbDesignScenario& scenario = session_.Scenario();
    NewObjectDialog chooser(types, scenario, this);
    if (chooser.DoModal() != IDOK) {
        SetStatus(L"Nothing created.");
        return;
    }
    const std::uint32_t typeCode = chooser.Chosen();
    if (IsFluidVolumeChoice(typeCode)) {
        OpenFluidVolume(std::nullopt, (typeCode >> 16) - 1);
        return;
    }
    AFeaObjectPropertiesDialog* dialog = source_(typeCode);
    if (!dialog) {
        Refuse(L"The library has no dialog for " + HostTypeName(typeCode) + L" objects.");
        return;
    }
    // The host's calling order: Reset, SetEditParameters, SetMode, then the run. The geometry
    // list is the host's: it keeps where the new object goes.
    dialog->Reset();
    DataModelDialogs::FeaObjectEditParameters parameters;
    parameters.designScenario = &scenario;
    parameters.settingsDatabasePath = scenario.GetModelPath();
    parameters.objectCount = 1;
    dialog->SetEditParameters(parameters);
    dialog->SetMode(0);
    if (chooser.Geometry()) dialog->AddGeometry(chooser.Geometry());
    std::uint32_t result = 1;
    if (!RunWithPicks(*dialog, result)) return;
    if (result != 0) {
        SetStatus(L"Nothing created.");
        return;
    }
    RURIVO_LOADS_V1_ENTRY entry;
    dialog->FillNewObjectEntry(&scenario, nullptr, &entry);
    const std::vector<OrvDbRecord::StorageMapItem*>& geometries = dialog->GetGeometries();
    const OrvDbRecord::StorageMapItem* geometry = geometries.empty() ? nullptr : geometries.front();
    const auto kind = OrvDbRecord::GeometryKindOf(typeCode);
    const auto& object = scenario.CreateFeaObject(typeCode, entry, kind, geometry ? geometry->Id() : 0);
    const std::uint32_t id = object.Id();
    SetModified(true);
    Refresh({id});
    std::wstring where;
    if (geometry) {
        const auto info = OrvDbRecord::FindFeaType(typeCode);
        where = L" on " + (info ? orv::Utf8ToWide(OrvDbRecord::GeometryKindName(info->geometry)) : std::wstring(L"item")) +
                L" " + std::to_wstring(geometry->Id());
    }
    SetStatus(Named(typeCode, {id}) + L" created" + where + L".");
}

void HostWindow::OnCalculator() {
    const auto outcome = DataModelDialogs::RunSurfaceConvectionCalculator(
        this, session_.Scenario().GetCurrentDisplayUnitSystem().GetUnitSystem(), CString(L"0"), CString(L"0"));
    SetStatus(outcome.result == IDOK ? L"Film coefficient: h = " + orv::FormatPrintf(L"%g", outcome.coefficient)
                                     : std::wstring(L"Calculator cancelled."));
}

void HostWindow::OnLibraries() {
    const auto outcome =
        DataModelDialogs::RunCoefficientLibrary(this, session_.Scenario().GetCurrentDisplayUnitSystem().GetUnitSystem());
    SetStatus(outcome.result == IDOK ? L"Coefficient \"" + std::wstring(outcome.name.GetString()) + L"\": h = " +
                                           orv::FormatPrintf(L"%g", outcome.coefficient)
                                     : std::wstring(L"No coefficient chosen."));
}

void HostWindow::OnModify() {
    if (contactsActive_) {
        OnModifyContacts();
        return;
    }
    const std::vector<std::uint32_t> ids = SelectedIds();
    if (ids.empty()) {
        Refuse(L"Select the objects to modify.");
        return;
    }
    if (ids.size() == 1 && (ids.front() & kFluidVolumeRow)) {
        OpenFluidVolume(ids.front() & ~kFluidVolumeRow, 0);
        return;
    }
    if (std::any_of(ids.begin(), ids.end(), [](std::uint32_t id) { return (id & kFluidVolumeRow) != 0; })) {
        Refuse(L"Modify one initial fluid volume at a time, without other objects.");
        return;
    }
    OrvDbRecord::DbDesignScenario& scenario = session_.Scenario();
    std::vector<OrvDbRecord::DbFeaObject*> objects;
    std::vector<std::uint32_t> codes;
    for (std::uint32_t id : ids) {
        OrvDbRecord::DbFeaObject* object = scenario.FindFeaObject(id);
        if (!object) continue;
        objects.push_back(object);
        if (std::find(codes.begin(), codes.end(), object->GetTypeCode()) == codes.end())
            codes.push_back(object->GetTypeCode());
    }
    if (codes.size() > 1) {
        std::wstring names;
        for (std::size_t i = 0; i < codes.size(); ++i) names += (i ? L", " : L"") + HostTypeName(codes[i]);
        Refuse(L"The selected objects are of different types (" + names +
               L"). Select objects of one type to modify them together.");
        return;
    }
    if (objects.empty()) return;
    const std::uint32_t typeCode = codes.front();
    AFeaObjectPropertiesDialog* dialog = source_(typeCode);
    if (!dialog) {
        Refuse(L"The library has no dialog for " + HostTypeName(typeCode) + L" objects yet.");
        return;
    }
    dialog->Reset();
    DataModelDialogs::FeaObjectEditParameters parameters;
    parameters.designScenario = &scenario;
    parameters.settingsDatabasePath = scenario.GetModelPath();
    parameters.objectCount = std::uint32_t(objects.size());
    dialog->SetEditParameters(parameters);
    dialog->SetMode(1);
    for (const auto* object : objects) dialog->AddFeaObject(object);
    std::uint32_t result = 1;
    if (!RunWithPicks(*dialog, result)) return;
    if (result != 0) {
        SetStatus(L"Nothing modified.");
        return;
    }
    // Each object's record as read when the dialog started, with the edits applied.
    const std::vector<RURIVO_LOADS_V1_ENTRY>& entries = dialog->GetEntries();
    std::vector<std::uint32_t> changed;
    for (std::size_t i = 0; i < objects.size() && i < entries.size(); ++i) {
        RURIVO_LOADS_V1_ENTRY entry = entries[i];
        dialog->ApplyEditsToEntry(&entry);
        const RURIVO_LOADS_V1_ENTRY before = objects[i]->GetRecord();
        objects[i]->InitOnFemStruct(entry);
        if (!(objects[i]->GetRecord() == before)) changed.push_back(objects[i]->Id());
    }
    if (!changed.empty()) SetModified(true);
    Refresh(ids);
    SetStatus(changed.empty() ? Named(typeCode, ids) + L" unchanged." : Named(typeCode, changed) + L" modified.");
}

bool HostWindow::RunWithPicks(AFeaObjectPropertiesDialog& dialog, std::uint32_t& result) {
    std::uint32_t resume = 0;
    for (;;) {
        orv::win::ClearModalError();
        result = dialog.ShowDialog(resume);
        NoteChangedFunctions();
        if (!orv::win::ModalError().empty()) {
            SetStatus(L"The dialog ended without an answer.");
            return false;
        }
        if (result == 0 || result == 1) return true;
        // A pick request: the person types what the host would let them pick in the view.
        PickPromptDialog prompt(DescribePick(result), this);
        const INT_PTR answer = prompt.DoModal();
        if (answer == IDOK) {
            if (prompt.Request().kind == PickRequest::Kind::Value) {
                dialog.SetPickedValue(prompt.Value());
            } else {
                const auto& v = prompt.Vector();
                dialog.SetPickedVector(v[0], v[1], v[2]);
            }
            resume = result;
        } else if (answer == IDCANCEL) {
            resume = 1;  // reopens with the previous edits, nothing picked
        } else {
            SetStatus(L"The pick prompt ended without an answer.");
            return false;
        }
    }
}

void HostWindow::NoteChangedFunctions() {
    // A surface variable load dialog changes the scenario's functions at once, even when it is
    // cancelled: the model is changed then.
    bool changed = false;
    for (const auto& [id, function] : session_.Scenario().GetShapes())
        if (function->IsChanged()) {
            function->SetChanged(false);
            changed = true;
        }
    if (changed) SetModified(true);
}

bool HostWindow::OnSave() {
    const std::string path = Path();
    return path.empty() ? OnSaveAs() : SaveTo(path);
}

bool HostWindow::OnSaveAs() {
    const std::wstring suggestion = orv::Utf8ToWide(DisplayName());
    CFileDialog dialog(FALSE, L"json", suggestion.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                       L"Model files (*.json)|*.json|All files (*.*)|*.*||", this);
    if (dialog.DoModal() != IDOK) {
        SetStatus(L"Not saved.");
        return false;
    }
    return SaveTo(dialog.GetPathName().ToUtf8());
}

bool HostWindow::SaveTo(const std::string& path) {
    try {
        session_.Save(path);
    } catch (const std::runtime_error& error) {
        Refuse(L"The model was not saved: " + orv::Utf8ToWide(error.what()));
        return false;
    }
    SetModified(false);
    SetStatus(L"Saved " + orv::Utf8ToWide(DisplayName()) + L".");
    return true;
}

void HostWindow::OnExit() {
    if (modified_) {
        const std::wstring question = L"Save changes to " + orv::Utf8ToWide(DisplayName()) + L"?";
        const int answer = AfxMessageBox(question.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDYES) {
            if (!OnSave()) return;
        } else if (answer != IDNO) {
            return;  // Cancel, or no answer: the window stays
        }
    }
    EndDialog(IDOK);
}

void HostWindow::SetStatus(std::wstring text) {
    status_ = std::move(text);
    if (m_hWnd) SetDlgItemText(IDC_STATUS, status_.c_str());
}

void HostWindow::Refuse(const std::wstring& text) {
    SetStatus(text);
    AfxMessageBox(text.c_str(), MB_ICONEXCLAMATION);
}

void HostWindow::UpdateTitle() {
    if (m_hWnd) SetWindowText(TitleText().c_str());
}

void HostWindow::SetModified(bool modified) {
    modified_ = modified;
    UpdateTitle();
}

}  // namespace orvdlg
