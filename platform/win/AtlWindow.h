#pragma once
// CWindowImpl: the template-library window class, as a CWnd whose window class T declares.
// Handlers go into the same tables as any CWnd's (no message-map macros).

#include <string>

#include "platform/win/CWnd.h"

template <DWORD Style = 0, DWORD ExStyle = 0>
struct CWinTraits {
    static DWORD GetWndStyle(DWORD style) { return style ? style : Style; }
    static DWORD GetWndExStyle(DWORD exStyle) { return exStyle ? exStyle : ExStyle; }
};
using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;

namespace orv::win {
struct WindowClassInfo {
    const wchar_t* name = nullptr;  // null: a name made from the class
    UINT style = 0;
    int background = COLOR_WINDOW;  // system colour index
};
}  // namespace orv::win

// Inside a class derived from CWindowImpl: its window class name, class styles and background.
#define DECLARE_WND_CLASS_EX(name, style, background) \
    static ::orv::win::WindowClassInfo GetWndClassInfo() { return {name, style, background}; }
#define DECLARE_WND_CLASS(name) DECLARE_WND_CLASS_EX(name, CS_DBLCLKS, COLOR_WINDOW)

template <class T, class TBase = CWnd, class TWinTraits = CControlWinTraits>
class CWindowImpl : public TBase {
public:
    static orv::win::WindowClassInfo GetWndClassInfo() { return {nullptr, CS_DBLCLKS, COLOR_WINDOW}; }

    HWND Create(HWND parent, const RECT* rect = nullptr, LPCTSTR windowName = nullptr, DWORD style = 0,
                DWORD exStyle = 0, UINT_PTR idOrMenu = 0, LPVOID param = nullptr) {
        orv::win::WindowClassInfo info = T::GetWndClassInfo();
        std::wstring name = info.name ? info.name : L"ATL:" + std::to_wstring(reinterpret_cast<UINT_PTR>(&T::GetWndClassInfo));
        WNDCLASS wc;
        if (!GetClassInfo(nullptr, name.c_str(), &wc)) {
            wc.lpfnWndProc = ::DefWindowProc;
            wc.lpszClassName = name.c_str();
            wc.style = info.style;
            wc.hbrBackground = GetSysColorBrush(info.background);
            RegisterClass(&wc);
        }
        RECT r = rect ? *rect : RECT{};
        if (!TBase::CreateEx(TWinTraits::GetWndExStyle(exStyle), name.c_str(), windowName,
                             TWinTraits::GetWndStyle(style), r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                             reinterpret_cast<HMENU>(idOrMenu), param))
            return nullptr;
        return this->m_hWnd;
    }

    // Called after the window's last message; an object that owns itself may delete itself.
    virtual void OnFinalMessage(HWND) {}

protected:
    void PostNcDestroy() override {
        HWND last = lastHwnd_;
        OnFinalMessage(last);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCDESTROY) lastHwnd_ = this->m_hWnd;
        return TBase::WindowProc(message, wParam, lParam);
    }

private:
    HWND lastHwnd_ = nullptr;
};
