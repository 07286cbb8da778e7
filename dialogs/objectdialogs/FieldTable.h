#pragma once
// The declaration of an FEA object dialog: which control exchanges which field of the edited
// record, with which conversion and which checks, in exchange order; the rules that enable,
// show or suppress controls; and the "Curve..." buttons. A dialog states it once, in a table
// in its own file:
//
//     const DialogDeclaration kPartHeatGeneration{
//         .fields = {
//             Double(IDC_HEAT_GENERATION_VALUE, "heatGeneration").Range(-1e300, 1e300),
//             Check(IDC_HEAT_TEMPERATURE_DEPENDENT, "temperatureDependent"),
//             Curve(IDC_HEAT_TEMPERATURE_CURVE, "temperatureCurve").Range(0, 32767, kDependent),
//         },
//         .rules = {EnableWhile({IDC_HEAT_TEMPERATURE_CURVE, ...}, kDependent)},
//         .curves = {{IDC_HEAT_TEMPERATURE_CURVE_BUTTON, IDC_HEAT_TEMPERATURE_CURVE, kind, title}},
//     };
//
// The shell (FeaObjectDialogBase) runs the fields in its data exchange, makes every real-number
// edit an expression edit, applies the rules after every load exchange and after every click of
// a button a rule reads, and wires the curve buttons. Fields are named as the host's record
// layout names them; the layout gives offset, width and type. The order of the fields is the
// order of the checks, and so decides which message a person sees first.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinTypes.h"

namespace orv::res {
struct DialogTemplate;
}

namespace DataModelDialogs {

class FeaObjectPropertiesImplDlg;

// Ends control id lists.
inline constexpr UINT kListEnd = 0;
inline constexpr UINT kListEndAlt = 0xFFFFFFFF;
inline constexpr UINT kNoControl = 0xFFFFFFFF;

// The controls of one direction or vector group.
struct VectorGroup {
    UINT x = kNoControl, y = kNoControl, z = kNoControl;  // component edits (x absent with noX)
    UINT xRadio = kNoControl, yRadio = kNoControl, zRadio = kNoControl, customRadio = kNoControl;
    UINT normalRadio = kNoControl;  // kNoControl when the group has none
    UINT selector = kNoControl;     // "Vector Selector..." button
    UINT further[3] = {0, 0, 0};    // further controls disabled with the group (0: absent)
    bool noX = false;
    // The X edit is left out for this run (see FieldBinding::SkipsX): the radios stay, but
    // they fill only Y and Z, and the vector is taken with X 0.
    bool skipX = false;
};


// A condition over the dialog's state: every term must hold.
class Condition {
public:
    enum class Test : std::uint8_t {
        Checked,     // the check box or radio button `control` is checked
        AnalysisIn,  // the scenario's analysis type is one of `values`
        Riks,        // the scenario runs a Riks analysis
        Creating,    // the dialog creates a new object
        CategoryIn,  // the scenario's analysis category is one of `values`
        ElementTypeIn,   // the element type shared by the edited surfaces is one of `values`
        ElementClassIn,  // that element type's class (ElementTypes.h) is one of `values`
        FieldNonZero,    // the f64 field `field` of the edited record is not 0
    };
    struct Term {
        Test test;
        bool negate = false;
        UINT control = 0;
        std::vector<std::uint32_t> values;
        std::string field{};
    };

    Condition() = default;  // always holds
    explicit Condition(Term term) { terms_.push_back(std::move(term)); }

    bool Always() const { return terms_.empty(); }
    const std::vector<Term>& Terms() const { return terms_; }
    bool Holds(const FeaObjectPropertiesImplDlg& dialog) const;

