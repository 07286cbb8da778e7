#include "dialogs/objectdialogs/FieldTable.h"

#include <algorithm>
#include <cwchar>
#include <stdexcept>

#include "dialogs/objectdialogs/ElementTypes.h"
#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/Record.h"
#include "host/model/RecordLayout.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/Inspect.h"

namespace DataModelDialogs {

// ---- conditions ----

Condition operator&&(Condition a, const Condition& b) {
    a.terms_.insert(a.terms_.end(), b.terms_.begin(), b.terms_.end());
    return a;
}

Condition operator!(Condition c) {
    if (c.terms_.size() != 1) throw std::logic_error("only a condition of one term can be negated");
    c.terms_.front().negate = !c.terms_.front().negate;
    return c;
}

Condition Checked(UINT control) { return Condition({Condition::Test::Checked, false, control, {}}); }
Condition AnalysisIn(std::initializer_list<std::uint32_t> types) {
    return Condition({Condition::Test::AnalysisIn, false, 0, std::vector<std::uint32_t>(types)});
}
Condition Riks() { return Condition({Condition::Test::Riks, false, 0, {}}); }
Condition Creating() { return Condition({Condition::Test::Creating, false, 0, {}}); }
Condition CategoryIn(std::initializer_list<std::uint32_t> categories) {
    return Condition({Condition::Test::CategoryIn, false, 0, std::vector<std::uint32_t>(categories)});
}

Condition ElementTypeIn(std::initializer_list<std::uint32_t> types) {
    return Condition({Condition::Test::ElementTypeIn, false, 0, std::vector<std::uint32_t>(types)});
}
Condition ElementClassIn(std::initializer_list<std::uint32_t> classes) {
    return Condition({Condition::Test::ElementClassIn, false, 0, std::vector<std::uint32_t>(classes)});
}
Condition FieldNonZero(std::string_view field) {
    Condition::Term term{Condition::Test::FieldNonZero, false, 0, {}};
    term.field = std::string(field);
    return Condition(std::move(term));
}

bool Condition::Holds(const FeaObjectPropertiesImplDlg& dialog) const {
    for (const Term& term : terms_) {
        bool holds = false;
        switch (term.test) {
        case Test::Checked:
            holds = dialog.GetSafeHwnd() && ::IsDlgButtonChecked(dialog.GetSafeHwnd(), int(term.control)) == BST_CHECKED;
            break;
        case Test::AnalysisIn:
            holds = std::find(term.values.begin(), term.values.end(), dialog.AnalysisType()) != term.values.end();
            break;
        case Test::Riks: {
            const auto* scenario = dialog.Context().editParameters.designScenario;
            holds = scenario && scenario->IsRiksAnalysis();
            break;
        }
        case Test::Creating: holds = dialog.Context().mode == 0; break;
        case Test::CategoryIn: {
            const auto* scenario = dialog.Context().editParameters.designScenario;
            holds = scenario && std::find(term.values.begin(), term.values.end(), scenario->GetAnalysisCategory()) !=
                                    term.values.end();
            break;
        }
        case Test::ElementTypeIn: {
            const std::int32_t type = dialog.ElementType();
            holds = type >= 0 && std::find(term.values.begin(), term.values.end(), std::uint32_t(type)) != term.values.end();
            break;
        }
        case Test::ElementClassIn:
            holds = std::find(term.values.begin(), term.values.end(),
                              std::uint32_t(ElementTypeClass(dialog.ElementType()))) != term.values.end();
            break;
        case Test::FieldNonZero: {
            const std::span<const std::uint8_t> record = dialog.EditedRecord();
            const OrvDbRecord::FieldInfo* field =
                OrvDbRecord::FindField(OrvDbRecord::FieldsOfType(dialog.TypeCode()), term.field);
            holds = field && field->type == OrvDbRecord::FieldType::F64 && record.size() >= field->offset + 8 &&
                    OrvDbRecord::ConstRecordView(record).GetF64(field->offset) != 0.0;
            break;
        }
        }
        if (holds == term.negate) return false;
    }
    return true;
}

// ---- fields ----

namespace {

FieldBinding Bind(FieldBinding::Kind kind, UINT control, std::string_view field) {
    FieldBinding b;
    b.kind = kind;
    b.control = control;
    b.field = std::string(field);
    return b;
}

}  // namespace

FieldBinding& FieldBinding::Range(double min, double max, Condition when) {
    const bool whole = kind == Kind::Int || kind == Kind::Curve;
    checks.push_back({whole ? FieldCheck::Kind::IntRange : FieldCheck::Kind::Range, min, max, -1, 0, std::move(when)});
    return *this;
}

FieldBinding& FieldBinding::RangeIn(int displayableUnit, double min, double max, Condition when) {
    checks.push_back({FieldCheck::Kind::Range, min, max, displayableUnit, 0, std::move(when)});
    return *this;
}

FieldBinding& FieldBinding::NonZero(UINT message, Condition when) {
    checks.push_back({FieldCheck::Kind::NonZero, 0, 0, -1, message, std::move(when)});
    return *this;
}

FieldBinding& FieldBinding::NotNegative(UINT message) {
    checks.push_back({FieldCheck::Kind::NotNegative, 0, 0, -1, message, {}});
    return *this;
}

FieldBinding& FieldBinding::ReadWhile(Condition when) {
    readWhen = std::move(when);
    return *this;
}

FieldBinding& FieldBinding::InUnit(int displayableUnit) {
    unit = displayableUnit;
    return *this;
}

FieldBinding Description() { return Bind(FieldBinding::Kind::Description, 0, "description"); }
FieldBinding Text(UINT control, std::string_view field) { return Bind(FieldBinding::Kind::Text, control, field); }
FieldBinding Double(UINT control, std::string_view field) { return Bind(FieldBinding::Kind::Double, control, field); }
FieldBinding Int(UINT control, std::string_view field) { return Bind(FieldBinding::Kind::Int, control, field); }
FieldBinding Curve(UINT control, std::string_view field) { return Bind(FieldBinding::Kind::Curve, control, field); }
FieldBinding Check(UINT control, std::string_view field, bool invert) {
    FieldBinding b = Bind(FieldBinding::Kind::Check, control, field);
    b.invert = invert;
    return b;
}
FieldBinding FlagCheck(UINT control, std::string_view field, std::uint32_t uncheckedMask, std::uint32_t checkedMask) {
    FieldBinding b = Bind(FieldBinding::Kind::FlagCheck, control, field);
    b.uncheckedMask = uncheckedMask;
    b.checkedMask = checkedMask;
    return b;
}
FieldBinding BoolRadio(UINT firstRadio, std::string_view field, bool invert) {
    FieldBinding b = Bind(FieldBinding::Kind::BoolRadio, firstRadio, field);
    b.invert = invert;
    return b;
}
FieldBinding EnumRadio(UINT firstRadio, std::string_view field, std::initializer_list<std::int32_t> values) {
    FieldBinding b = Bind(FieldBinding::Kind::EnumRadio, firstRadio, field);
    b.values.assign(values);
    return b;
}
FieldBinding ComboData(UINT control, std::string_view field) {
    return Bind(FieldBinding::Kind::ComboData, control, field);
}
FieldBinding ComboDataOrNone(UINT control, std::string_view field) {
    return Bind(FieldBinding::Kind::ComboDataOrNone, control, field);
}

FieldBinding Verify(UINT control, std::string_view field) { return Bind(FieldBinding::Kind::Verify, control, field); }

FieldBinding Vector(UINT x, UINT y, UINT z, std::string_view xField) {
    FieldBinding b = Bind(FieldBinding::Kind::Vector, x, xField);
    b.group.x = x, b.group.y = y, b.group.z = z;
    return b;
}

FieldBinding Direction(UINT firstEdit, UINT firstRadio, std::string_view xField) {
    return Vector(firstEdit, firstEdit + 1, firstEdit + 2, xField)
        .Radios(firstRadio, firstRadio + 1, firstRadio + 2, firstRadio + 3);
}

FieldBinding Point(UINT x, UINT y, UINT z, std::string_view xField) {
    FieldBinding b = Vector(x, y, z, xField);
    b.kind = FieldBinding::Kind::Point;
    return b;
}

FieldBinding& FieldBinding::Radios(UINT x, UINT y, UINT z, UINT custom, UINT normal) {
    group.xRadio = x, group.yRadio = y, group.zRadio = z, group.customRadio = custom, group.normalRadio = normal;
    return *this;
}

FieldBinding& FieldBinding::RefuseZero(Condition when) {
    refuseZero = true;
    refuseZeroWhen = std::move(when);
    return *this;
}

FieldBinding& FieldBinding::ExchangedWhile(Condition when) {
    exchangedWhen = std::move(when);
    exchangedWhenSavingOnly = false;
    return *this;
}

FieldBinding& FieldBinding::SavedWhile(Condition when) {
    exchangedWhen = std::move(when);
    exchangedWhenSavingOnly = true;
    return *this;
}

FieldBinding& FieldBinding::StoresKind(std::string_view field) {
    kindField = field;
    return *this;
}

FieldBinding& FieldBinding::Selector(UINT button, std::uint32_t code) {
    group.selector = button;
    pickCode = code;
    return *this;
}

FieldBinding& FieldBinding::With(std::initializer_list<UINT> controls) {
    companions.assign(controls);
    for (std::size_t i = 0; i < 3 && i < companions.size(); ++i) group.further[i] = companions[i];
    return *this;
}

FieldBinding& FieldBinding::NoX() {
    group.noX = true;
    return *this;
}

FieldBinding& FieldBinding::SkipsX(Condition when, std::initializer_list<UINT> controls) {
    skipsX = true;
    skipXWhen = std::move(when);
    xCompanions.assign(controls.begin(), controls.end());
    return *this;
}

bool FieldBinding::LeavesOutX(const FeaObjectPropertiesImplDlg& dialog) const {
    return skipsX && !group.noX && skipXWhen.Holds(dialog);
}

VectorGroup FieldBinding::GroupIn(const FeaObjectPropertiesImplDlg& dialog) const {
    VectorGroup running = group;
    running.skipX = LeavesOutX(dialog);
    return running;
}

std::string FieldBinding::ComponentField(int component) const {
    std::string name = field;
    if (component > 0 && !name.empty()) name.back() = component == 1 ? 'Y' : 'Z';
    return name;
}

UINT FieldBinding::ComponentEdit(int component) const {
    return component == 0 ? group.x : component == 1 ? group.y : group.z;
}

// ---- rules ----

DialogRule EnableWhile(std::vector<UINT> controls, Condition when) {
    return {DialogRule::Effect::Enable, std::move(controls), std::move(when)};
}
DialogRule ShowWhile(std::vector<UINT> controls, Condition when) {
    return {DialogRule::Effect::Show, std::move(controls), std::move(when)};
}
DialogRule SpinRange(UINT spin, int min, int max, Condition when) {
    return {DialogRule::Effect::SpinRange, {spin}, std::move(when), min, max};
}
DialogRule SuppressUnlessAnalysisTypes(std::vector<UINT> controls) {
    controls.resize(7, 0);
    return {DialogRule::Effect::SuppressUnless, std::move(controls), {}};
}
DialogRule SuppressUnlessAnalysisTypes9(std::vector<UINT> controls) {
    controls.resize(9, 0);
    return {DialogRule::Effect::SuppressUnless9, std::move(controls), {}};
}

DialogRule SuppressWhile(std::vector<UINT> controls, Condition when) {
    return {DialogRule::Effect::Suppress, std::move(controls), std::move(when)};
}

bool DialogDeclaration::IsRuleTrigger(UINT control) const {
    auto reads = [control](const Condition& c) {
        return std::any_of(c.Terms().begin(), c.Terms().end(), [control](const Condition::Term& t) {
            return t.test == Condition::Test::Checked && t.control == control;
        });
    };
    for (const DialogRule& rule : rules)
        if (reads(rule.when)) return true;
    return false;
}

namespace {

using FieldType = OrvDbRecord::FieldType;
using Kind = FieldBinding::Kind;

bool TypeFits(Kind kind, FieldType type) {
    switch (kind) {
    case Kind::Description:
    case Kind::Text: return type == FieldType::Text;
    case Kind::Double: return type == FieldType::F64;
    case Kind::Check:
    case Kind::BoolRadio: return type == FieldType::Flag;
    case Kind::FlagCheck: return type == FieldType::Flag || type == FieldType::U32;
    case Kind::Verify: return true;
    default: return type == FieldType::I32 || type == FieldType::U32;
    }
}

// The window class a binding's control must have.
const wchar_t* ControlClass(Kind kind) {
    switch (kind) {
    case Kind::Check:
    case Kind::FlagCheck:
    case Kind::BoolRadio:
    case Kind::EnumRadio: return L"Button";
    case Kind::ComboData:
    case Kind::ComboDataOrNone: return L"ComboBox";
    default: return L"Edit";
    }
}

}  // namespace

std::vector<std::string> DeclarationProblems(const DialogDeclaration& declaration, std::uint32_t typeCode,
                                             const orv::res::DialogTemplate& dialogTemplate) {
    std::vector<std::string> problems;
    const auto layout = OrvDbRecord::FieldsOfType(typeCode);
    auto item = [&](UINT id) -> const orv::res::DialogItemTemplate* {
        for (const auto& i : dialogTemplate.items)
            if (i.id == id) return &i;
        return nullptr;
    };
    auto control = [&](UINT id, const wchar_t* className, const std::string& what) {
        if (id == 0 || id == 0xFFFFFFFF) return;
        const auto* i = item(id);
        if (!i) {
            problems.push_back(what + ": control " + std::to_string(id) + " is not in template " +
                               std::to_string(dialogTemplate.id));
        } else if (className && !orv::win::IsWindowClass(i->className, className) &&
                   !(std::wstring_view(className) == L"ComboBox" && orv::win::IsWindowClass(i->className, L"ComboBoxEx32"))) {
            problems.push_back(what + ": control " + std::to_string(id) + " is not of class " +
                               std::string(className, className + std::wcslen(className)));
        }
    };
    for (const FieldBinding& b : declaration.fields) {
        if (b.kind == Kind::Vector || b.kind == Kind::Point) {
            for (int i = b.group.noX ? 1 : 0; i < 3; ++i) {
                const std::string name = b.ComponentField(i);
                const OrvDbRecord::FieldInfo* field = OrvDbRecord::FindField(layout, name);
                if (!field || field->type != FieldType::F64)
                    problems.push_back("field \"" + name + "\": not a f64 field of the record of type code " +
                                       std::to_string(typeCode));
                control(b.ComponentEdit(i), L"Edit", "field \"" + name + "\"");
            }
            for (UINT id : {b.group.xRadio, b.group.yRadio, b.group.zRadio, b.group.customRadio, b.group.normalRadio,
                            b.group.selector})
                control(id, L"Button", "field \"" + b.field + "\"");
            for (UINT id : b.companions) control(id, nullptr, "field \"" + b.field + "\"");
            continue;
        }
        const std::string what = "field \"" + b.field + "\"";
        const OrvDbRecord::FieldInfo* field = OrvDbRecord::FindField(layout, b.field);
        if (!field) problems.push_back(what + ": not in the record of type code " + std::to_string(typeCode));
        else if (!TypeFits(b.kind, field->type))
            problems.push_back(what + ": a " + std::string(OrvDbRecord::FieldTypeName(field->type)) +
                               " field cannot be bound so");
        control(b.kind == Kind::Description ? 1011 : b.control, b.kind == Kind::Verify ? nullptr : ControlClass(b.kind),
                what);
        for (const FieldCheck& check : b.checks)
            for (const auto& term : check.when.Terms())
                if (term.test == Condition::Test::Checked) control(term.control, L"Button", what + " check");
    }
    for (const DialogRule& rule : declaration.rules) {
        for (UINT id : rule.controls)
            control(id, rule.effect == DialogRule::Effect::SpinRange ? L"msctls_updown32" : nullptr, "rule");
        for (const auto& term : rule.when.Terms())
            if (term.test == Condition::Test::Checked) control(term.control, L"Button", "rule");
    }
    for (const CurveButton& curve : declaration.curves) {
        control(curve.button, L"Button", "curve button");
        control(curve.edit, L"Edit", "curve button");
    }
    return problems;
}

}  // namespace DataModelDialogs
