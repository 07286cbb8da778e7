#pragma once
// The interactive host's pick prompt: where the host application would let the person pick
// in its 3-D view, a small dialog asks for the point or vector (X, Y, Z) or for one value.

#include <array>
#include <cstdint>
#include <string>

#include "platform/res/DialogTemplate.h"
#include "platform/win/Afx.h"

namespace orvdlg {

// What a pick code asks for, and how the prompt words it.
struct PickRequest {
    enum class Kind { Point, Vector, Value };
    std::uint32_t code = 0;
    Kind kind = Kind::Vector;
    std::wstring text;  // "Pick the direction vector." (empty: none)
};

// The request of a pick code the dialogs end with; a code the host does not know asks for a
// vector without a request text.
PickRequest DescribePick(std::uint32_t code);

class PickPromptDialog : public CDialog {
public:
    static constexpr int IDC_REQUEST = 1001;
    static constexpr int IDC_X = 1002;
    static constexpr int IDC_Y = 1003;
    static constexpr int IDC_Z = 1004;
    static constexpr int IDC_VALUE = 1005;

    explicit PickPromptDialog(PickRequest request, CWnd* parent = nullptr);

    const PickRequest& Request() const { return request_; }
    // The answer after IDOK (the vector for points and vectors, the value for values).
    const std::array<double, 3>& Vector() const { return vector_; }
    double Value() const { return value_; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

private:
    PickRequest request_;
    orv::res::DialogTemplate template_;
    std::array<double, 3> vector_{};
    double value_ = 0;
};

}  // namespace orvdlg
