#pragma once
// State of the built-in controls (internal to platform/win).

#include <string>
#include <vector>

#include "platform/win/Kernel.h"
#include "platform/win/PropertyGrid.h"

namespace orv::win::detail {

// Text with a selection: the edit control and the edit part of a combo box.
struct TextEditing {
    int anchor = 0;  // selection: anchor and caret (the caret is where typing goes)
    int caret = 0;
    int limit = 30000;
    bool modified = false;
    std::wstring undo;
    int SelStart() const { return anchor < caret ? anchor : caret; }
    int SelEnd() const { return anchor < caret ? caret : anchor; }
};

struct EditState : ControlState {
    TextEditing edit;
};

struct ButtonState : ControlState {
    int check = BST_UNCHECKED;
    bool pushed = false;
    UINT_PTR image = 0;
};

struct StaticState : ControlState {
    UINT_PTR image = 0;
    UINT imageType = 0;
};

struct ListItem {
    std::wstring text;
    DWORD_PTR data = 0;
    bool selected = false;
    int image = -1;
    int selectedImage = -1;
    int overlay = 0;
    int indent = 0;
    UINT state = 0;  // list view item state
    std::vector<std::wstring> subItems;
};

// Combo box, extended combo box and list box.
struct ListState : ControlState {
    std::vector<ListItem> items;
    int current = -1;
    int top = 0;
    bool dropped = false;
    TextEditing edit;  // editable combo boxes
    HIMAGELIST imageList = nullptr;
};

struct ListColumn {
    std::wstring text;
    int width = 0;
    int format = LVCFMT_LEFT;
};

struct ListViewState : ControlState {
    std::vector<ListItem> items;
    std::vector<ListColumn> columns;
    DWORD extendedStyle = 0;
    HIMAGELIST imageLists[3] = {nullptr, nullptr, nullptr};
    int focused = -1;
    int editing = -1;
    HWND editControl = nullptr;
    SIZE iconSpacing{0, 0};
};

struct TabItem {
    std::wstring text;
    int image = -1;
    LPARAM data = 0;
};

struct TabState : ControlState {
    std::vector<TabItem> items;
    int current = -1;
    HIMAGELIST imageList = nullptr;
};

struct UpDownState : ControlState {
    int low = 100;   // the framework's default range runs from 100 down to 0
    int high = 0;
    int pos = 0;
    HWND buddy = nullptr;
    int base = 10;
};

// The property grid: its categories (each owning its items), the selected row, the open list.
struct PropertyGridState : ControlState {
    std::vector<std::unique_ptr<CXTPPropertyGridItem>> categories;
    CXTPPropertyGridItem* selected = nullptr;
    bool dropped = false;  // the selected item's choices are open
    int highlight = -1;    // the highlighted choice of the open list
    int top = 0;           // first row shown
    bool helpVisible = true;
    int helpHeight = 39;   // pixels
};

template <class T>
T* StateOf(HWND hwnd) {
    Window* w = Find(hwnd);
    return w ? dynamic_cast<T*>(w->control.get()) : nullptr;
}

// Kind of a window by its class, for the input layer and inspection.
enum class ControlKind { Other, Button, Edit, Static, ComboBox, ComboBoxEx, ListBox, ListView, Tab, UpDown, PropertyGrid, Dialog };
ControlKind KindOf(HWND hwnd);
UINT ButtonType(HWND hwnd);

// Person-level operations the input layer uses.
void EditReplaceSelection(HWND hwnd, const std::wstring& text, bool byUser);
void ListPick(HWND hwnd, int index);             // combo / list box selection by a person
void ListViewSetState(HWND hwnd, int index, UINT state, UINT mask);
bool ListViewEndLabelEdit(HWND hwnd, int index, const std::wstring* text);
bool ListViewBeginLabelEdit(HWND hwnd, int index);
bool TabPick(HWND hwnd, int index);
void UpDownStep(HWND hwnd, int steps);
void ButtonClick(HWND hwnd);

// The property grid's rows as shown (categories, then the items of expanded ones), its row
// height in pixels, and a person's choice, row selection and expanding.
std::vector<CXTPPropertyGridItem*> GridRows(const PropertyGridState& s);
int GridRowHeight(HWND grid);
int GridSplit(HWND grid, const PropertyGridState& s);  // where the value column begins (pixels)
bool GridChoose(HWND grid, int choice);  // a choice of the selected item; notifies on a change
bool GridSelect(HWND grid, int row);
bool GridToggle(HWND grid, int row);
void InspectGrid(const PropertyGridState& s, HWND grid, WindowView& view);
LRESULT PropertyGridProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace orv::win::detail
