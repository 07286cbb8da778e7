#pragma once
// CXTResizeDialog: a dialog whose controls follow its size. Each control registered with
// SetResize keeps its corners at fixed fractions of the growth: a corner anchored at (0, 0)
// stays where it is, one at (1, 1) moves with the bottom right corner of the client area.

#include <vector>

#include "platform/win/CDialog.h"

struct CXTResizePoint {
    double x = 0;
    double y = 0;
};

inline constexpr CXTResizePoint SZ_TOP_LEFT{0, 0};
inline constexpr CXTResizePoint SZ_TOP_RIGHT{1, 0};
inline constexpr CXTResizePoint SZ_BOTTOM_LEFT{0, 1};
inline constexpr CXTResizePoint SZ_BOTTOM_RIGHT{1, 1};

class CXTResizeDialog : public CDialog {
public:
    explicit CXTResizeDialog(UINT templateId, CWnd* parent = nullptr);
    // Records the client size the anchors measure growth from and forgets earlier controls
    // (the window is new at every opening).
    BOOL OnInitDialog() override;
    // Anchors control `id` as it is placed now.
    void SetResize(int id, CXTResizePoint topLeft, CXTResizePoint bottomRight);

private:
    struct Anchor {
        int id = 0;
        CXTResizePoint topLeft, bottomRight;
        RECT initial{};  // client coordinates when anchored
    };
    void Resize(int width, int height);

    std::vector<Anchor> anchors_;
    SIZE initialClient_{0, 0};
};
