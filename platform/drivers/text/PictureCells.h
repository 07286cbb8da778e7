#pragma once
// A painted window's display list as character cells: where its rectangles, lines and texts
// fall in the cells of the window, for the front ends that draw with characters (the text
// snapshots and the terminal). The geometry is worked out here; a sink chooses the characters,
// so each front end draws with what it has (ASCII, box drawing, dots, colours).

#include <string>
#include <string_view>
#include <vector>

#include "platform/drivers/text/TextSnapshot.h"
#include "platform/win/DisplayList.h"
#include "platform/win/Inspect.h"

namespace orv::text {

// The directions a straight horizontal or vertical line leaves a cell in.
enum : unsigned {
    kLineLeft = 1,
    kLineRight = 2,
    kLineUp = 4,
    kLineDown = 8,
};

class PictureSink {
public:
    virtual ~PictureSink() = default;
    // How finely lines are followed: the points of a cell across and down.
    virtual int SubColumns() const { return 2; }
    virtual int SubRows() const { return 2; }
    // Whether a text whose row falls outside the clip (on a frame the front end adds, which
    // takes a whole row where the window's border takes a pixel) moves onto the clip's nearest row.
    virtual bool KeepsTextInside() const { return false; }
    // A rectangle's outline over the cells (x0, y0) to (x1, y1), corners included, at least two
    // cells each way and within the clip.
    virtual void Frame(int x0, int y0, int x1, int y1, const orv::win::DrawOp& op) = 0;
    // One character of a text, within the clip.
    virtual void Char(int x, int y, wchar_t ch, const orv::win::DrawOp& op) = 0;
    // A point a line passes, within the clip: its cell, its place in the cell (0 <= subX <
    // SubColumns(), 0 <= subY < SubRows()), and for a horizontal or vertical line that spans
    // cells the directions it leaves this cell in (kLine* bits; 0 for a sloped line, a line
    // within one cell or a rectangle too small for a frame). Returns whether the cell now shows
    // a line a text should not be moved onto (a frame's or an axis's), as frames always do.
    virtual bool LinePoint(int x, int y, int subX, int subY, unsigned through, const orv::win::DrawOp& op) = 0;
};

// Draws `picture` (client coordinates of `v` in pixels) for the control shown in `cells`, only
// within `clip`: rectangles as frames, lines as points, texts at their places (turned text
// downwards in a column, or left of its point when it fits there; DT_WORDBREAK text wrapped
// to its rectangle).
void DrawPicture(PictureSink& sink, const orv::win::WindowView& v, const CellBox& cells, const CellBox& clip,
                 CellSize cell, const orv::win::DisplayList& picture);

// Whether the window is a static (not an icon or a picture) whose window procedure is no longer
// its class's: a control that another window procedure draws (a plot), shown as what it paints
// when it paints anything.
bool PaintsItself(HWND hwnd, const orv::win::WindowView& v);
// The drawing of a window that paints itself and paints something (painted now); null for any
// other window.
const orv::win::DisplayList* SelfPainted(HWND hwnd, const orv::win::WindowView& v);

// Splits text into lines that fit `width`, breaking at blanks where possible and at line breaks.
std::vector<std::wstring> Wrap(std::wstring_view text, int width);

}  // namespace orv::text
