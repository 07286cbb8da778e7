#include "dialogs/objectdialogs/FeaObjectDialogBase.h"

#include <algorithm>
#include <map>
#include <vector>

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/objectdialogs/ElementTypes.h"
#include "dialogs/resources/Curves.h"
#include "host/model/Record.h"
#include "host/model/RecordLayout.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"


namespace DataModelDialogs {

namespace {
// Windows whose messages go to a host target, with the target.
std::map<HWND, std::pair<FeaObjectDialogBase*, CWnd*>>& Targets() {
    static std::map<HWND, std::pair<FeaObjectDialogBase*, CWnd*>> targets;
    return targets;
}
}  // namespace

FeaObjectDialogBase::FeaObjectDialogBase(UINT templateId, CWnd* parent, std::uint32_t typeCode)
    : FeaObjectPropertiesImplDlg(templateId, parent, typeCode) {
    Reset();
    HandleMessage(WM_CREATE, [this](WPARAM, LPARAM lParam) -> LRESULT {
        if (CWnd::OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)) == -1) return -1;
        if (CWnd* target = GetMessageTarget()) {
            // The target takes the window's messages while it lives.
            target->m_hWnd = m_hWnd;
            Targets()[m_hWnd] = {this, target};
            savedProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, LONG_PTR(&TargetProc)));
        }
        return 0;
    });
}

namespace {
UINT ServedTemplate(std::uint32_t typeCode) {
    const ServedFeaDialog* served = FindServedFeaDialog(typeCode);
    return served ? served->templateId : 0;
}
}  // namespace

FeaObjectDialogBase::FeaObjectDialogBase(const DialogDeclaration& declaration, CWnd* parent, std::uint32_t typeCode)
    : FeaObjectDialogBase(ServedTemplate(typeCode), parent, typeCode) {
    declaration_ = &declaration;
    for (const FieldBinding& b : declaration.fields) {
        if (b.kind != FieldBinding::Kind::Vector && b.kind != FieldBinding::Kind::Point) continue;
        const VectorGroup& g = b.group;
        for (UINT radio : {g.xRadio, g.yRadio, g.zRadio, g.customRadio, g.normalRadio})
            if (radio != 0 && radio != kNoControl)
                HandleCommand(radio, [this, &b, radio] { OnDirectionRadio(b.GroupIn(*this), radio); });
        if (b.pickCode && g.selector != 0 && g.selector != kNoControl)
            HandleCommand(g.selector, [this, &b] { EndWithCode(b.pickCode, {b.group.x, b.group.y, b.group.z}); });
    }
    for (const CurveButton& curve : declaration.curves) {
        HandleCommand(curve.button, [this, curve] {
            EditLoadCurve(*this, curve.edit, curve.kind, curve.title, IDS_CURVE_ID_ZERO_MESSAGE,
                          Context().editParameters.designScenario, Context().editParameters.settingsDatabasePath);
        });
    }
}

FeaObjectDialogBase::~FeaObjectDialogBase() = default;

std::int32_t FeaObjectDialogBase::ElementType() const {
    // The geometry list belongs to the binding, whose accessors are not const.
    return SharedElementType(const_cast<FeaObjectDialogBase*>(this)->GetGeometries());
}

LRESULT FeaObjectDialogBase::TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto it = Targets().find(hwnd);
    if (it == Targets().end()) return ::DefWindowProc(hwnd, message, wParam, lParam);
    auto [dialog, target] = it->second;
    if (message == WM_DESTROY) {
        // The framework's own procedure comes back, the target lets go of the handle, and the
        // dialog destroys as usual.
        ::SetWindowLongPtr(hwnd, GWLP_WNDPROC, LONG_PTR(dialog->savedProc_));
        dialog->savedProc_ = nullptr;
        target->m_hWnd = nullptr;
        Targets().erase(it);
        return ::CallWindowProc(reinterpret_cast<WNDPROC>(::GetWindowLongPtr(hwnd, GWLP_WNDPROC)), hwnd, message,
                                wParam, lParam);
    }
    return target->WindowProc(message, wParam, lParam);
}

LRESULT FeaObjectDialogBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CWnd::WindowProc(message, wParam, lParam);
}

std::uint32_t FeaObjectDialogBase::ShowDialog(std::uint32_t resumeCode) {
    Context().resumeCode = resumeCode;
    ResourceModuleScope resources;
    const INT_PTR result = DoModal();
    if (result == IDOK) return 0;
    // A dialog that could not be shown, or whose loop ran out of input, ends as Cancel: the
    // host then writes nothing.
    if (result == IDCANCEL || result == -1 || result == orv::win::kModalNoInput) return 1;
    return std::uint32_t(result);
}

std::uint32_t FeaObjectDialogBase::LoadDialogState() {
    const std::uint32_t code = Context().resumeCode;
    if (code == kResumeFresh) {
        GetEditedEntry().Zero();
        InitEditedEntry();
        if (Context().mode == 1) FillEntries();
    } else if (code != kResumeReopen) {
        OnResume(code);
    }
    return 0;
}

