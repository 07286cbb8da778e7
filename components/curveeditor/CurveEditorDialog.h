#pragma once
// The curve editor component's dialog: a table of points (x, y) that a person fills by typing
// into the X and Y fields and choosing Add, Insert, Replace or Delete, a Sort button, a plot of
// the curve, OK and Cancel.

#include <string>
#include <vector>

#include "components/interfaces/ICurveEditor.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"

namespace orv::components {

// Draws the points as a polyline in a box with the axes of orv::win::PaintPlotAxes: ticks
// with their values and the axis captions as titles.
class CurvePlotWindow : public CWnd {
public:
    CurvePlotWindow();
    void SetPoints(const std::vector<CurvePointRecord>* points) { points_ = points; }
    void SetCaptions(std::wstring x, std::wstring y) {
        xCaption_ = std::move(x);
        yCaption_ = std::move(y);
    }

private:
    void OnPaint();
    const std::vector<CurvePointRecord>* points_ = nullptr;
    std::wstring xCaption_, yCaption_;
};

class CurveEditorDialog : public CDialog {
public:
    static constexpr int IDC_CAPTION2 = 1001;
    static constexpr int IDC_CAPTION3 = 1002;
    static constexpr int IDC_POINTS = 1010;
    static constexpr int IDC_X_LABEL = 1011;
    static constexpr int IDC_X = 1012;
    static constexpr int IDC_Y_LABEL = 1013;
    static constexpr int IDC_Y = 1014;
    static constexpr int IDC_ADD = 1020;
    static constexpr int IDC_INSERT = 1021;
    static constexpr int IDC_REPLACE = 1022;
    static constexpr int IDC_DELETE = 1023;
    static constexpr int IDC_SORT = 1024;
    static constexpr int IDC_PLOT = 1030;
    static constexpr int IDC_COUNT = 1031;

    // The window class name scripts and tests find the editor by.
    static constexpr const wchar_t* kTitleFallback = L"Curve Editor";

    CurveEditorDialog(CWnd* parent, std::vector<CurvePointRecord> points, LONG mode, std::wstring title,
                      std::wstring caption2, std::wstring caption3, std::wstring xCaption, std::wstring yCaption);

    // The points as the person left them (after OK: accepted).
    const std::vector<CurvePointRecord>& Points() const { return points_; }

    // The text a value is shown with: the shortest that reads back to the same double.
    static std::wstring FormatValue(double value);
    // A finite decimal number filling the whole text (blanks around it allowed).
    static bool ParseValue(const std::wstring& text, double& value);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void FillTable();
    int Selected() const;
    void Select(int index);
    // The X and Y fields as a point; false (message shown, field focused) when one is not a number.
    bool ReadFields(CurvePointRecord& point);
    void OnSelectionChanged();
    void OnAdd();
    void OnInsert();
    void OnReplace();
    void OnDelete();
    void OnSort();
    void UpdateButtons();

    orv::res::DialogTemplate template_;
    std::vector<CurvePointRecord> points_;
    LONG mode_;
    std::wstring title_, caption2_, caption3_, xCaption_, yCaption_;
    CurvePlotWindow plot_;
    int xColumn_ = 0, yColumn_ = 0;  // the table's column widths in dialog units
    bool filling_ = false;
};

}  // namespace orv::components