    friend Condition operator&&(Condition a, const Condition& b);
    // Negates a condition of one term (a condition of several would need an "or").
    friend Condition operator!(Condition c);

private:
    std::vector<Term> terms_;
};

Condition Checked(UINT control);
Condition AnalysisIn(std::initializer_list<std::uint32_t> types);
Condition Riks();
Condition Creating();
Condition CategoryIn(std::initializer_list<std::uint32_t> categories);
// Element type codes and classes; a mixed or unknown element type (-1) is in no list.
Condition ElementTypeIn(std::initializer_list<std::uint32_t> types);
Condition ElementClassIn(std::initializer_list<std::uint32_t> classes);
// Reads the edited record as the exchange has filled it so far: a field exchanged earlier in
// the order holds what the person typed.
Condition FieldNonZero(std::string_view field);

// One check of a field, run right after its exchange when saving.
struct FieldCheck {
    enum class Kind : std::uint8_t {
        Range,        // real number within [min, max] in the edit's unit (or `unit`)
        IntRange,     // whole number within [min, max]
        NonZero,      // refused with `message` when exactly 0
        NotNegative,  // `message` in a plain box; the exchange goes on, OK keeps the dialog open
    };
    Kind kind;
    double min = 0, max = 0;
    int unit = -1;
    UINT message = 0;
    Condition when;
};

// One bound control (or group of controls) and its record field.
struct FieldBinding {
    enum class Kind : std::uint8_t {
        Description,      // the description edit; last when a table does not place it
        Text,             // edit and zero-terminated UTF-8 text of the field's size
        Double,           // edit and f64, converted by the edit's unit label (or `unit`)
        Int,              // edit and i32, compared across the selection with the 4 bytes after it
        Curve,            // edit and a 4-byte load curve number
        Check,            // check box and a -1/0 flag (`invert` swaps them)
        FlagCheck,        // check box and the bits of a flag word
        BoolRadio,        // first radio of a pair and a -1/0 flag
        EnumRadio,        // first radio of a group and the value of the checked one
        ComboData,        // combo box and the item data of the selection
        ComboDataOrNone,  // the same; no match clears the selection, none stores -1
        Verify,           // no exchange: runs its checks on a field exchanged earlier, here
        Vector,           // a direction: three edits and the direction radios of `group`
        Point,            // a point or offset: three edits in lengths, not normalised
    };
    Kind kind = Kind::Double;
    UINT control = 0;
    std::string field;
    int unit = -1;  // displayable unit of a Double or of its range; -1: the edit's label
    bool invert = false;
    std::uint32_t uncheckedMask = 0, checkedMask = 0;
    std::vector<std::int32_t> values;  // EnumRadio: the value of each radio in group order
    std::vector<FieldCheck> checks;
    // Vector and Point: the controls; `field` names the X component, whose Y and Z fields
    // follow with the same name ending in Y and Z.
    VectorGroup group;
    bool refuseZero = false;           // Vector: shorter than 1e-15 refused with string 128
    Condition refuseZeroWhen;          // ... while this holds
    Condition exchangedWhen;           // the field is exchanged only while this holds
    bool exchangedWhenSavingOnly = false;  // ... and always loaded
    std::uint32_t pickCode = 0;        // the selector button ends the dialog with this pick code
    std::vector<UINT> companions;      // Point: blanked with it when the objects disagree
    std::string kindField;             // Vector: i32 given the chosen radio (X 0, Y 1, Z 2, custom 3)
    Condition readWhen;                // saving reads the control only while this holds
    bool skipsX = false;               // Vector and Point: X is left out while `skipXWhen` holds
    Condition skipXWhen;
    std::vector<UINT> xCompanions;     // blanked, disabled and suppressed with the left-out X edit

    // The record field of component 0, 1 or 2 of a Vector or Point.
    std::string ComponentField(int component) const;
    // The edit of component 0, 1 or 2.
    UINT ComponentEdit(int component) const;

