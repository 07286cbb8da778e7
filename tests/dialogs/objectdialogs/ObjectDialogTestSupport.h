#pragma once
// Test support for the object dialog shell: a driver that plays steps, a template builder,
// the sample model, and what a person sees (message boxes, control state).

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "host/model/DbDesignScenario.h"
#include "host/model/DbModel.h"
#include "host/model/ModelFile.h"
#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"
#include "platform/win/Driver.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "support/StepDriver.h"

namespace shelltest {

// Plays one step per "wait for input"; a test adds the steps a person would take.
using orvtest::StepDriver;

inline HWND Modal() { return orv::win::ActiveModalWindow(); }
inline HWND Ctl(int id) { return orv::win::FindControl(Modal(), id); }
inline orv::win::WindowView View(int id) { return orv::win::Inspect(Ctl(id)); }
inline std::wstring Text(int id) { return View(id).text; }
inline std::wstring Title() { return orv::win::Inspect(Modal()).text; }
inline bool IsMessageBox() { return orv::win::Inspect(Modal()).isMessageBox; }
inline std::wstring MessageText() { return orv::win::Inspect(Modal()).messageBox.text; }
inline void Type(int id, const std::wstring& text) { ASSERT_TRUE(orv::win::input::ReplaceText(Ctl(id), text)) << "type " << id; }
inline void Focus(int id) { ASSERT_TRUE(orv::win::input::Focus(Ctl(id))) << "focus " << id; }
inline void Click(int id) { ASSERT_TRUE(orv::win::input::Click(Ctl(id))) << "click " << id; }

// A template in dialog units, items in tab order.
struct TemplateBuilder {
    orv::res::DialogTemplate t;
    explicit TemplateBuilder(std::wstring caption = L"Test", int cx = 240, int cy = 140) {
        t.caption = std::move(caption);
        t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
        t.cx = cx;
        t.cy = cy;
    }
    TemplateBuilder& Add(const wchar_t* cls, UINT id, DWORD style, std::wstring text, int x, int y, int cx = 60,
                         int cy = 12) {
        orv::res::DialogItemTemplate item;
        item.className = cls;
        item.id = id;
        item.style = WS_CHILD | WS_VISIBLE | style;
        item.text = std::move(text);
        item.x = x, item.y = y, item.cx = cx, item.cy = cy;
        t.items.push_back(item);
        return *this;
    }
    TemplateBuilder& Edit(UINT id, int x, int y) { return Add(L"Edit", id, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, L"", x, y); }
    TemplateBuilder& Label(std::wstring text, int x, int y) { return Add(L"Static", 0xFFFFFFFF, SS_LEFT, std::move(text), x, y, 40, 8); }
    TemplateBuilder& Check(UINT id, int x, int y) { return Add(L"Button", id, WS_TABSTOP | BS_AUTOCHECKBOX, L"Check", x, y); }
    TemplateBuilder& Radio(UINT id, int x, int y, bool group) {
        return Add(L"Button", id, BS_AUTORADIOBUTTON | (group ? WS_GROUP | WS_TABSTOP : 0), L"Radio", x, y);
    }
    TemplateBuilder& Button(UINT id, std::wstring text, int x, int y) { return Add(L"Button", id, WS_TABSTOP | BS_PUSHBUTTON, std::move(text), x, y); }
    TemplateBuilder& OkCancel() {
        Add(L"Button", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, L"OK", 120, 120, 50, 14);
        return Add(L"Button", IDCANCEL, WS_TABSTOP | BS_PUSHBUTTON, L"Cancel", 180, 120, 50, 14);
    }
};

// The sample model with its first scenario.
struct SampleModel {
    std::unique_ptr<OrvDbRecord::DbModel> model = OrvDbRecord::LoadSampleModel();
    OrvDbRecord::DbDesignScenario& scenario = *model->GetFirstScenario();
};

}  // namespace shelltest
