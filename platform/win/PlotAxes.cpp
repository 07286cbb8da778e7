#include "platform/win/PlotAxes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace orv::win {
namespace {

constexpr int kDivisions = 5;
constexpr int kTick = 5;
constexpr int kGap = 6;  // the least room between two labels

// Which of the labels 0..kDivisions to show along an axis whose label i spans
// [start[i], end[i]] in the direction the axis runs: each one that keeps kGap from the last shown,
// the first and the last always.
std::vector<bool> LabelsThatFit(const std::vector<long>& start, const std::vector<long>& end) {
    std::vector<bool> shown(start.size(), false);
    if (start.empty()) return shown;
    const std::size_t last = start.size() - 1;
    shown[0] = shown[last] = true;
    long reached = end[0];
    for (std::size_t i = 1; i < last; ++i)
        if (start[i] >= reached + kGap && end[i] + kGap <= start[last]) {
            shown[i] = true;
            reached = end[i];
        }
    return shown;
}

// Where labels 0..kDivisions span along an axis that runs `length` from `from`, in the font
// selected: the first from its tick, the last up to its tick, the others centred on theirs.
void SpansAlong(CDC& dc, const std::wstring (&labels)[kDivisions + 1], long from, long length,
                std::vector<long>& start, std::vector<long>& end) {
    start.clear();
    end.clear();
    for (int i = 0; i <= kDivisions; ++i) {
        const long at = from + length * i / kDivisions;
        const long w = dc.GetTextExtent(labels[i].c_str(), int(labels[i].size())).cx;
        start.push_back(i == 0 ? at : i == kDivisions ? at - w : at - w / 2);
        end.push_back(start.back() + w);
    }
}

}  // namespace

std::wstring FormatAxisLabel(double value, double span) {
    const wchar_t* format = span <= 0.05 ? L"%.3f" : span <= 0.5 ? L"%.2f" : L"%.1f";
    // min + i * span / 5 can miss zero by a rounding error, which would print as "-0.0".
    if (std::fabs(value) <= std::fabs(span) * 1e-12) value = 0;
    wchar_t buffer[64];
    std::swprintf(buffer, 64, format, value);
    return buffer;
}

RECT PaintPlotAxes(CDC& dc, const RECT& frame, const PlotAxes& axes, CFont* horizontal, CFont* vertical) {
    const double xSpan = axes.xMax - axes.xMin, ySpan = axes.yMax - axes.yMin;
    std::wstring xLabels[kDivisions + 1], yLabels[kDivisions + 1];
    for (int i = 0; i <= kDivisions; ++i) {
        xLabels[i] = FormatAxisLabel(axes.xMin + i * xSpan / kDivisions, xSpan);
        yLabels[i] = FormatAxisLabel(axes.yMin + (kDivisions - i) * ySpan / kDivisions, ySpan);
    }
    CFont* oldFont = horizontal ? dc.SelectObject(horizontal) : nullptr;
    const LONG lineHeight = dc.GetTextExtent(L"0", 1).cy;
    RECT box{frame.left + 35, frame.top, frame.right, frame.bottom - 35};
    if (!vertical) {
        LONG widest = 0;
        for (const auto& label : yLabels) widest = std::max(widest, dc.GetTextExtent(label.c_str(), int(label.size())).cx);
        box = RECT{frame.left + widest + 8, frame.top + lineHeight * 3 / 2 + 4, frame.right - 6,
                   frame.bottom - 2 * lineHeight - 8};
    }
    const LONG width = box.right - box.left, height = box.bottom - box.top;
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    CBrush white(RGB(255, 255, 255));
    CPen* oldPen = dc.SelectObject(&black);
    CBrush* oldBrush = dc.SelectObject(&white);
    dc.Rectangle(&box);
    CPen grid(PS_DOT, 1, RGB(192, 192, 192));
    for (int i = 1; i < kDivisions; ++i) {
        const LONG x = box.left + width * i / kDivisions, y = box.top + height * i / kDivisions;
        dc.SelectObject(&grid);
        dc.MoveTo(x, box.top + 1);
        dc.LineTo(x, box.bottom - 1);
        dc.MoveTo(box.left + 1, y);
        dc.LineTo(box.right - 1, y);
        dc.SelectObject(&black);
        dc.MoveTo(x, box.bottom - 1);
        dc.LineTo(x, box.bottom - 1 - kTick);
        dc.MoveTo(box.left + 1, y);
        dc.LineTo(box.left + 1 + kTick, y);
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));

    // X labels below their ticks: the first from the box's left edge, the last up to its right.
    std::vector<long> start, end;
    SpansAlong(dc, xLabels, box.left, width, start, end);
    const std::vector<bool> xShown = LabelsThatFit(start, end);
    for (int i = 0; i <= kDivisions; ++i) {
        if (!xShown[std::size_t(i)]) continue;
        dc.SetTextAlign(TA_TOP | (i == 0 ? TA_LEFT : i == kDivisions ? TA_RIGHT : TA_CENTER));
        dc.TextOut(box.left + width * i / kDivisions, box.bottom + 3, xLabels[i].c_str(), int(xLabels[i].size()));
    }
    dc.SetTextAlign(TA_TOP | TA_CENTER);
    dc.TextOut(box.left + width / 2, vertical ? box.bottom + 20 : box.bottom + lineHeight + 5, axes.xTitle.c_str(),
               int(axes.xTitle.size()));

    if (vertical) {
        // Upwards, ending at their ticks' height: the top one below the box's top, the bottom
        // one above its bottom; a label that would run into the one above it is left out.
        dc.SelectObject(vertical);
        SpansAlong(dc, yLabels, box.top, height, start, end);
        const std::vector<bool> yShown = LabelsThatFit(start, end);
        for (int j = 0; j <= kDivisions; ++j) {
            if (!yShown[std::size_t(j)]) continue;
            dc.SetTextAlign(TA_BOTTOM | (j == 0 ? TA_RIGHT : j == kDivisions ? TA_LEFT : TA_CENTER));
            dc.TextOut(box.left - 3, box.top + height * j / kDivisions, yLabels[j].c_str(), int(yLabels[j].size()));
        }
        dc.SetTextAlign(TA_BOTTOM | TA_CENTER);
        dc.TextOut(box.left - 20, box.top + height / 2, axes.yTitle.c_str(), int(axes.yTitle.size()));
    } else {
        // Across, centred on their ticks from the bottom up; the title above the box.
        start.clear();
        end.clear();
        for (int j = kDivisions; j >= 0; --j) {
            const long mid = box.top + height * j / kDivisions;
            start.push_back(-(mid + lineHeight / 2));
            end.push_back(-(mid + lineHeight / 2) + lineHeight);
        }
        const std::vector<bool> yShown = LabelsThatFit(start, end);
        for (int j = 0; j <= kDivisions; ++j) {
            if (!yShown[std::size_t(kDivisions - j)]) continue;
            dc.SetTextAlign(TA_TOP | TA_RIGHT);
            dc.TextOut(box.left - 4, box.top + height * j / kDivisions - lineHeight / 2, yLabels[j].c_str(),
                       int(yLabels[j].size()));
        }
        dc.SetTextAlign(TA_TOP | TA_LEFT);
        dc.TextOut(frame.left + 2, frame.top + 2, axes.yTitle.c_str(), int(axes.yTitle.size()));
    }
    if (oldFont) dc.SelectObject(oldFont);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    return box;
}

}  // namespace orv::win
