#pragma once
// The axes of a painted x-y plot: a box with a grid of five divisions each way, ticks, tick
// labels and the axis titles. The library's variable load viewer and the curve editor
// component both paint their plots with it, so their axes read alike.

#include <string>

#include "platform/win/Gdi.h"

namespace orv::win {

struct PlotAxes {
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    std::wstring xTitle, yTitle;
};

// A tick label: "%.3f" for a span up to 0.05, "%.2f" up to 0.5, else "%.1f"; a value that is
// zero but for rounding reads "0.0", not "-0.0".
std::wstring FormatAxisLabel(double value, double span);

// Paints the axes into `frame` and returns the box the data goes in. With a font turned by 90
// degrees (`vertical`) the y labels and title run upwards in a band of 35 units left of the box,
// the x labels and title in 35 units below it. Without one the y labels read across, right
// beside their ticks, the y title stands above the box and the band left of the box is as wide
// as the widest label. X labels that would run into each other are shown at every other tick.
// Null fonts: the device context's current one.
RECT PaintPlotAxes(CDC& dc, const RECT& frame, const PlotAxes& axes, CFont* horizontal, CFont* vertical);

}  // namespace orv::win