void FeaObjectDialogBase::RegisterField(UINT id, std::size_t offset, std::size_t size) {
    RegisterEntryField(id, offset, size, 0);
}

void FeaObjectDialogBase::RegisterFlagField(UINT id, std::size_t offset, std::uint32_t mask) {
    RegisterEntryField(id, offset, 4, mask);
}

void FeaObjectDialogBase::InitEditedEntry() { FillEditedEntry(); }

std::span<const std::uint8_t> FeaObjectDialogBase::EditedRecord() const {
    // The binding hands the edited record out only for writing; reading it changes nothing.
    return std::span<const std::uint8_t>(const_cast<FeaObjectDialogBase*>(this)->GetEditedEntry().bytes);
}

void FeaObjectDialogBase::DoDataExchange(CDataExchange* dx) {
    if (!declaration_) {
        ExchangeText(dx, IDC_DESCRIPTION, Edited(), RURIVO_LOADS_V1_ENTRY::kDescriptionOffset,
                     RURIVO_LOADS_V1_ENTRY::kDescriptionSize);
        return;
    }
    ExchangeDeclared(dx, *declaration_, Edited());
    if (dx->m_bSaveAndValidate) return;
    ApplyRules(*declaration_);
    PublishMixedValues();
}

void FeaObjectDialogBase::OnResume(std::uint32_t code) {
    if (!declaration_) return;
    // A pick the host made for a selector button comes back into that group's fields.
    for (const FieldBinding& b : declaration_->fields) {
        if (b.pickCode != code || (b.kind != FieldBinding::Kind::Vector && b.kind != FieldBinding::Kind::Point))
            continue;
        for (int i = b.group.noX || b.LeavesOutX(*this) ? 1 : 0; i < 3; ++i)
            GetEditedEntry().SetF64(ComponentField(b, i).offset, Context().pickedVector[i]);
    }
}

void FeaObjectDialogBase::PrepareControls() {
    if (!declaration_) return;
    MakeDeclaredCalcEdits(*declaration_);
    // Suppressed fields are shown blank from the first exchange on.
    ApplyRules(*declaration_, true);
}

BOOL FeaObjectDialogBase::OnCommand(WPARAM wParam, LPARAM lParam) {
    const BOOL handled = FeaObjectPropertiesImplDlg::OnCommand(wParam, lParam);
    if (declaration_ && HIWORD(wParam) == BN_CLICKED && lParam && m_hWnd && ::IsWindow(m_hWnd) &&
        declaration_->IsRuleTrigger(LOWORD(wParam)))
        ApplyRules(*declaration_);
    return handled;
}

void FeaObjectDialogBase::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (declaration_) {
        for (const FieldBinding& b : declaration_->fields) {
            const bool refuses = std::any_of(b.checks.begin(), b.checks.end(), [](const FieldCheck& c) {
                return c.kind == FieldCheck::Kind::NotNegative;
            });
            if (!refuses || IsSuppressed(b.control)) continue;
            // The message was shown by the exchange; the dialog stays open on the field.
            if (GetEditedEntry().GetF64(DeclaredField(b).offset) < 0) {
                if (HWND edit = Control(b.control)) GotoDlgCtrl(CWnd::FromHandle(edit));
                return;
            }
        }
    }
    EndDialog(IDOK);
}

