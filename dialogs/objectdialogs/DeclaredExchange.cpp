// The shell's side of a dialog declaration (FieldTable.h): the data exchange of the declared
// fields with their checks, the rules, and the expression edits of real-number fields.

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"
#include "host/model/Record.h"
#include "host/model/RecordLayout.h"
#include "platform/win/MessageBox.h"

namespace DataModelDialogs {

const OrvDbRecord::FieldInfo& FeaObjectPropertiesImplDlg::DeclaredField(const FieldBinding& binding) const {
    const OrvDbRecord::FieldInfo* field = OrvDbRecord::FindField(OrvDbRecord::FieldsOfType(TypeCode()), binding.field);
    if (!field)
        throw std::logic_error("field \"" + binding.field + "\" is not in the record of type code " +
                               std::to_string(TypeCode()));
    return *field;
}

const OrvDbRecord::FieldInfo& FeaObjectPropertiesImplDlg::ComponentField(const FieldBinding& binding,
                                                                         int component) const {
    FieldBinding one = binding;
    one.field = binding.ComponentField(component);
    return DeclaredField(one);
}

void FeaObjectPropertiesImplDlg::ExchangeDeclared(CDataExchange* dx, const DialogDeclaration& declaration,
                                                  std::span<std::uint8_t> record) {
    using Kind = FieldBinding::Kind;
    bool description = false;
    for (const FieldBinding& b : declaration.fields) {
        if ((Saving(dx) || !b.exchangedWhenSavingOnly) && !b.exchangedWhen.Holds(*this)) continue;
        if (b.kind == Kind::Vector || b.kind == Kind::Point) {
            const VectorGroup group = b.GroupIn(*this);
            if (group.skipX) LeaveOutX(b);
            std::size_t offsets[3] = {0, 0, 0};
            for (int i = group.noX || group.skipX ? 1 : 0; i < 3; ++i) offsets[i] = ComponentField(b, i).offset;
            if (b.kind == Kind::Vector) {
                ExchangeVector(dx, group, record, offsets[0], offsets[1], offsets[2], true,
                               b.refuseZero && b.refuseZeroWhen.Holds(*this));
                if (!b.kindField.empty()) ExchangeDirectionKind(dx, b, record);
            } else {
                ExchangeVectorUnit(dx, group.x, group.y, group.z, record, offsets[0], offsets[1], offsets[2],
                                   b.companions, group.noX || group.skipX);
            }
            continue;
        }
        if (Saving(dx) && !b.readWhen.Holds(*this)) continue;
        const OrvDbRecord::FieldInfo& field = DeclaredField(b);
        const UINT id = b.kind == Kind::Description ? IDC_DESCRIPTION : b.control;
        switch (b.kind) {
        case Kind::Description:
            description = true;
            [[fallthrough]];
        case Kind::Text: ExchangeText(dx, id, record, field.offset, field.size); break;
        case Kind::Double:
            if (b.unit < 0) ExchangeDouble(dx, id, record, field.offset);
            else ExchangeDoubleUnit(dx, id, record, field.offset, DisplayableUnit(b.unit));
            break;
        case Kind::Int: ExchangeInt(dx, id, record, field.offset); break;
        case Kind::Curve: ExchangeCurveNumber(dx, id, record, field.offset); break;
        case Kind::Check: ExchangeBoolCheck(dx, id, record, field.offset, b.invert); break;
        case Kind::FlagCheck: ExchangeFlagCheck(dx, id, record, field.offset, b.uncheckedMask, b.checkedMask); break;
        case Kind::BoolRadio: ExchangeBoolRadio(dx, id, record, field.offset, b.invert); break;
        case Kind::EnumRadio: ExchangeEnumRadio(dx, id, record, field.offset, b.values); break;
        case Kind::ComboData: ExchangeComboItemData(dx, id, record, field.offset); break;
        case Kind::ComboDataOrNone: ExchangeComboItemDataOrNone(dx, id, record, field.offset); break;
        case Kind::Verify:
        case Kind::Vector:  // exchanged above
        case Kind::Point: break;
        }
        if (b.checks.empty() || !Saving(dx)) continue;
        OrvDbRecord::RecordView view(record);
        const bool real = field.type == OrvDbRecord::FieldType::F64;
        const double value = real ? view.GetF64(field.offset) : double(view.GetI32(field.offset));
        for (const FieldCheck& check : b.checks) {
            if (!check.when.Holds(*this)) continue;
            switch (check.kind) {
            case FieldCheck::Kind::Range:
                if (check.unit < 0) ValidateRange(dx, id, value, check.min, check.max);
                else ValidateRange(dx, id, value, check.min, check.max, DisplayableUnit(check.unit));
                break;
            case FieldCheck::Kind::IntRange:
                ValidateIntRange(dx, id, view.GetI32(field.offset), int(check.min), int(check.max));
                break;
            case FieldCheck::Kind::NonZero: ValidateNonZero(dx, id, value, check.message); break;
            case FieldCheck::Kind::NotNegative:
                if (ChecksApply(dx, id) && value < 0) AfxMessageBox(LoadResourceString(check.message).GetString(), MB_OK);
                break;
            }
        }
    }
    if (!description) {
        const OrvDbRecord::FieldInfo& field = DeclaredField(Description());
        ExchangeText(dx, IDC_DESCRIPTION, record, field.offset, field.size);
    }
}

void FeaObjectPropertiesImplDlg::LeaveOutX(const FieldBinding& b) {
    std::vector<UINT> ids(b.xCompanions);
    ids.insert(ids.begin(), b.group.x);
    ids.push_back(kListEnd);
    MarkSuppressed(ids.data());
    BlankAndDisableControls(ids.data());
}

void FeaObjectPropertiesImplDlg::ExchangeDirectionKind(CDataExchange* dx, const FieldBinding& b,
                                                      std::span<std::uint8_t> record) {
    // The kind has no control of its own: it is registered under an id no control has, so that
    // it is written back to the objects when they agree on it.
    const std::size_t offset = DeclaredField(Int(0, b.kindField)).offset;
    const UINT id = 0x10000u + UINT(offset);
    Register(id, offset, 4);
    if (!Saving(dx) || IsSuppressed(id) || IsSuppressed(b.ComponentEdit(1))) return;
    const UINT radios[4] = {b.group.xRadio, b.group.yRadio, b.group.zRadio, b.group.customRadio};
    for (std::int32_t i = 0; i < 4; ++i)
        if (::IsDlgButtonChecked(m_hWnd, int(radios[i])) == BST_CHECKED) OrvDbRecord::RecordView(record).SetI32(offset, i);
}

void FeaObjectPropertiesImplDlg::ApplyRules(const DialogDeclaration& declaration, bool suppressionsOnly) {
    using Effect = DialogRule::Effect;
    for (const DialogRule& rule : declaration.rules) {
        if (suppressionsOnly && rule.effect != Effect::SuppressUnless && rule.effect != Effect::SuppressUnless9 &&
            rule.effect != Effect::Suppress)
            continue;
        const bool holds = rule.when.Holds(*this);
        std::vector<UINT> ids(rule.controls);
        ids.push_back(kListEnd);
        switch (rule.effect) {
        case DialogRule::Effect::Enable: EnableControls(ids.data(), holds); break;
        case DialogRule::Effect::Show: ShowControls(ids.data(), holds); break;
        case DialogRule::Effect::SpinRange:
            if (holds)
                if (HWND spin = Control(rule.controls.front())) ::SendMessage(spin, UDM_SETRANGE32, WPARAM(rule.min), rule.max);
            break;
        case DialogRule::Effect::SuppressUnless: {
            const auto& c = rule.controls;
            SuppressUnlessAnalysisTypes(c[0], c[1], c[2], c[3], c[4], c[5], c[6]);
            break;
        }
        case DialogRule::Effect::SuppressUnless9: {
            const auto& c = rule.controls;
            SuppressUnlessAnalysisTypes(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
            break;
        }
        case DialogRule::Effect::Suppress:
            if (holds) {
                MarkSuppressed(ids.data());
                DisableControls(ids.data());
            }
            break;
        }
    }
}

void FeaObjectPropertiesImplDlg::MakeDeclaredCalcEdits(const DialogDeclaration& declaration) {
    std::vector<UINT> ids;
    auto add = [&ids](UINT id) {  // a control bound twice (in two units, say) is made once
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    };
    for (const FieldBinding& b : declaration.fields)
        if (b.kind == FieldBinding::Kind::Double) add(b.control);
        else if (b.kind == FieldBinding::Kind::Vector || b.kind == FieldBinding::Kind::Point)
            for (int i = b.group.noX ? 1 : 0; i < 3; ++i) add(b.ComponentEdit(i));
    ids.push_back(kListEnd);
    MakeCalcEdits(ids.data());
}

}  // namespace DataModelDialogs
