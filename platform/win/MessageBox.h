#pragma once
// Message boxes: ordinary kernel dialogs (icon, text, buttons), so drivers and front ends answer
// them like any dialog. The result is the id of the pressed button, or kModalNoInput when the
// driver has no answer.

#include "platform/win/WinApi.h"

// The application's message box: the caption is the application name, the owner the active
// window. Without an icon, OK and OK/Cancel boxes get the exclamation icon and Yes/No boxes the
// question icon, as the framework does. `helpId` is the help context (0: none).
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
// The same with a string of the current resource module (or the framework's own prompts); the
// help context defaults to the string id.
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = UINT(-1));

// Fills "%1"... with the texts (the framework's AfxFormatString1/2) from string `id`.
class CString;
void AfxFormatString1(CString& out, UINT id, LPCTSTR insert1);
void AfxFormatString2(CString& out, UINT id, LPCTSTR insert1, LPCTSTR insert2);

namespace orv::win {
// Shows a message box with a help context (0: none) owned by `owner`.
int ShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, DWORD helpContext);
}  // namespace orv::win