namespace {
// The rectangle of a child in its dialog's client coordinates.
RECT ChildRect(HWND dialog, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    POINT topLeft{rect.left, rect.top}, bottomRight{rect.right, rect.bottom};
    ::ScreenToClient(dialog, &topLeft);
    ::ScreenToClient(dialog, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}
}  // namespace

void FeaObjectDialogBase::CloseUpRow(UINT hidden, UINT next) {
    HWND from = Control(hidden);
    HWND to = Control(next);
    if (!from || !to) return;
    const RECT hiddenRect = ChildRect(m_hWnd, from);
    // Everything that starts below the hidden control moves: the rows from `next` down, with
    // edits that sit a little above their labels.
    MoveUpFrom(hiddenRect.bottom, ChildRect(m_hWnd, to).top - hiddenRect.top);
}

void FeaObjectDialogBase::CloseUpGroup(UINT group, UINT hidden) {
    HWND box = Control(group);
    HWND from = Control(hidden);
    if (!box || !from) return;
    const RECT boxRect = ChildRect(m_hWnd, box);
    const int end = ChildRect(m_hWnd, from).top;
    const int shift = boxRect.bottom - end;
    if (shift <= 0) return;
    ::SetWindowPos(box, nullptr, 0, 0, boxRect.right - boxRect.left, end - boxRect.top, SWP_NOMOVE | SWP_NOZORDER);
    MoveUpFrom(boxRect.bottom, shift);
}

void FeaObjectDialogBase::MoveUpFrom(int top, int shift) {
    if (shift <= 0) return;
    std::vector<HWND> below;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (ChildRect(m_hWnd, child).top >= top) below.push_back(child);
    for (HWND child : below) {
        const RECT rect = ChildRect(m_hWnd, child);
        ::SetWindowPos(child, nullptr, rect.left, rect.top - shift, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - shift,
                   SWP_NOMOVE | SWP_NOZORDER);
}

namespace {

// The text of radio `index` of the group that starts at `firstRadio`, without its mnemonic marker.
std::wstring RadioText(HWND dialog, UINT firstRadio, std::size_t index) {
    HWND radio = ::GetDlgItem(dialog, int(firstRadio));
    for (std::size_t i = 0; radio && i < index; ++i) radio = ::GetWindow(radio, GW_HWNDNEXT);
    std::wstring text = radio ? ::GetWindowTextString(radio) : std::wstring();
    std::erase(text, L'&');
    return text;
}

std::wstring ComboItemText(HWND combo, int index) {
    std::wstring text(std::size_t(std::max<LRESULT>(0, ::SendMessage(combo, CB_GETLBTEXTLEN, WPARAM(index), 0))), L'\0');
    ::SendMessage(combo, CB_GETLBTEXT, WPARAM(index), LPARAM(text.data()));
    return text;
}

}  // namespace

void FeaObjectDialogBase::PublishMixedValues() {
    const auto& entries = GetEntries();
    const auto& objects = GetFeaObjects();
    if (GetMode() != 1 || entries.size() < 2 || entries.size() != objects.size()) return;
    using Kind = FieldBinding::Kind;
    std::vector<FieldBinding> fields;
    for (const FieldBinding& b : declaration_->fields) {
        if (b.kind != Kind::Vector && b.kind != Kind::Point) {
            fields.push_back(b);
            continue;
        }
        for (int i = b.group.noX || b.LeavesOutX(*this) ? 1 : 0; i < 3; ++i) {
            FieldBinding component = Double(b.ComponentEdit(i), b.ComponentField(i));
            if (b.kind == Kind::Point) component.InUnit(1);
            fields.push_back(component);
        }
    }
    if (std::none_of(fields.begin(), fields.end(), [](const FieldBinding& b) { return b.kind == Kind::Description; }))
        fields.push_back(Description());
    for (const FieldBinding& b : fields) {
        const UINT id = b.kind == Kind::Description ? IDC_DESCRIPTION : b.control;
        if (b.kind == Kind::Verify || !IsSuppressed(id)) continue;
        HWND control = Control(id);
        if (!control) continue;
        const OrvDbRecord::FieldInfo& field = DeclaredField(b);
        struct Group {
            orv::win::MixedValue value;
            double key = 0;
        };
        std::vector<Group> groups;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const OrvDbRecord::ConstRecordView view = entries[i].View();
            std::wstring text;
            double key = 0;
            switch (field.type) {
            case OrvDbRecord::FieldType::F64:
                key = view.GetF64(field.offset);
                if (!Units().FormatValue(id, key, text, b.unit)) text = L"?";
                break;
            case OrvDbRecord::FieldType::Text: text = orv::Utf8ToWide(view.GetText(field.offset, field.size)); break;
            default: {
                const std::int32_t value = view.GetI32(field.offset);
                key = value;
                text = std::to_wstring(value);
                if (b.kind == Kind::Check || b.kind == Kind::BoolRadio) {
                    const bool on = (value != 0) != b.invert;
                    text = b.kind == Kind::Check ? (on ? L"checked" : L"unchecked") : RadioText(m_hWnd, id, on ? 0 : 1);
                } else if (b.kind == Kind::FlagCheck) {
                    const std::uint32_t word = std::uint32_t(value);
                    const bool on = b.checkedMask ? (word & b.checkedMask) == b.checkedMask
                                                  : (word & b.uncheckedMask) != b.uncheckedMask;
                    text = on ? L"checked" : L"unchecked";
                } else if (b.kind == Kind::EnumRadio) {
                    const auto at = std::find(b.values.begin(), b.values.end(), value);
                    if (at != b.values.end()) text = RadioText(m_hWnd, id, std::size_t(at - b.values.begin()));
                } else if (b.kind == Kind::ComboData || b.kind == Kind::ComboDataOrNone) {
                    const int count = int(::SendMessage(control, CB_GETCOUNT, 0, 0));
                    for (int k = 0; k < count; ++k)
                        if (std::int32_t(::SendMessage(control, CB_GETITEMDATA, WPARAM(k), 0)) == value) {
                            text = ComboItemText(control, k);
                            break;
                        }
                }
            }
            }
            auto it = std::find_if(groups.begin(), groups.end(), [&](const Group& g) { return g.value.text == text; });
            if (it == groups.end()) it = groups.insert(groups.end(), Group{{text, {}}, key});
            it->value.objects.push_back(objects[i]->Id());
        }
        if (groups.size() < 2) continue;
        // Most frequent first, then ascending.
        std::stable_sort(groups.begin(), groups.end(), [&](const Group& a, const Group& b2) {
            if (a.value.objects.size() != b2.value.objects.size()) return a.value.objects.size() > b2.value.objects.size();
            if (field.type == OrvDbRecord::FieldType::Text) return a.value.text < b2.value.text;
            return a.key < b2.key;
        });
        std::vector<orv::win::MixedValue> values;
        for (Group& g : groups) values.push_back(std::move(g.value));
        orv::win::SetMixedValues(control, std::move(values));
    }
}

}  // namespace DataModelDialogs
