#pragma once
// The tab panels of the film coefficient calculator and the geometry sub-panels.
//
// A panel is a child dialog that exchanges its fields with the calculator's one
// ConvectionCoefficientInputs through field-exchange routines run in registration order. In
// normal mode the first failing routine stops the exchange with the framework's message; in
// quiet mode every routine runs and each failure only records the control's id, so the
// calculator can tell whether a panel holds valid inputs without showing anything.

#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientInputs.h"
#include "platform/win/Afx.h"

namespace DataModelDialogs {

class SurfaceConvectionCoefficientCalculatorDlg;

// What the numeric fields accept: 1e-300 and 1e300 bound "positive" and "finite" values.
struct NumberRange {
    double min = -1e300;
    double max = 1e300;
};
inline constexpr NumberRange kNonNegative{0.0, 1e300};
inline constexpr NumberRange kPositive{1e-300, 1e300};

class SurfaceConvectionCoefficientPanel : public CDialog {
public:
    SurfaceConvectionCoefficientPanel(UINT templateId, CWnd* owner);
    ~SurfaceConvectionCoefficientPanel() override;

    // The F1 text of a control; empty: the string of the control's id.
    virtual CString GetHelpText(UINT controlId) const;
    // The string of the template id ("General"); empty for a geometry sub-panel.
    virtual CString GetTabTitle() const;

    UINT GetTemplateId() const { return templateId_; }
    // Creates the window as a child of parent (hidden).
    bool CreatePanel(CWnd* parent);

    // Quiet exchange in either direction; after writing the controls they are read back at
    // once. Reading: true exactly when no field failed.
    bool Validate(bool saving);
    // Exchange in normal mode: the first bad field shows its message and gets the focus.
    bool Exchange(bool saving);
    bool IsQuiet() const { return quiet_; }
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    const std::set<UINT>& FailedControls() const { return failed_; }

    // Showing and hiding by the calculator: the focused control is remembered when hidden and
    // gets the focus back when shown (else the first tab stop); a shown panel reads its
    // controls quietly.
    void Hide();
    void Show();
    void Activate();

    // The calculator owning this panel and its inputs (the first such ancestor window).
    SurfaceConvectionCoefficientCalculatorDlg* Calculator() const;
    ConvectionCoefficientInputs& Inputs() const;

protected:
    using Routine = std::function<void(CDataExchange*)>;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Registers the routines, in exchange order.
    virtual void RegisterRoutines() = 0;
    void Register(UINT id, Routine routine);
    // A numeric field: shown "%.*g" at precision 15, read with "%lf". The range applies while
    // rangeApplies answers true (always when it is empty); readable, when given, decides
    // whether the field is read at all.
    void RegisterNumber(UINT id, double ConvectionCoefficientInputs::*field, const NumberRange* range,
                        std::function<bool()> rangeApplies = {}, std::function<bool()> readable = {});
    // Enables or disables a row of controls (label, edit, unit).
    void EnableControls(std::initializer_list<UINT> ids, bool enable);
    void OnNumberTyped(UINT id);

private:
    void RunRoutines(CDataExchange* dx);

    UINT templateId_;
    CWnd* owner_;
    std::vector<std::pair<UINT, Routine>> routines_;
    std::vector<UINT> numericIds_;
    bool quiet_ = false;
    std::set<UINT> failed_;
    std::vector<std::unique_ptr<CWnd>> calcEdits_;
    HWND lastFocus_ = nullptr;
};

class SurfaceConvectionCoefficientGeneralPanel : public SurfaceConvectionCoefficientPanel {
public:
    explicit SurfaceConvectionCoefficientGeneralPanel(CWnd* owner);
    CString GetHelpText(UINT controlId) const override;

protected:
    BOOL OnInitDialog() override;
    void RegisterRoutines() override;

private:
    void RefillCorrelations();
    void UpdateEnabling();
    CString labels_[3];
};

class SurfaceConvectionCoefficientFluidPropertiesPanel : public SurfaceConvectionCoefficientPanel {
public:
    explicit SurfaceConvectionCoefficientFluidPropertiesPanel(CWnd* owner);

protected:
    void RegisterRoutines() override;

private:
    void UpdateEnabling();
    void OnRadio(UINT id, UINT edit);
};

class SurfaceConvectionCoefficientGeometrySubpanelDlg : public SurfaceConvectionCoefficientPanel {
public:
    struct Field {
        UINT id;
        double ConvectionCoefficientInputs::*field;
    };
    SurfaceConvectionCoefficientGeometrySubpanelDlg(UINT templateId, CWnd* owner, std::vector<Field> fields);
    CString GetTabTitle() const override { return CString(); }

protected:
    void RegisterRoutines() override;

private:
    std::vector<Field> fields_;
};

class SurfaceConvectionCoefficientGeometryFEFPPanel : public SurfaceConvectionCoefficientGeometrySubpanelDlg {
public:
    explicit SurfaceConvectionCoefficientGeometryFEFPPanel(CWnd* owner);
};
class SurfaceConvectionCoefficientGeometryFIRPPanel : public SurfaceConvectionCoefficientGeometrySubpanelDlg {
public:
    explicit SurfaceConvectionCoefficientGeometryFIRPPanel(CWnd* owner);
};
class SurfaceConvectionCoefficientGeometryFIRDPanel : public SurfaceConvectionCoefficientGeometrySubpanelDlg {
public:
    explicit SurfaceConvectionCoefficientGeometryFIRDPanel(CWnd* owner);
};
class SurfaceConvectionCoefficientGeometryFITDPanel : public SurfaceConvectionCoefficientGeometrySubpanelDlg {
public:
    explicit SurfaceConvectionCoefficientGeometryFITDPanel(CWnd* owner);
};
class SurfaceConvectionCoefficientGeometryBFPPanel : public SurfaceConvectionCoefficientGeometrySubpanelDlg {
public:
    explicit SurfaceConvectionCoefficientGeometryBFPPanel(CWnd* owner);
};

class SurfaceConvectionCoefficientGeometryPanel : public SurfaceConvectionCoefficientPanel {
public:
    explicit SurfaceConvectionCoefficientGeometryPanel(CWnd* owner);
    ~SurfaceConvectionCoefficientGeometryPanel() override;
    CString GetHelpText(UINT controlId) const override;
    // Shows the sub-panel of the inputs' geometry; the others are hidden and disabled.
    void ShowSubpanel();
    SurfaceConvectionCoefficientGeometrySubpanelDlg* ShownSubpanel() const { return shown_; }

protected:
    BOOL OnInitDialog() override;
    void RegisterRoutines() override;

private:
    // In exchange order: BFP, FEFP, FIRD, FIRP, FITD.
    std::vector<std::unique_ptr<SurfaceConvectionCoefficientGeometrySubpanelDlg>> subpanels_;
    SurfaceConvectionCoefficientGeometrySubpanelDlg* shown_ = nullptr;
};

}  // namespace DataModelDialogs
