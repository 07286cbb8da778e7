#pragma once
// DialogBuilder: a dialog template built in code, for dialogs that have no resource script
// (the demo host's windows, the stand-in components). Every control gets WS_CHILD and
// WS_VISIBLE added to its style, as a resource script's control statements do, and controls
// keep the order they are added in, which is the tab order.
//
//     const orv::res::DialogTemplate t = orv::res::DialogBuilder(L"Pick", 180, 90)
//         .Label(L"&X:", IDC_STATIC, 7, 9, 12, 8)
//         .Edit(IDC_X, 22, 7, 60, 14)
//         .DefaultButton(L"OK", IDOK, 70, 70, 50, 14)
//         .Button(L"Cancel", IDCANCEL, 124, 70, 50, 14)
//         .Build();

#include <string>

#include "platform/res/DialogTemplate.h"
#include "platform/win/WinStyles.h"

namespace orv::res {

class DialogBuilder {
public:
    // The style of a modal dialog box with a caption, a system menu and its own font.
    static constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    // Styles the shorthands give their controls (tab stops where a person tabs to).
    static constexpr DWORD kEditStyle = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    static constexpr DWORD kButtonStyle = BS_PUSHBUTTON | WS_TABSTOP;
    static constexpr DWORD kDefaultButtonStyle = BS_DEFPUSHBUTTON | WS_TABSTOP;

    // A dialog of that caption and size in dialog units, at (0, 0), with kDialogStyle and the
    // font "MS Shell Dlg" 8.
    DialogBuilder(std::wstring caption, int cx, int cy);

    DialogBuilder& Id(UINT id);
    // Replaces the dialog's style.
    DialogBuilder& Style(DWORD style);
    DialogBuilder& ExStyle(DWORD exStyle);
    DialogBuilder& Position(int x, int y);
    DialogBuilder& Font(std::wstring name, int pointSize, int weight = 400, bool italic = false);

    // Any control: window class, text, id (IDC_STATIC, -1, for labels nothing refers to),
    // style (WS_CHILD and WS_VISIBLE are added), rectangle in dialog units.
    DialogBuilder& Control(std::wstring className, std::wstring text, int id, DWORD style, int x, int y, int cx, int cy,
                           DWORD exStyle = 0);
    // Shorthands: a left-aligned label, an edit, a push button and the default push button.
    DialogBuilder& Label(std::wstring text, int id, int x, int y, int cx, int cy, DWORD style = SS_LEFT);
    DialogBuilder& Edit(int id, int x, int y, int cx, int cy, DWORD style = kEditStyle);
    DialogBuilder& Button(std::wstring text, int id, int x, int y, int cx, int cy, DWORD style = kButtonStyle);
    DialogBuilder& DefaultButton(std::wstring text, int id, int x, int y, int cx, int cy);
    // Takes WS_VISIBLE away from the control added last (a control shown later by the dialog).
    DialogBuilder& Hidden();

    const DialogTemplate& Template() const { return template_; }
    DialogTemplate Build() const { return template_; }

private:
    DialogTemplate template_;
};

}  // namespace orv::res
