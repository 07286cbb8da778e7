#include "dialogs/factory/ContactSelection.h"

namespace DataModelDialogs {

int AnalysisFamily(std::uint32_t analysisType) {
    // Index: analysis type code 0 to 26.
    static constexpr signed char kFamilies[] = {
        0, 0, 1, 2, 2, 3, 3, 0, 0, 0,   // 0-9
        0, 0, 0, 0, 1, 4, 4, 0, 3, 2,   // 10-19
        1, 2, 5, 1, 3, -1, 5,           // 20-26
    };
    return analysisType < sizeof kFamilies ? kFamilies[analysisType] : -1;
}

ContactOptionsKind SelectContactOptions(std::uint32_t analysisType, std::int32_t contactType) {
    const bool bonding = contactType == 1 || contactType == 2;
    switch (AnalysisFamily(analysisType)) {
        case 0: return bonding ? ContactOptionsKind::SmartBonding : ContactOptionsKind::Friction;
        case 2: return bonding ? ContactOptionsKind::SmartBonding : ContactOptionsKind::Thermal;
        case 4: return bonding ? ContactOptionsKind::SmartBonding : ContactOptionsKind::SurfaceDirection;
        default: return ContactOptionsKind::SurfaceDirection;
    }
}

}  // namespace DataModelDialogs
