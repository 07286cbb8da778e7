#include "dialogs/objectdialogs/FieldTable.h"

#include <algorithm>
#include <stdexcept>

#include "dialogs/objectdialogs/FeaObjectPropertiesImplDlg.h"
#include "host/model/DbDesignScenario.h"

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
        }
        if (holds == term.negate) return false;
    }
    return true;
}

// ---- fields ----

namespace {

FieldBinding Bind(FieldBinding::Kind kind, UINT control, std::string_view field) {
    FieldBinding b{kind};
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

}  // namespace DataModelDialogs