    // Checks, in the order they run. A condition limits a check to when it holds.
    FieldBinding& Range(double min, double max, Condition when = {});
    FieldBinding& RangeIn(int displayableUnit, double min, double max, Condition when = {});
    FieldBinding& NonZero(UINT message, Condition when = {});
    FieldBinding& NotNegative(UINT message);
    // Saving reads the control (and runs the checks) only while `when` holds; loading always
    // shows the field. A field that is not read keeps the value it had.
    FieldBinding& ReadWhile(Condition when);
    // Shown and read in a displayable unit instead of the unit of the edit's label.
    FieldBinding& InUnit(int displayableUnit);
    // Vector: the X, Y, Z and custom radios, and the normal radio when the group has one.
    FieldBinding& Radios(UINT x, UINT y, UINT z, UINT custom, UINT normal = kNoControl);
    // Vector: a zero vector is refused (unless the normal radio is checked), while `when` holds.
    FieldBinding& RefuseZero(Condition when = {});
    // Exchanged (loaded, saved and checked) only while `when` holds; several bindings of one
    // control with exclusive conditions give it, say, a unit that follows a radio button.
    FieldBinding& ExchangedWhile(Condition when);
    // Always loaded, but saved and checked only while `when` holds.
    FieldBinding& SavedWhile(Condition when);
    // Vector and Point: "Vector Selector..." or a point button, which asks the host to pick
    // with `code`; the pick comes back into the three fields.
    FieldBinding& Selector(UINT button, std::uint32_t code);
    // Vector: saving stores which radio is chosen (X 0, Y 1, Z 2, custom 3) in `field`.
    FieldBinding& StoresKind(std::string_view field);
    // Vector: up to three controls disabled with the group; Point: controls blanked with it.
    FieldBinding& With(std::initializer_list<UINT> controls);
    // Vector and Point: there is no X component control.
    FieldBinding& NoX();
    // Vector and Point: while `when` holds the X edit (with `xCompanions`, such as its unit
    // label) is blank, disabled and suppressed, and never read or written; the X, Y, Z and
    // custom radios stay and leave the X text alone.
    FieldBinding& SkipsX(Condition when, std::initializer_list<UINT> xCompanions = {});
    // Whether the X component is left out in this dialog now.
    bool LeavesOutX(const FeaObjectPropertiesImplDlg& dialog) const;
    // The group as this dialog runs it now (skipX set while X is left out).
    VectorGroup GroupIn(const FeaObjectPropertiesImplDlg& dialog) const;
};

FieldBinding Description();
FieldBinding Text(UINT control, std::string_view field);
FieldBinding Double(UINT control, std::string_view field);
FieldBinding Int(UINT control, std::string_view field);
FieldBinding Curve(UINT control, std::string_view field);
FieldBinding Check(UINT control, std::string_view field, bool invert = false);
FieldBinding FlagCheck(UINT control, std::string_view field, std::uint32_t uncheckedMask, std::uint32_t checkedMask);
FieldBinding BoolRadio(UINT firstRadio, std::string_view field, bool invert = false);
FieldBinding EnumRadio(UINT firstRadio, std::string_view field, std::initializer_list<std::int32_t> values);
FieldBinding ComboData(UINT control, std::string_view field);
FieldBinding ComboDataOrNone(UINT control, std::string_view field);
FieldBinding Verify(UINT control, std::string_view field);
FieldBinding Vector(UINT x, UINT y, UINT z, std::string_view xField);
FieldBinding Point(UINT x, UINT y, UINT z, std::string_view xField);
// A direction whose X, Y, Z edits have consecutive ids, as have its X, Y, Z and custom radios.
FieldBinding Direction(UINT firstEdit, UINT firstRadio, std::string_view xField);

// A rule the shell re-applies after every load exchange and every click of a button it reads.
struct DialogRule {
    enum class Effect : std::uint8_t {
        Enable,            // enabled while `when` holds (suppressed controls stay disabled)
        Show,              // shown while `when` holds
        SpinRange,         // the spin button `controls[0]` gets [min, max] while `when` holds
        SuppressUnless,    // analysis-type suppression of a load curve row (see below)
        SuppressUnless9,   // the nine-control variant
        Suppress,          // while `when` holds: disabled, and not shown, checked or written
    };
    Effect effect;
    std::vector<UINT> controls;
    Condition when;
    int min = 0, max = 0;
};

DialogRule EnableWhile(std::vector<UINT> controls, Condition when);
DialogRule ShowWhile(std::vector<UINT> controls, Condition when);
DialogRule SpinRange(UINT spin, int min, int max, Condition when = {});
// Up to seven controls, 0 for absent ones: nothing for analysis types 2, 4, 5, 6, 7, 20, 21;
// otherwise type codes 19, 25, 47, 93 only disable the fourth, every other type code
// suppresses the second and sixth and disables all.
DialogRule SuppressUnlessAnalysisTypes(std::vector<UINT> controls);
// Nine controls: nothing for analysis types 2, 4, 21; otherwise the second and sixth are
// suppressed and all nine disabled.
DialogRule SuppressUnlessAnalysisTypes9(std::vector<UINT> controls);

// While `when` holds the controls are disabled and marked suppressed: a field among them is
// shown blank, never checked and never written. Applied before the first exchange as well.
DialogRule SuppressWhile(std::vector<UINT> controls, Condition when);

// A "Curve..." button: edits the curve whose number `edit` holds.
struct CurveButton {
    UINT button;
    UINT edit;
    std::uint32_t kind;
    UINT title;
};

struct DialogDeclaration {
    std::vector<FieldBinding> fields{};
    std::vector<DialogRule> rules{};
    std::vector<CurveButton> curves{};

    // Whether a click of `control` changes what a rule reads.
    bool IsRuleTrigger(UINT control) const;
};

// What does not agree in a declaration: fields the record layout of the type code does not have
// or has with another type, and controls the template lacks or has of another class (each a
// line such as "field \"scale\": not in the record of type code 29"). Empty when all agree.
std::vector<std::string> DeclarationProblems(const DialogDeclaration& declaration, std::uint32_t typeCode,
                                             const orv::res::DialogTemplate& dialogTemplate);

}  // namespace DataModelDialogs
