#pragma once
// Text snapshots: a window drawn as characters, its controls at their positions with their
// state, so that a person can read a dialog in a terminal or a log. Deterministic: the same
// window state always gives the same text.
//
// Legend: <OK> push button, <<OK>> default button, [x] / [ ] / [-] check box checked /
// unchecked / indeterminate, (o) / ( ) radio button, [text   ] edit, [choice    v] combo box,
// list boxes as a framed column with ">" before selected items, [Tab] the selected tab, a
// property grid as a framed list of rows ("-"/"+" categories, [value  v] editable values,
// bare read-only ones) above its help pane.
// A static that paints itself (its window procedure replaced) is drawn from its display list:
// the texts it drew at their places (turned text downwards in a column, or left of its point
// when it fits there), rectangles as frames and lines of pen width 2 or more as "*".
// A disabled control has its brackets replaced by braces: {text   }, {OK}, {x} Label, {o};
// a disabled label is written {Label}. Hidden controls are not drawn. The focused control is
// named on a line below the frame.

#include <string>
#include <vector>

#include "platform/win/Inspect.h"

namespace orv::text {

// Pixels of one character cell: the window's width of 4 and height of 8 dialog units.
struct CellSize {
    int width = 6;
    int height = 13;
};

// A control's character cells relative to its window's client area.
struct CellBox {
    int x = 0, y = 0, w = 0, h = 0;
};

// The cells of controls (their window rectangles in screen pixels) within the client area
// `client`: columns from the rounded left and right edges, so that neighbours keep their gap; a
// control at least two rows high spans the rows of its top and bottom edges; a lower one gets
// one row, and such controls whose centres lie within a quarter row of each other (a label and
// the edit beside it) share the row of their mean centre, so that a line is never split. The
// text snapshots and the terminal front end lay dialogs out with it.
std::vector<CellBox> LayoutCells(const std::vector<RECT>& controls, const RECT& client, CellSize cell);

// Draws `window` with its descendants (in drawing order, parents before their children; their
// rectangles in screen coordinates as Inspect gives them). UTF-8, lines ending in '\n'.
// pictures: for each descendant the display list it painted itself, or null (empty: none).
std::string RenderSnapshot(const orv::win::WindowView& window,
                           const std::vector<orv::win::WindowView>& descendants, CellSize cell,
                           const std::vector<const orv::win::DisplayList*>& pictures = {});

// A caption without its "&" mnemonic markers ("&&" stays one "&").
// With `mnemonic`: the index in the result of the first marked character, -1 when none.
std::wstring StripMnemonics(std::wstring_view caption, int* mnemonic = nullptr);

}  // namespace orv::text
