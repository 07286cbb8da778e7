#include "dialogs/objectdialogs/loads/BeamDistributedLoadDlg.h"

#include <utility>

#include "dialogs/curves/EditLoadCurve.h"
#include "dialogs/factory/DialogRegistry.h"
#include "dialogs/resources/Curves.h"
#include "dialogs/resources/PartLoads.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/RecordLayout.h"

namespace DataModelDialogs {
namespace {

const Condition kUniform = Checked(IDC_BEAM_UNIFORM);
const Condition kCategory1 = CategoryIn({1});

constexpr UINT kJEnd[] = {IDC_BEAM_J_MAGNITUDE_LABEL, IDC_BEAM_J_MAGNITUDE, IDC_BEAM_J_MAGNITUDE_UNIT,
                          IDC_BEAM_J_DIRECTION_GROUP, IDC_BEAM_J_X, IDC_BEAM_J_Y, IDC_BEAM_J_Z, IDC_BEAM_J_CUSTOM,
                          IDC_BEAM_J_LABEL_X, IDC_BEAM_J_DIRECTION_X, IDC_BEAM_J_LABEL_Y, IDC_BEAM_J_DIRECTION_Y,
                          IDC_BEAM_J_LABEL_Z, IDC_BEAM_J_DIRECTION_Z, IDC_BEAM_J_SELECTOR};
constexpr UINT kWordedLabels[3] = {IDC_BEAM_I_MAGNITUDE_LABEL, IDC_BEAM_I_DIRECTION_GROUP, IDC_BEAM_I_SELECTOR};

// A uniform load saves its I-node end only; the J-node end is copied from it.
const DialogDeclaration kBeamDistributedLoad{
    .fields =
        {
            Double(IDC_BEAM_I_MAGNITUDE, "iMagnitude"),
            Direction(IDC_BEAM_I_DIRECTION_X, IDC_BEAM_I_X, "iDirectionX")
                .RefuseZero()
                .Selector(IDC_BEAM_I_SELECTOR, kPickSecondVector),
            Double(IDC_BEAM_I_RATIO, "iRatio").Range(0.0, 1.0, !kCategory1).SavedWhile(!kUniform),
            Double(IDC_BEAM_J_RATIO, "jRatio").Range(0.0, 1.0, !kCategory1).SavedWhile(!kUniform),
            Double(IDC_BEAM_J_MAGNITUDE, "jMagnitude").SavedWhile(!kUniform),
            Direction(IDC_BEAM_J_DIRECTION_X, IDC_BEAM_J_X, "jDirectionX")
                .RefuseZero()
                .Selector(IDC_BEAM_J_SELECTOR, kPickThirdVector)
                .SavedWhile(!kUniform),
            Double(IDC_BEAM_MULTIPLIER, "multiplier"),
            Curve(IDC_BEAM_LOAD_CURVE, "loadCurve").Range(1, 2147483647, kCategory1),
            Check(IDC_BEAM_FOLLOWS_DISPLACEMENT, "followsDisplacement"),
        },
    .rules =
        {
            ShowWhile({IDC_BEAM_MULTIPLIER_LABEL, IDC_BEAM_MULTIPLIER, IDC_BEAM_LOAD_CURVE_LABEL, IDC_BEAM_LOAD_CURVE,
                       IDC_BEAM_LOAD_CURVE_SPIN, IDC_BEAM_CURVE, IDC_BEAM_FOLLOWS_DISPLACEMENT},
                      kCategory1),
            // The ratios say where a two-ended load runs; category 1 loads the whole beam.
            ShowWhile({IDC_BEAM_I_RATIO_LABEL, IDC_BEAM_I_RATIO, IDC_BEAM_J_RATIO_LABEL, IDC_BEAM_J_RATIO},
                      !kCategory1 && !kUniform),
            SpinRange(IDC_BEAM_LOAD_CURVE_SPIN, 1, 2147483647),
        },
    .curves = {{IDC_BEAM_CURVE, IDC_BEAM_LOAD_CURVE, kCurveKindMultiplier, IDS_CURVE_TITLE_BEAM_DISTRIBUTED}},
};

// The fields of one end, in the same order for both.
struct End {
    const char* magnitude;
    const char* direction[3];
};
constexpr End kI{"iMagnitude", {"iDirectionX", "iDirectionY", "iDirectionZ"}};
constexpr End kJ{"jMagnitude", {"jDirectionX", "jDirectionY", "jDirectionZ"}};

}  // namespace

BeamDistributedLoadDlg::BeamDistributedLoadDlg(CWnd* parent)
    : FeaObjectDialogBase(kBeamDistributedLoad, parent, kTypeCode) {
    // The layout follows the box, whatever the record holds.
    HandleCommand(IDC_BEAM_UNIFORM, [this] { ShowLayout(!kUniform.Holds(*this)); });
}

void BeamDistributedLoadDlg::InitEditedEntry() {
    FeaObjectDialogBase::InitEditedEntry();
    auto& edited = GetEditedEntry();
    const std::size_t iRatio = DeclaredField(Double(0, "iRatio")).offset;
    const std::size_t jRatio = DeclaredField(Double(0, "jRatio")).offset;
    if (edited.GetF64(iRatio) == 0.0 && edited.GetF64(jRatio) == 0.0) edited.SetF64(jRatio, 1.0);
}

void BeamDistributedLoadDlg::PrepareControls() {
    FeaObjectDialogBase::PrepareControls();
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    fullWidth_ = int(window.right - window.left);
    // Each window starts as the template shows it: both ends, in their wording.
    twoEndedShown_ = true;
    firstExchange_ = true;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::wstring text = ::GetWindowTextString(Control(kWordedLabels[i]));
        const std::size_t lineBreak = text.find(L'\n');
        wordings_[i][0] = text.substr(0, lineBreak);
        wordings_[i][1] = lineBreak == std::wstring::npos ? text : text.substr(lineBreak + 1);
        ::SetWindowText(Control(kWordedLabels[i]), wordings_[i][1].c_str());
    }
    if (!kCategory1.Holds(*this)) CloseUpRow(IDC_BEAM_MULTIPLIER_LABEL, IDC_VECTOR_DESCRIPTION_LABEL);
}

