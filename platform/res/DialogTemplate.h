#pragma once
// A dialog template as plain data: what a DIALOGEX statement of a resource script compiles to.
// The kernel creates a dialog's windows from it; nothing here knows about windows.

#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

namespace orv::res {

struct DialogItemTemplate {
    // Window class: "Button", "Edit", "Static", "ComboBox", "ListBox", "ScrollBar",
    // "SysListView32", "SysTabControl32", "msctls_updown32", "ComboBoxEx32", or a custom name.
    std::wstring className;
    // Caption. For SS_ICON/SS_BITMAP statics the resource reference: "#123" or a name.
    std::wstring text;
    UINT id = 0;
    DWORD style = 0;    // full style, WS_CHILD and WS_VISIBLE included as the script leaves them
    DWORD exStyle = 0;
    DWORD helpId = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

struct DialogTemplate {
    UINT id = 0;
    std::wstring caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::wstring fontName;             // empty: the system dialog font
    int fontPointSize = 8;
    int fontWeight = 400;
    bool fontItalic = false;
    std::wstring className;            // empty: the dialog class
    std::vector<DialogItemTemplate> items;  // in template order, which is the tab order
};

}  // namespace orv::res
