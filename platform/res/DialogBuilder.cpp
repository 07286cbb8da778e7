#include "platform/res/DialogBuilder.h"

#include <utility>

namespace orv::res {

DialogBuilder::DialogBuilder(std::wstring caption, int cx, int cy) {
    template_.caption = std::move(caption);
    template_.style = kDialogStyle;
    template_.cx = cx;
    template_.cy = cy;
    template_.fontName = L"MS Shell Dlg";
    template_.fontPointSize = 8;
}

DialogBuilder& DialogBuilder::Id(UINT id) {
    template_.id = id;
    return *this;
}

DialogBuilder& DialogBuilder::Style(DWORD style) {
    template_.style = style;
    return *this;
}

DialogBuilder& DialogBuilder::ExStyle(DWORD exStyle) {
    template_.exStyle = exStyle;
    return *this;
}

DialogBuilder& DialogBuilder::Position(int x, int y) {
    template_.x = x;
    template_.y = y;
    return *this;
}

DialogBuilder& DialogBuilder::Font(std::wstring name, int pointSize, int weight, bool italic) {
    template_.fontName = std::move(name);
    template_.fontPointSize = pointSize;
    template_.fontWeight = weight;
    template_.fontItalic = italic;
    return *this;
}

DialogBuilder& DialogBuilder::Control(std::wstring className, std::wstring text, int id, DWORD style, int x, int y, int cx,
                                      int cy, DWORD exStyle) {
    DialogItemTemplate item;
    item.className = std::move(className);
    item.text = std::move(text);
    item.id = UINT(id);  // IDC_STATIC (-1) becomes 0xFFFFFFFF, as a compiled template has it
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.exStyle = exStyle;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    template_.items.push_back(std::move(item));
    return *this;
}

DialogBuilder& DialogBuilder::Label(std::wstring text, int id, int x, int y, int cx, int cy, DWORD style) {
    return Control(L"Static", std::move(text), id, style, x, y, cx, cy);
}

DialogBuilder& DialogBuilder::Edit(int id, int x, int y, int cx, int cy, DWORD style) {
    return Control(L"Edit", L"", id, style, x, y, cx, cy);
}

DialogBuilder& DialogBuilder::Button(std::wstring text, int id, int x, int y, int cx, int cy, DWORD style) {
    return Control(L"Button", std::move(text), id, style, x, y, cx, cy);
}

DialogBuilder& DialogBuilder::DefaultButton(std::wstring text, int id, int x, int y, int cx, int cy) {
    return Control(L"Button", std::move(text), id, kDefaultButtonStyle, x, y, cx, cy);
}

DialogBuilder& DialogBuilder::Hidden() {
    if (!template_.items.empty()) template_.items.back().style &= ~WS_VISIBLE;
    return *this;
}

}  // namespace orv::res