bool BeamDistributedLoadDlg::IsUniform() const {
    const OrvDbRecord::ConstRecordView record(EditedRecord());
    auto value = [&](const char* field) { return record.GetF64(DeclaredField(Double(0, field)).offset); };
    if (value(kI.magnitude) != value(kJ.magnitude)) return false;
    for (int i = 0; i < 3; ++i)
        if (value(kI.direction[i]) != value(kJ.direction[i])) return false;
    return kCategory1.Holds(*this) || (value("iRatio") == 0.0 && value("jRatio") == 1.0);
}

void BeamDistributedLoadDlg::DoDataExchange(CDataExchange* dx) {
    FeaObjectDialogBase::DoDataExchange(dx);
    auto& edited = GetEditedEntry();
    auto offset = [&](const char* field) { return DeclaredField(Double(0, field)).offset; };
    if (!Saving(dx)) {
        if (firstExchange_) {
            firstExchange_ = false;
            const bool uniform = IsUniform();
            ::CheckDlgButton(m_hWnd, IDC_BEAM_UNIFORM, uniform ? BST_CHECKED : BST_UNCHECKED);
            // Objects that disagree on an end cannot all be made uniform without losing it.
            bool differs = false;
            for (UINT id : {IDC_BEAM_I_MAGNITUDE, IDC_BEAM_I_DIRECTION_X, IDC_BEAM_I_DIRECTION_Y, IDC_BEAM_I_DIRECTION_Z,
                            IDC_BEAM_J_MAGNITUDE, IDC_BEAM_J_DIRECTION_X, IDC_BEAM_J_DIRECTION_Y, IDC_BEAM_J_DIRECTION_Z})
                differs = differs || IsSuppressed(id);
            if (!uniform && differs) ::EnableWindow(Control(IDC_BEAM_UNIFORM), FALSE);
            ApplyRules(*Declaration());
        }
        ShowLayout(!kUniform.Holds(*this));
        return;
    }
    if (kUniform.Holds(*this)) {
        edited.SetF64(offset(kJ.magnitude), edited.GetF64(offset(kI.magnitude)));
        for (int i = 0; i < 3; ++i) edited.SetF64(offset(kJ.direction[i]), edited.GetF64(offset(kI.direction[i])));
        edited.SetF64(offset("iRatio"), 0.0);
        edited.SetF64(offset("jRatio"), 1.0);
    } else if (Context().pickEndControls.empty() && edited.GetF64(offset("iRatio")) > edited.GetF64(offset("jRatio"))) {
        // The I-node end is the one nearer the I-node.
        for (const auto& [i, j] : {std::pair{kI.magnitude, kJ.magnitude}, std::pair{"iRatio", "jRatio"},
                                   std::pair{kI.direction[0], kJ.direction[0]}, std::pair{kI.direction[1], kJ.direction[1]},
                                   std::pair{kI.direction[2], kJ.direction[2]}}) {
            const double a = edited.GetF64(offset(i));
            edited.SetF64(offset(i), edited.GetF64(offset(j)));
            edited.SetF64(offset(j), a);
        }
    }
    // At least one end carries a load.
    const double iMagnitude = edited.GetF64(offset(kI.magnitude));
    if (kUniform.Holds(*this) || iMagnitude != 0.0)
        ValidateNonZero(dx, IDC_BEAM_I_MAGNITUDE, iMagnitude, IDS_SHELL_MAGNITUDE_NONZERO);
    else
        ValidateNonZero(dx, IDC_BEAM_J_MAGNITUDE, edited.GetF64(offset(kJ.magnitude)), IDS_SHELL_MAGNITUDE_NONZERO);
}

