#include "components/Registration.h"

#include "components/ExpressionEvaluator.h"
#include "components/curveeditor/CurveEditor.h"
#include "platform/com/ClassRegistry.h"

// Each component adds its class factory here as it lands.
void RegisterOrvComponents() {
    orv::com::RegisterClass(CLSID_ExpressionEvaluator, kExpressionEvaluatorProgId,
                            orv::components::CreateExpressionEvaluator);
    orv::components::RegisterCurveEditorComponents();
}
