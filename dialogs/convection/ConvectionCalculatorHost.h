#pragma once
// How the surface convection load dialog (and the demo host's tools) run the film coefficient calculator and
// the coefficient library browser.
//
// RunSurfaceConvectionCalculator: loads the last-used store (the registry value "Last used"
// under HKEY_CURRENT_USER\Software\ORVEN, Inc.\ORVEN Software\ORVEN\Surface Convection
// Calculator), starts the calculator from its entry in the display unit system, takes the
// ambient temperature from its field's text (0 unless the whole text is a number) and the
// coefficient from the number at the start of its text (0 when there is none), runs it, and
// stores the inputs back whatever the outcome.

#include "host/model/UnitSystem.h"
#include "platform/win/Afx.h"

namespace DataModelDialogs {

struct CalculatorOutcome {
    INT_PTR result = IDCANCEL;  // IDOK or IDCANCEL (-1: the dialog could not be created)
    double coefficient = 0.0;   // after IDOK: the coefficient to show ("%g")
};

CalculatorOutcome RunSurfaceConvectionCalculator(CWnd* parent, const OrvDbRecord::UnitSystem& display,
                                                 const CString& ambientText, const CString& coefficientText,
                                                 bool showLibraryButtons = true);

struct LibraryOutcome {
    INT_PTR result = IDCANCEL;
    CString name;               // after IDOK: the chosen entry
    double coefficient = 0.0;   // its coefficient in the display unit system
};

// The browser in the display unit system; on OK the chosen entry becomes the last-used inputs.
LibraryOutcome RunCoefficientLibrary(CWnd* parent, const OrvDbRecord::UnitSystem& display);

}  // namespace DataModelDialogs