void BeamDistributedLoadDlg::ShowLayout(bool twoEnded) {
    if (!m_hWnd) return;
    if (twoEnded != twoEndedShown_) {
        twoEndedShown_ = twoEnded;
        for (std::size_t i = 0; i < 3; ++i) ::SetWindowText(Control(kWordedLabels[i]), wordings_[i][twoEnded ? 1 : 0].c_str());
        RECT window{}, client{};
        ::GetWindowRect(m_hWnd, &window);
        ::GetClientRect(m_hWnd, &client);
        int width = fullWidth_;
        if (!twoEnded) {
            // The client area ends where the J-node column begins.
            RECT group{};
            ::GetWindowRect(Control(IDC_BEAM_J_DIRECTION_GROUP), &group);
            POINT left{group.left, group.top};
            ::ScreenToClient(m_hWnd, &left);
            width = int(left.x) + int((window.right - window.left) - (client.right - client.left));
        }
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER);
    }
    for (UINT id : kJEnd)
        if (HWND control = Control(id)) ::ShowWindow(control, twoEnded ? SW_SHOW : SW_HIDE);
    ApplyRules(*Declaration());
}

void BeamDistributedLoadDlg::OnResume(std::uint32_t code) {
    const bool uniform = IsUniform();
    FeaObjectDialogBase::OnResume(code);
    if (code != kPickSecondVector || !uniform) return;
    auto& edited = GetEditedEntry();
    for (int i = 0; i < 3; ++i)
        edited.SetF64(DeclaredField(Double(0, kJ.direction[i])).offset, Context().pickedVector[i]);
}

ORV_REGISTER_FEA_DIALOG(BeamDistributedLoadDlg::kTypeCode, BeamDistributedLoadDlg);

}  // namespace DataModelDialogs
