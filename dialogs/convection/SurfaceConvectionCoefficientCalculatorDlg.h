#pragma once
// SurfaceConvectionCoefficientCalculatorDlg: "Surface Properties - Film/Convection Coefficient
// Calculator". Three tabs describe the convection situation (General, Fluid Properties,
// Geometry); "Calculate" computes h by the chosen correlation and explains it; the user may
// type a value of their own instead. OK returns one coefficient in `result`.
//
// The caller sets the inputs (in its display unit system), the result and the inputs'
// UserCoefficient (the coefficient it shows now), and whether the library buttons are shown.

#include <memory>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientInputs.h"
#include "dialogs/convection/SurfaceConvectionCoefficientPanel.h"
#include "platform/win/Afx.h"

namespace DataModelDialogs {

class SurfaceConvectionCoefficientCalculatorDlg : public CDialog {
public:
    explicit SurfaceConvectionCoefficientCalculatorDlg(CWnd* parent = nullptr);
    ~SurfaceConvectionCoefficientCalculatorDlg() override;

    ConvectionCoefficientInputs inputs;
    double result = 0.0;
    bool showLibraryButtons = true;

    int GetPanelCount() const { return int(panels_.size()); }
    SurfaceConvectionCoefficientPanel* GetPanel(int index) const { return panels_.at(std::size_t(index)).get(); }
    int GetCurrentPanel() const { return current_; }
    // Selects the tab and shows its panel.
    void ShowPanel(int index);
    const CString& GetLastExplanation() const { return lastExplanation_; }
    // The F1 pop-up for a control of the dialog or of a panel.
    void ShowHelp(const HELPINFO& info);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    void LayoutPanels();
    // Computes and shows h with its explanation; false when the inputs do not read or h is
    // not finite (nothing is shown then).
    bool Calculate();
    void ReadFromLibrary();
    void SaveToLibrary();
    void ShowValidity(const std::vector<CString>& warnings);

    std::vector<std::unique_ptr<SurfaceConvectionCoefficientPanel>> panels_;
    std::vector<std::unique_ptr<CWnd>> calcEdits_;
    int current_ = -1;
    CString lastExplanation_;
    // What "Calculate" last put into the user box, and the h behind it.
    CString calculatedText_;
    double calculatedValue_ = 0.0;
};

}  // namespace DataModelDialogs
