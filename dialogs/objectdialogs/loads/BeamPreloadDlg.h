#pragma once
// The beam preload dialog (type code 170, template 3008): the axial force, which may not be
// zero.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/VectorLoads.h"

namespace DataModelDialogs {

class BeamPreloadDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 170;

    explicit BeamPreloadDlg(CWnd* parent = nullptr);
};

}  // namespace DataModelDialogs
