#include "dialogs/variableloads/ShapeViewerDlg.h"

#include "dialogs/controls/CDoubleCalcEdit.h"
#include "dialogs/controls/ResourceModule.h"
#include "dialogs/resources/VariableLoads.h"
#include "host/model/DbShape.h"
#include "host/model/UnitSystem.h"
#include "platform/com/Bstr.h"
#include "platform/win/CString.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace DataModelDialogs {
namespace {

constexpr UINT kLegendIds[6] = {IDC_VIEWER_R_SYMBOL, IDC_VIEWER_S_SYMBOL, IDC_VIEWER_T_SYMBOL,
                                IDC_VIEWER_R_UNIT,   IDC_VIEWER_S_UNIT,   IDC_VIEWER_T_UNIT};
constexpr UINT kAtIds[3] = {IDC_VIEWER_AT_R, IDC_VIEWER_AT_S, IDC_VIEWER_AT_T};
constexpr UINT kRadioIds[3] = {IDC_VIEWER_R, IDC_VIEWER_S, IDC_VIEWER_T};

}  // namespace

// The frame the plot is painted in.
class ShapeViewerDlg::PlotWnd : public CWnd {
public:
    explicit PlotWnd(ShapeViewerDlg& owner) : owner_(owner) {
        HandleMessage(WM_PAINT, [this](WPARAM, LPARAM) -> LRESULT {
            CPaintDC dc(this);
            RECT client{};
            GetClientRect(&client);
            const ShapeCurve& curve = owner_.curve_;
            CString xFormat, yFormat;
            xFormat.LoadString(IDS_VIEWER_X_AXIS_TITLE);
            yFormat.LoadString(IDS_VIEWER_Y_AXIS_TITLE);
            CString xTitle, yTitle;
            const std::wstring xUnit = owner_.UnitText(owner_.plottedUnit_), yUnit = owner_.UnitText(owner_.valueUnit_);
            xTitle.FormatMessage(xFormat, xUnit.c_str());
            yTitle.FormatMessage(yFormat, yUnit.c_str());
            PaintShapePlot(dc, client, curve, xTitle.str(), yTitle.str(), &owner_.horizontalFont_, &owner_.verticalFont_);
            return 0;
        });
    }

private:
    ShapeViewerDlg& owner_;
};

ShapeViewerDlg::ShapeViewerDlg(CWnd* parent) : CDialog(IDD_SHAPE_VIEWER, parent) {
    for (int i = 0; i < 3; ++i) {
        HandleCommand(kRadioIds[i], BN_CLICKED, [this] { OnDirection(); });
        HandleCommand(kAtIds[i], EN_CHANGE, [this] {
            if (CWnd* button = GetDlgItem(IDC_VIEWER_RECALCULATE)) button->EnableWindow(TRUE);
        });
    }
    HandleCommand(IDC_VIEWER_RECALCULATE, BN_CLICKED, [this] { Recalculate(); });
}

ShapeViewerDlg::~ShapeViewerDlg() = default;

std::wstring ShapeViewerDlg::UnitText(int unit) const { return units_ ? units_->GetDisplayableUnitText(unit) : std::wstring(); }

