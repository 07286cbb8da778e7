#pragma once
// The curve editor component object and the registration of every component of this folder:
// the curve editor, the host automation object "Orv_Glob.CGlobals" and the unit converter
// objects, with their type libraries and ProgIDs.

#include "components/interfaces/ICurveEditor.h"
#include "components/interfaces/IOrvGlobals.h"

namespace orv::components {

// Registers the classes with the class registry, the type libraries (curve editor 1.0 with
// the point record, unit system 1.0 with RURIVO_UNIT_SYSTEM_V1_ENTRY) and the ProgIDs under
// HKEY_CLASSES_ROOT (volatile: a host on another machine registers them at install time).
void RegisterCurveEditorComponents();

HRESULT CreateCurveEditor(REFIID iid, void** object);
HRESULT CreateOrvGlobals(REFIID iid, void** object);
HRESULT CreateUnitConverter(REFIID iid, void** object);
HRESULT CreateUnitConverterLink(REFIID iid, void** object);

// The record information of the curve point record (curve editor type library 1.0).
HRESULT CurvePointRecordInfo(IRecordInfo** info);

}  // namespace orv::components
