#include "apps/orvdlg/PickPrompt.h"

#include <cstdio>

#include "platform/res/DialogBuilder.h"

namespace orvdlg {
namespace {

std::wstring CodeText(std::uint32_t code) {
    wchar_t buffer[24];
    std::swprintf(buffer, sizeof buffer / sizeof buffer[0], L"0x%x", code);
    return buffer;
}

orv::res::DialogTemplate BuildTemplate(const PickRequest& request) {
    using D = PickPromptDialog;
    const bool value = request.kind == PickRequest::Kind::Value;
    const std::wstring caption = request.kind == PickRequest::Kind::Point    ? L"Pick a Point"
                                 : request.kind == PickRequest::Kind::Vector ? L"Pick a Vector"
                                                                             : L"Pick a Value";
    orv::res::DialogBuilder builder(caption, 200, value ? 70 : 104);
    builder.Label(L"", D::IDC_REQUEST, 7, 7, 186, 16);
    int y = 28;
    if (value) {
        builder.Label(L"&Value:", IDC_STATIC, 7, y + 2, 24, 8).Edit(D::IDC_VALUE, 34, y, 90, 14);
        y += 18;
    } else {
        const wchar_t* labels[] = {L"&X:", L"&Y:", L"&Z:"};
        for (int i = 0; i < 3; ++i, y += 18)
            builder.Label(labels[i], IDC_STATIC, 7, y + 2, 12, 8).Edit(D::IDC_X + i, 22, y, 102, 14);
    }
    builder.DefaultButton(L"OK", IDOK, 89, y + 4, 50, 14).Button(L"Cancel", IDCANCEL, 143, y + 4, 50, 14);
    return builder.Build();
}

}  // namespace

PickRequest DescribePick(std::uint32_t code) {
    using K = PickRequest::Kind;
    PickRequest request;
    request.code = code;
    switch (code) {
        case 0x40200: request.kind = K::Vector, request.text = L"Pick the direction vector."; break;
        case 0x40203: request.kind = K::Point, request.text = L"Pick a point."; break;
        case 0x40206: request.kind = K::Vector, request.text = L"Pick the second vector."; break;
        case 0x40207: request.kind = K::Vector, request.text = L"Pick the third vector."; break;
        case 0x4029a: request.kind = K::Point, request.text = L"Pick the moment centre."; break;
        case 0x4029b: request.kind = K::Point, request.text = L"Pick the centre of rotation."; break;
        case 0x4029c: request.kind = K::Vector, request.text = L"Pick the rotational velocity."; break;
        case 0x4029d: request.kind = K::Vector, request.text = L"Pick the translational velocity."; break;
        default: break;
    }
    return request;
}

PickPromptDialog::PickPromptDialog(PickRequest request, CWnd* parent)
    : request_(std::move(request)), template_(BuildTemplate(request_)) {
    InitModalIndirect(&template_, parent);
}

BOOL PickPromptDialog::OnInitDialog() {
    std::wstring text = request_.text.empty() ? L"The dialog asks for a pick." : request_.text;
    text += L" (request " + CodeText(request_.code) + L")";
    SetDlgItemText(IDC_REQUEST, text.c_str());
    CDialog::OnInitDialog();
    GotoDlgCtrl(GetDlgItem(request_.kind == PickRequest::Kind::Value ? IDC_VALUE : IDC_X));
    return FALSE;  // the focus is set
}

void PickPromptDialog::DoDataExchange(CDataExchange* dx) {
    if (request_.kind == PickRequest::Kind::Value) {
        DDX_Text(dx, IDC_VALUE, value_);
        DDV_MinMaxDouble(dx, value_, -1e300, 1e300);
        return;
    }
    for (int i = 0; i < 3; ++i) {
        DDX_Text(dx, IDC_X + i, vector_[i]);
        DDV_MinMaxDouble(dx, vector_[i], -1e300, 1e300);
    }
}

}  // namespace orvdlg