BOOL ShapeViewerDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    calcEdits_.clear();
    for (UINT id : kAtIds) {
        auto edit = std::make_unique<CDoubleCalcEdit>();
        if (edit->SubclassDlgItem(id, this)) calcEdits_.push_back(std::move(edit));
    }
    for (int i = 0; i < 6; ++i) {
        legends_[std::size_t(i)].SubclassDlgItem(kLegendIds[i], this);
        legends_[std::size_t(i)].SetCoordinateSystemType(type_);
        legends_[std::size_t(i)].SetUnitSystem(units_);
    }
    plot_ = std::make_unique<PlotWnd>(*this);
    plot_->SubclassDlgItem(IDC_VIEWER_PLOT, this);
    // Both axis fonts from the dialog's font: height 11, width 5, weight 100; the vertical one
    // turned by 90 degrees.
    LOGFONT face{};
    if (CFont* font = GetFont()) font->GetLogFont(&face);
    horizontalFont_.DeleteObject();
    verticalFont_.DeleteObject();
    horizontalFont_.CreateFont(11, 5, 0, 0, 100, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face.lfFaceName);
    verticalFont_.CreateFont(11, 5, 900, 900, 100, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face.lfFaceName);
    // Angles into 0 to 2π: s of cylindrical and spherical systems, t of spherical ones.
    if (type_ == 1 || type_ == 3) nodeValues_[1] = WrapAngles(nodeValues_[1]);
    if (type_ == 3) nodeValues_[2] = WrapAngles(nodeValues_[2]);
    SetDlgItemText(IDC_VIEWER_EXPRESSION, expression_.c_str());
    UpdateData(FALSE);
    ComputeCurve();
    EnableAtEdits();
    if (CWnd* button = GetDlgItem(IDC_VIEWER_RECALCULATE)) button->EnableWindow(FALSE);
    if (CWnd* first = GetDlgItem(IDC_VIEWER_R)) first->SetFocus();
    return FALSE;
}

void ShapeViewerDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Radio(dx, IDC_VIEWER_R, direction_);
    for (int i = 0; i < 3; ++i) DDX_Text(dx, int(kAtIds[i]), at_[i]);
}

void ShapeViewerDlg::EnableAtEdits() {
    for (int i = 0; i < 3; ++i)
        if (CWnd* edit = GetDlgItem(kAtIds[i])) edit->EnableWindow(i != direction_);
}

void ShapeViewerDlg::OnDirection() {
    for (int i = 0; i < 3; ++i)
        if (IsDlgButtonChecked(int(kRadioIds[i])) == BST_CHECKED) direction_ = i;
    if (CWnd* button = GetDlgItem(IDC_VIEWER_RECALCULATE)) button->EnableWindow(TRUE);
    EnableAtEdits();
    Recalculate();
}

void ShapeViewerDlg::Recalculate() {
    if (!UpdateData(TRUE)) return;
    CWaitCursor wait;
    ComputeCurve();
    if (CWnd* button = GetDlgItem(IDC_VIEWER_RECALCULATE)) {
        // The focus leaves the button before it goes grey.
        if (::GetFocus() == button->m_hWnd) GotoDlgCtrl(GetDlgItem(kRadioIds[direction_]));
        button->EnableWindow(FALSE);
    }
}

void ShapeViewerDlg::ComputeCurve() {
    bool computed = false;
    const OrvDbRecord::RSTVariableUnitsInfo info(type_, valueUnit_);
    plottedUnit_ = info.VariableUnit(direction_);
    CComPtr<IExpressionEvaluator> evaluator;
    const HRESULT created = CreateExpressionEvaluator(evaluator);
    if (FAILED(created)) {
        ShowEvaluatorUnavailable(m_hWnd, created);
    } else {
        RstCheckOutcome outcome;
        outcome.result = evaluator->Reset(kRstEvaluatorMode);
        if (SUCCEEDED(outcome.result)) {
            CComBSTR text(expression_.c_str());
            outcome.result = evaluator->SetExpression(text.m_str);
        }
        if (FAILED(outcome.result)) {
            ShowExpressionError(m_hWnd, outcome);
        } else {
            ComputeShapeCurve(*evaluator, nodeValues_[std::size_t(direction_)], direction_, at_, curve_);
            computed = true;
        }
    }
    // A curve computed again keeps its storage; one that could not be computed is empty.
    if (!computed) {
        curve_.x.clear();
        curve_.y.clear();
        curve_.xMin = curve_.xMax = curve_.yMin = curve_.yMax = 0;
        curve_.validPoints = 0;
    }
    if (curve_.x.empty()) curve_.yMin = -10, curve_.yMax = 10;
    if (plot_ && plot_->m_hWnd) {
        orv::win::SetPlotView(plot_->m_hWnd, {curve_.xMin, curve_.xMax, curve_.yMin, curve_.yMax, curve_.validPoints});
        plot_->Invalidate();
    }
}

}  // namespace DataModelDialogs
