#pragma once
// The wall roughness dialogs: the default roughness of a part (type code 178, template 3009)
// and the roughness prescribed on surfaces (171, template 3010). Both take a roughness height
// in lengths and a roughness constant from 0 to 1.

#include "dialogs/objectdialogs/FeaObjectDialogBase.h"
#include "dialogs/resources/FluidLoads.h"

namespace DataModelDialogs {

class DefaultWallRoughnessDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 178;
    explicit DefaultWallRoughnessDlg(CWnd* parent = nullptr);
};

class SurfacePrescribedWallRoughnessDlg : public FeaObjectDialogBase {
public:
    static constexpr std::uint32_t kTypeCode = 171;
    explicit SurfacePrescribedWallRoughnessDlg(CWnd* parent = nullptr);
};

}  // namespace DataModelDialogs
