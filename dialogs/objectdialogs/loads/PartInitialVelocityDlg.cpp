#include "dialogs/objectdialogs/loads/PartInitialVelocityDlg.h"

#include <cwchar>

#include "dialogs/factory/DialogRegistry.h"

namespace DataModelDialogs {
namespace {

constexpr int kVelocity = 10, kLength = 1, kAngularVelocity = 65;

// The groups in pick-group order (1 translational, 2 center, 3 rotational), each with its
// edits, unit and pick code.
struct Group {
    UINT edits[3];
    int unit;
    UINT button;
    std::uint32_t code;
};
constexpr Group kGroups[3] = {
    {{IDC_INITIAL_TRANSLATIONAL_X, IDC_INITIAL_TRANSLATIONAL_Y, IDC_INITIAL_TRANSLATIONAL_Z}, kVelocity,
     IDC_INITIAL_TRANSLATIONAL_PICK, kPickTranslationalVelocity},
    {{IDC_INITIAL_CENTER_X, IDC_INITIAL_CENTER_Y, IDC_INITIAL_CENTER_Z}, kLength, IDC_INITIAL_CENTER_PICK,
     kPickRotationCentre},
    {{IDC_INITIAL_ROTATIONAL_X, IDC_INITIAL_ROTATIONAL_Y, IDC_INITIAL_ROTATIONAL_Z}, kAngularVelocity,
     IDC_INITIAL_ROTATIONAL_PICK, kPickRotationalVelocity},
};

FieldBinding Component(UINT edit, const char* field, int unit) {
    return Double(edit, field).InUnit(unit).Range(-1e300, 1e300);
}

const DialogDeclaration kInitialVelocity{
    .fields =
        {
            Component(IDC_INITIAL_TRANSLATIONAL_X, "translationalX", kVelocity),
            Component(IDC_INITIAL_TRANSLATIONAL_Y, "translationalY", kVelocity),
            Component(IDC_INITIAL_TRANSLATIONAL_Z, "translationalZ", kVelocity),
            Component(IDC_INITIAL_CENTER_X, "centerX", kLength),
            Component(IDC_INITIAL_CENTER_Y, "centerY", kLength),
            Component(IDC_INITIAL_CENTER_Z, "centerZ", kLength),
            Component(IDC_INITIAL_ROTATIONAL_X, "rotationalX", kAngularVelocity),
            Component(IDC_INITIAL_ROTATIONAL_Y, "rotationalY", kAngularVelocity),
            Component(IDC_INITIAL_ROTATIONAL_Z, "rotationalZ", kAngularVelocity),
        },
};

// The ten controls whose texts a pick keeps, in saved-text order.
constexpr UINT kSavedControls[10] = {
    IDC_INITIAL_TRANSLATIONAL_X, IDC_INITIAL_TRANSLATIONAL_Y, IDC_INITIAL_TRANSLATIONAL_Z,
    IDC_INITIAL_CENTER_X,        IDC_INITIAL_CENTER_Y,        IDC_INITIAL_CENTER_Z,
    IDC_INITIAL_ROTATIONAL_X,    IDC_INITIAL_ROTATIONAL_Y,    IDC_INITIAL_ROTATIONAL_Z,
    IDC_DESCRIPTION,
};

}  // namespace

PartInitialVelocityDlg::PartInitialVelocityDlg(CWnd* parent) : FeaObjectDialogBase(kInitialVelocity, parent, kTypeCode) {
    for (int g = 0; g < 3; ++g) HandleCommand(kGroups[g].button, [this, g] { Pick(g + 1); });
}

void PartInitialVelocityDlg::Pick(int group) {
    for (std::size_t i = 0; i < savedTexts_.size(); ++i)
        savedTexts_[i] = ::GetWindowTextString(Control(kSavedControls[i]));
    pendingGroup_ = group;
    EndDialog(int(kGroups[group - 1].code));
}

std::uint32_t PartInitialVelocityDlg::LoadDialogState() {
    const std::uint32_t code = Context().resumeCode;
    if (code == kResumeFresh || code == kResumeReopen) pendingGroup_ = 0;
    return FeaObjectDialogBase::LoadDialogState();
}

void PartInitialVelocityDlg::OnResume(std::uint32_t code) {
    if (pendingGroup_ < 1 || kGroups[pendingGroup_ - 1].code != code) {
        // Not the pick this dialog asked for: it opens from the record as usual.
        pendingGroup_ = 0;
        return;
    }
    for (std::size_t i = 0; i < savedTexts_.size(); ++i)
        ::SetWindowText(Control(kSavedControls[i]), savedTexts_[i].c_str());
    // The host picks in model units; the edits show display units.
    const Group& group = kGroups[pendingGroup_ - 1];
    OrvDbRecord::UnitConverter converter = Units().GetUnitConverter();
    const bool converts = converter.SetDisplayableUnit(group.unit);
    for (int i = 0; i < 3; ++i) {
        if (IsSuppressed(group.edits[i])) continue;
        const double picked = Context().pickedVector[i];
        wchar_t text[32];
        std::swprintf(text, sizeof text / sizeof text[0], L"%g", converts ? converter.Convert(picked) : picked);
        ::SetWindowText(Control(group.edits[i]), text);
    }
}

void PartInitialVelocityDlg::DoDataExchange(CDataExchange* dx) {
    if (pendingGroup_ != 0 && !Saving(dx)) {
        pendingGroup_ = 0;
        // The texts are the person's; only the controls the objects disagree on stay disabled.
        for (UINT id : kSavedControls)
            if (IsSuppressed(id)) ::EnableWindow(Control(id), FALSE);
        return;
    }
    FeaObjectDialogBase::DoDataExchange(dx);
}

ORV_REGISTER_FEA_DIALOG(PartInitialVelocityDlg::kTypeCode, PartInitialVelocityDlg);

}  // namespace DataModelDialogs
