#pragma once
// Creating dialogs from templates, and the dialog manager's navigation (internal to
// platform/win and the object layer).

#include "platform/res/DialogTemplate.h"
#include "platform/win/WinApi.h"

namespace orv::win {

// Creates a dialog (its window, then its controls in template order), sends WM_INITDIALOG
// with `param` and sets the initial focus. The window is shown only when the template has
// WS_VISIBLE. Null when the window cannot be created.
HWND CreateDialogFromTemplate(const orv::res::DialogTemplate& dialogTemplate, HINSTANCE module, HWND owner,
                              DLGPROC proc, LPARAM param);

// The default button's id (DM_GETDEFID), or 0 when there is none.
int DefaultButtonId(HWND dialog);

// Moves the focus as the dialog manager does: to `control`, selecting all of an edit's text.
void DialogSetFocus(HWND dialog, HWND control);

// Handles a key going down as the dialog manager and the focused control do (navigation,
// Enter, Escape, F1, mnemonics). Returns true when the key was used.
bool DialogKey(HWND dialog, UINT vk, bool shift, bool control, bool alt);

// A character typed into the focused window, or as a mnemonic when the focus does not take
// characters.
bool DialogChar(HWND dialog, wchar_t ch, bool alt);

}  // namespace orv::win
