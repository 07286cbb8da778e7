#pragma once
// ShapeViewerDlg: "Variable Load Viewer" (template 3192), the plot of a variable load function
// along r, s or t while the other two are held at the values typed beside them. The caller gives
// the expression, the coordinate system type, the display unit system, the unit of the value
// and the node values of r, s and t of the load's surface.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/variableloads/RSTLegendWnd.h"
#include "dialogs/variableloads/ShapeCurve.h"
#include "platform/win/Afx.h"

namespace OrvDbRecord {
class DisplayUnitSystem;
}

namespace DataModelDialogs {

class ShapeViewerDlg : public CDialog {
public:
    explicit ShapeViewerDlg(CWnd* parent = nullptr);
    ~ShapeViewerDlg() override;

    void SetExpression(const std::wstring& expression) { expression_ = expression; }
    void SetCoordinateSystemType(std::uint32_t type) { type_ = type; }
    // Not owned; must outlive the run.
    void SetUnitSystem(const OrvDbRecord::DisplayUnitSystem* units) { units_ = units; }
    void SetValueUnit(int unit) { valueUnit_ = unit; }
    // Sorted, distinct values of variable 0 (r), 1 (s) or 2 (t) over the surface's nodes.
    void SetNodeValues(int variable, std::vector<double> values) { nodeValues_[std::size_t(variable)] = std::move(values); }

    const ShapeCurve& Curve() const { return curve_; }
    const std::vector<double>& NodeValues(int variable) const { return nodeValues_[std::size_t(variable)]; }

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;

private:
    class PlotWnd;

    void OnDirection();
    void Recalculate();
    // Computes the curve and repaints the plot; reports a text the evaluator refuses.
    void ComputeCurve();
    void EnableAtEdits();
    std::wstring UnitText(int unit) const;

    std::wstring expression_;
    std::uint32_t type_ = 0;
    const OrvDbRecord::DisplayUnitSystem* units_ = nullptr;
    int valueUnit_ = 24;
    std::array<std::vector<double>, 3> nodeValues_;
    int direction_ = 0;
    double at_[3] = {0, 0, 0};
    ShapeCurve curve_;
    int plottedUnit_ = 0;
    std::array<RSTLegendWnd, 6> legends_;
    std::vector<std::unique_ptr<CWnd>> calcEdits_;
    std::unique_ptr<PlotWnd> plot_;
    CFont horizontalFont_;
    CFont verticalFont_;
};

}  // namespace DataModelDialogs
