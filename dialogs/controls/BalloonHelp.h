#pragma once
// CBalloonHelp: a self-drawn, optionally fading balloon tip. A rounded popup with a pointed
// tail at an anchor point on the screen shows a bold title, an optional icon and a wrapped
// text; it closes on a time-out, on the mouse or keys (by option), and fades in and out where
// the platform has layered windows and the tooltip animation settings are on.

#include <memory>

#include "platform/win/Afx.h"
#include "platform/win/AtlWindow.h"
#include "platform/win/Gdi.h"

class CBalloonHelp : public CWindowImpl<CBalloonHelp, CWnd, CWinTraits<WS_POPUP, 0>> {
public:
    DECLARE_WND_CLASS_EX(L"BalloonHelpClass", CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW, COLOR_WINDOW)

    // Options.
    static constexpr unsigned kCloseOnLButtonUp = 0x0001;  // captures the mouse
    static constexpr unsigned kCloseOnRButtonUp = 0x0002;  // captures the mouse
    static constexpr unsigned kCloseOnMouseMove = 0x0004;  // beyond the tolerance
    static constexpr unsigned kCloseOnKeyPress = 0x0008;   // any key going down in the thread
    static constexpr unsigned kDeleteThisOnClose = 0x0010;
    static constexpr unsigned kShowCloseButton = 0x0020;
    static constexpr unsigned kShowInnerShadow = 0x0040;
    static constexpr unsigned kShowTopMost = 0x0080;
    static constexpr unsigned kDisableFadeIn = 0x0100;
    static constexpr unsigned kDisableFadeOut = 0x0200;

    // Timers.
    static constexpr UINT_PTR kTimerFadeIn = 3333;
    static constexpr UINT_PTR kTimerFadeOut = 3334;
    static constexpr UINT_PTR kTimerClose = 3335;
    static constexpr UINT_PTR kTimerMouse = 3336;
    static constexpr UINT_PTR kTimerHotCheck = 3337;  // the close button checks the mouse again

    static constexpr int kMouseTolerance = 3;
    static constexpr int kTailHeight = 20;
    static constexpr int kMargin = 8;
    static constexpr int kCloseButtonSize = 16;
    static constexpr UINT kFadeStepMilliseconds = 25;
    static constexpr int kFadeStep = 25;
    static constexpr UINT kMouseCheckMilliseconds = 100;
    static constexpr UINT kHotCheckMilliseconds = 500;

    // The platform's layered-window function; null stands for a platform without layered
    // windows (then balloons never fade). Each balloon takes the one set when it is constructed.
    using LayeredFunction = BOOL (*)(HWND, COLORREF, BYTE, DWORD);
    static void SetLayeredFunction(LayeredFunction function);
    static LayeredFunction DefaultLayeredFunction();

    CBalloonHelp();
    ~CBalloonHelp() override;

    // Creates and shows the balloon with its tail at `anchor` (screen coordinates). False
    // without a parent window or when the window or a font cannot be made. `icon` null keeps
    // an icon given before with SetIcon. A time-out of 0 never closes by itself.
    BOOL Create(const CString& title, const CString& content, const CPoint& anchor, unsigned options,
                CWnd* parent, const CString& url = CString(), unsigned timeout = 0, HICON icon = nullptr);

    // The icon shown before the title: an image list of one image sized from the icon or bitmap.
    // A bitmap is drawn by reference and must live as long as the balloon.
    void SetIcon(HICON icon);
    void SetIcon(HBITMAP bitmap, COLORREF mask);
    // Restarts the close timer with a new time-out (0 stops it); applies once fully shown.
    void SetTimeout(unsigned timeout);
    // Starts closing (the fade-out, or destruction at once without it).
    void HideBalloon();

    unsigned Options() const { return options_; }
    // The close button's DrawFrameControl state: DFCS_FLAT, DFCS_HOT or DFCS_PUSHED.
    UINT CloseButtonState() const { return closeButtonState_; }
    int Alpha() const { return alpha_; }
    const CPoint& Anchor() const { return anchor_; }
    const CString& Content() const { return content_; }

    // The shape for a window of `size` with its tail on top (else at the bottom) and the tip at
    // `tipX` (window coordinates): the three tail points (tip first) and the body.
    struct Shape {
        POINT tail[3]{};
        RECT body{};
    };
    static Shape ComputeShape(SIZE size, bool tailOnTop, int tipX);

protected:
    void OnFinalMessage(HWND) override;

private:
    CSize MeasureHeader(CDC& dc, CSize* titleSize) const;
    CSize MeasureContent(CDC& dc) const;
    CSize WindowSize();
    void PositionWindow();
    void ApplyRegion();
    void BuildRegion(CRgn& region, int dx, int dy) const;
    CRect ClientArea() const;  // window coordinates: inset by the margin, beside the tail
    CRect CloseButtonRect() const;
    void Paint(CDC& dc);
    void SetAlpha(int alpha);
    void StartFadeIn();
    void FullyShown();
    void CheckMouse();
    void OnTimerTick(UINT_PTR id);
    void OnLButtonDown(CPoint point);
    void OnLButtonUp(CPoint point);
    void OnRButtonUp();
    void OnMouseMove(CPoint point);
    void UpdateCloseButton(CPoint point);
    void OnDestroyWindow();
    static LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
    void AddToKeyboardList();
    void RemoveFromKeyboardList();

    LayeredFunction setLayeredWindowAttributes_ = nullptr;
    unsigned options_ = 0;
    unsigned timeout_ = 0;
    CString content_;
    CString url_;
    CPoint anchor_;
    std::unique_ptr<CImageList> imageList_;
    CFont titleFont_;
    CFont contentFont_;
    HFONT contentFontHandle_ = nullptr;
    COLORREF background_ = 0;
    COLORREF foreground_ = 0;
    CRgn region_;
    int alpha_ = 255;
    CPoint mouseStart_;
    UINT closeButtonState_ = DFCS_FLAT;
    // Layout of the current window.
    CSize size_;
    bool tailOnTop_ = true;
    int tipX_ = 0;
    bool fullyShown_ = false;
    bool closing_ = false;
    bool capturing_ = false;
};
