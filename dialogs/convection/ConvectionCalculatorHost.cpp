#include "dialogs/convection/ConvectionCalculatorHost.h"

#include <cwchar>

#include "dialogs/controls/LocaleManager.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/convection/ConvectionCoefficientLibrary.h"
#include "dialogs/convection/SurfaceConvectionCoefficientCalculatorDlg.h"
#include "dialogs/convection/SurfaceConvectionCoefficientLibDlg.h"

namespace DataModelDialogs {
namespace {

// The number at the start of the text; `whole` asks that nothing but blanks follow it.
double LeadingNumber(const CString& text, bool whole) {
    double value = 0;
    int used = 0;
    if (std::swscanf(text.GetString(), L"%lf%n", &value, &used) != 1) return 0.0;
    if (whole)
        for (int i = used; i < text.GetLength(); ++i)
            if (text[i] != L' ' && text[i] != L'\t') return 0.0;
    return value;
}

}  // namespace

CalculatorOutcome RunSurfaceConvectionCalculator(CWnd* parent, const OrvDbRecord::UnitSystem& display,
                                                 const CString& ambientText, const CString& coefficientText,
                                                 bool showLibraryButtons) {
    // The language's resources for the whole run, as a dialog object of the library holds them.
    LocaleReference locale(GetLibraryModule());
    ResourceModuleScope resources;
    LastUsedStore store;
    store.Load();
    SurfaceConvectionCoefficientCalculatorDlg calculator(parent);
    if (!store.GetLastUsed(display, &calculator.inputs)) calculator.inputs.Units = display;
    calculator.inputs.AmbientTemperature = LeadingNumber(ambientText, true);
    calculator.result = calculator.inputs.UserCoefficient = LeadingNumber(coefficientText, false);
    calculator.showLibraryButtons = showLibraryButtons;
    CalculatorOutcome outcome;
    outcome.result = calculator.DoModal();
    if (outcome.result == IDOK) outcome.coefficient = calculator.result;
    store.SetLastUsed(calculator.inputs);
    store.Save();
    return outcome;
}

LibraryOutcome RunCoefficientLibrary(CWnd* parent, const OrvDbRecord::UnitSystem& display) {
    LocaleReference locale(GetLibraryModule());
    ResourceModuleScope resources;
    SurfaceConvectionCoefficientLibDlg library(display, parent);
    LibraryOutcome outcome;
    outcome.result = library.DoModal();
    if (outcome.result != IDOK) return outcome;
    outcome.name = library.GetChosenName();
    outcome.coefficient = library.GetChosenInputs().UserCoefficient;
    LastUsedStore store;
    store.Load();
    store.SetLastUsed(library.GetChosenInputs());
    store.Save();
    return outcome;
}

}  // namespace DataModelDialogs
