#pragma once
// Test support: a driver that plays a list of steps, one per "wait for input", and a dialog
// template builder.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/Afx.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"

namespace kerneltest {

class StepDriver : public orv::win::Driver {
public:
    std::deque<std::function<void()>> steps;
    std::vector<HWND> waitedOn;
    bool WaitForInput(HWND modal) override {
        waitedOn.push_back(modal);
        if (steps.empty()) return false;
        auto step = std::move(steps.front());
        steps.pop_front();
        step();
        return true;
    }
    void Then(std::function<void()> step) { steps.push_back(std::move(step)); }
};

// A template in dialog units; items are added in tab order.
struct TemplateBuilder {
    orv::res::DialogTemplate t;
    explicit TemplateBuilder(std::wstring caption = L"Test", int cx = 200, int cy = 100) {
        t.caption = std::move(caption);
        t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
        t.cx = cx;
        t.cy = cy;
    }
    TemplateBuilder& Add(const wchar_t* cls, int id, DWORD style, std::wstring text = L"", int x = 5, int y = 5,
                         int cx = 50, int cy = 14) {
        orv::res::DialogItemTemplate item;
        item.className = cls;
        item.id = UINT(id);
        item.style = WS_CHILD | WS_VISIBLE | style;
        item.text = std::move(text);
        item.x = x, item.y = y, item.cx = cx, item.cy = cy;
        t.items.push_back(item);
        return *this;
    }
    TemplateBuilder& Edit(int id, DWORD style = 0) { return Add(L"Edit", id, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | style); }
    TemplateBuilder& Button(int id, std::wstring text, DWORD style = BS_PUSHBUTTON) {
        return Add(L"Button", id, WS_TABSTOP | style, std::move(text));
    }
    TemplateBuilder& OkCancel() {
        Button(IDOK, L"OK", BS_DEFPUSHBUTTON);
        return Button(IDCANCEL, L"Cancel");
    }
};

// A dialog over an in-memory template whose behaviour tests add through the tables.
class TestDialog : public CDialog {
public:
    explicit TestDialog(const orv::res::DialogTemplate& t) : template_(t) { InitModalIndirect(&template_); }
    std::function<void(CDataExchange*)> exchange;
    std::function<void()> init;
    void DoDataExchange(CDataExchange* dx) override {
        if (exchange) exchange(dx);
    }
    BOOL OnInitDialog() override {
        BOOL r = CDialog::OnInitDialog();
        if (init) init();
        return r;
    }
    using CWnd::HandleCommand;
    using CWnd::HandleCommandRange;
    using CWnd::HandleMessage;
    using CWnd::HandleNotify;

private:
    orv::res::DialogTemplate template_;
};

inline HWND Control(HWND dialog, int id) { return orv::win::FindControl(dialog, id); }
inline HWND Modal() { return orv::win::ActiveModalWindow(); }

}  // namespace kerneltest
