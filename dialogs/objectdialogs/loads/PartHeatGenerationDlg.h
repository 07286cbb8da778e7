#pragma once
// The part heat generation dialog (type code 176, template 3052): the internal heat
// generation, an optional temperature-dependent curve and, for analysis types 4 and 21, a
// load curve.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/ScalarLoads.h"

namespace DataModelDialogs {

class PartHeatGenerationDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 176;
    static constexpr UINT IDC_HEAT_GENERATION = IDC_HEAT_GENERATION_VALUE;
    static constexpr UINT IDC_LOAD_CURVE = IDC_HEAT_LOAD_CURVE;

    explicit PartHeatGenerationDlg(CWnd* parent = nullptr);

    // A new object whose default load curve is 0 starts with load curve 1.
    void InitEditedEntry() override;
};

}  // namespace DataModelDialogs
