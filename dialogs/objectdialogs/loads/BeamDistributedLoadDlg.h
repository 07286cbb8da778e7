#pragma once
// The beam distributed load dialog (type code 53, template 3159): a load per length that is
// uniform along the beam, or runs from an I-node end to a J-node end with a magnitude and a
// direction at each and the ratios along the beam where it starts and ends; the multiplier,
// load curve and "Follows displacement" for the analyses of category 1. The uniform layout
// hides the J-node end and narrows the dialog to the I-node column.

#include <array>
#include <string>

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/VectorLoads.h"

namespace DataModelDialogs {

class BeamDistributedLoadDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 53;

    explicit BeamDistributedLoadDlg(CWnd* parent = nullptr);

protected:
    // A new load without ratios runs along the whole beam.
    void InitEditedEntry() override;
    // The layout: the full width, the two wordings of the labels, the category's rows.
    void PrepareControls() override;
    // Uniform: the I-node end is copied to the J-node end. Two-ended: the ends are swapped when
    // the I ratio exceeds the J ratio. Then the non-zero tests; after every exchange the layout
    // follows "Uniform".
    void DoDataExchange(CDataExchange* dx) override;
    // A picked I-node direction is the J-node one too while the load is uniform.
    void OnResume(std::uint32_t code) override;

private:
    // Whether the edited record is uniform: both ends alike and, outside category 1, along the
    // whole beam.
    bool IsUniform() const;
    // Shows the uniform or the two-ended layout.
    void ShowLayout(bool twoEnded);

    int fullWidth_ = 0;          // the window width of the two-ended layout
    bool twoEndedShown_ = true;  // the template shows both ends
    bool firstExchange_ = false;
    // Magnitude label, direction group, selector: index 0 uniform, 1 two-ended wording.
    std::array<std::array<std::wstring, 2>, 3> wordings_;
};

}  // namespace DataModelDialogs
