#include "dialogs/controls/BalloonHelp.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

constexpr int kAlternateFill = 1;
constexpr int kFadeInStart = 5;
constexpr int kFadeOutStart = 250;

// The keyboard hook and the windows of the balloons that close on a key press, shared by
// every balloon of the process.
struct KeyboardState {
    std::mutex lock;
    HHOOK hook = nullptr;
    std::vector<HWND> balloons;
};

KeyboardState& Keyboard() {
    static KeyboardState state;
    return state;
}

CBalloonHelp::LayeredFunction& LayeredSetting() {
    static CBalloonHelp::LayeredFunction function = &::SetLayeredWindowAttributes;
    return function;
}

COLORREF LightTint(COLORREF background) {
    return RGB(BYTE(GetRValue(background) / 3 + 170), BYTE(GetGValue(background) / 3 + 170),
               BYTE(GetBValue(background) / 3 + 170));
}

COLORREF DarkTint(COLORREF foreground, COLORREF background) {
    auto mix = [](BYTE f, BYTE b) { return BYTE(f / 3 + b * 2 / 3); };
    return RGB(mix(GetRValue(foreground), GetRValue(background)), mix(GetGValue(foreground), GetGValue(background)),
               mix(GetBValue(foreground), GetBValue(background)));
}

}  // namespace

void CBalloonHelp::SetLayeredFunction(LayeredFunction function) { LayeredSetting() = function; }
CBalloonHelp::LayeredFunction CBalloonHelp::DefaultLayeredFunction() { return &::SetLayeredWindowAttributes; }

CBalloonHelp::CBalloonHelp()
    : setLayeredWindowAttributes_(LayeredSetting()),
      background_(GetSysColor(COLOR_INFOBK)),
      foreground_(GetSysColor(COLOR_INFOTEXT)) {
    HandleMessage(WM_ERASEBKGND, [](WPARAM, LPARAM) -> LRESULT { return TRUE; });
    HandleMessage(WM_PAINT, [this](WPARAM, LPARAM) -> LRESULT {
        CPaintDC dc(this);
        Paint(dc);
        return 0;
    });
    // The kernel gives a frameless popup its whole window as client area; the frame is drawn
    // with the client in WM_PAINT.
    HandleMessage(WM_NCPAINT, [](WPARAM, LPARAM) -> LRESULT { return 0; });
    HandleMessage(WM_NCCALCSIZE, [](WPARAM, LPARAM) -> LRESULT { return 0; });
    HandleMessage(WM_LBUTTONDOWN, [this](WPARAM, LPARAM l) -> LRESULT {
        OnLButtonDown(CPoint(SHORT(LOWORD(l)), SHORT(HIWORD(l))));
        return 0;
    });
    HandleMessage(WM_LBUTTONUP, [this](WPARAM, LPARAM l) -> LRESULT {
        OnLButtonUp(CPoint(SHORT(LOWORD(l)), SHORT(HIWORD(l))));
        return 0;
    });
    HandleMessage(WM_RBUTTONUP, [this](WPARAM, LPARAM) -> LRESULT {
        OnRButtonUp();
        return 0;
    });
    HandleMessage(WM_MOUSEMOVE, [this](WPARAM, LPARAM l) -> LRESULT {
        OnMouseMove(CPoint(SHORT(LOWORD(l)), SHORT(HIWORD(l))));
        return 0;
    });
    HandleMessage(WM_TIMER, [this](WPARAM id, LPARAM) -> LRESULT {
        OnTimerTick(UINT_PTR(id));
        return 0;
    });
    HandleMessage(WM_CLOSE, [this](WPARAM, LPARAM) -> LRESULT {
        HideBalloon();
        return 0;
    });
    HandleMessage(WM_DESTROY, [this](WPARAM, LPARAM) -> LRESULT {
        OnDestroyWindow();
        return 0;
    });
}

CBalloonHelp::~CBalloonHelp() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        options_ &= ~kDeleteThisOnClose;  // being deleted already
        DestroyWindow();
    }
}

BOOL CBalloonHelp::Create(const CString& title, const CString& content, const CPoint& anchor, unsigned options,
                          CWnd* parent, const CString& url, unsigned timeout, HICON icon) {
    if (!parent || !parent->GetSafeHwnd() || m_hWnd) return FALSE;
    content_ = content;
    anchor_ = anchor;
    options_ = options;
    url_ = url;
    timeout_ = timeout;
    if (icon) SetIcon(icon);

    if (!contentFontHandle_) {
        contentFontHandle_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        if (!contentFontHandle_) return FALSE;
    }
    if (!titleFont_.GetSafeHandle()) {
        LOGFONT lf;
        if (!orv::win::GetFontInformation(contentFontHandle_, lf)) return FALSE;
        lf.lfWeight = FW_BOLD;
        if (!titleFont_.CreateFontIndirect(&lf)) return FALSE;
    }

    BOOL animation = FALSE, fade = FALSE;
    SystemParametersInfo(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
    SystemParametersInfo(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    if (!animation || !fade || !setLayeredWindowAttributes_) options_ |= kDisableFadeIn | kDisableFadeOut;

    DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_LAYERED;
    if (options_ & kShowTopMost) exStyle |= WS_EX_TOPMOST;
    RECT start{0, 0, 10, 10};
    if (!CWindowImpl::Create(parent->GetSafeHwnd(), &start, title, WS_POPUP, exStyle)) return FALSE;

    closing_ = false;
    fullyShown_ = false;
    PositionWindow();
    StartFadeIn();

    if (options_ & kCloseOnMouseMove) {
        POINT p{};
        ::GetCursorPos(&p);
        ::ScreenToClient(m_hWnd, &p);
        mouseStart_ = p;
        SetTimer(kTimerMouse, kMouseCheckMilliseconds);
    }
    if (options_ & (kCloseOnLButtonUp | kCloseOnRButtonUp)) {
        SetCapture();
        capturing_ = true;
    }
    if (options_ & kCloseOnKeyPress) AddToKeyboardList();

    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    return TRUE;
}

void CBalloonHelp::SetIcon(HICON icon) {
    imageList_.reset();
    if (!icon) return;
    orv::win::IconInfo info;
    int cx = 32, cy = 32;
    if (orv::win::GetIconInformation(icon, info)) cx = info.cx, cy = info.cy;
    auto list = std::make_unique<CImageList>();
    if (!list->Create(cx, cy, ILC_COLOR32 | ILC_MASK, 1, 0) || list->Add(icon) < 0) return;
    imageList_ = std::move(list);
}

void CBalloonHelp::SetIcon(HBITMAP bitmap, COLORREF mask) {
    imageList_.reset();
    CBitmap* b = bitmap ? CBitmap::FromHandle(bitmap) : nullptr;
    if (!b) return;
    BITMAP info;
    if (!b->GetBitmap(&info)) return;
    auto list = std::make_unique<CImageList>();
    if (!list->Create(int(info.bmWidth), int(info.bmHeight), ILC_COLOR32 | ILC_MASK, 1, 0) || list->Add(b, mask) < 0)
        return;
    imageList_ = std::move(list);
}

void CBalloonHelp::SetTimeout(unsigned timeout) {
    timeout_ = timeout;
    if (!m_hWnd || !fullyShown_ || closing_) return;
    KillTimer(kTimerClose);
    if (timeout_) SetTimer(kTimerClose, timeout_);
}

// ---- layout ----

CSize CBalloonHelp::MeasureHeader(CDC& dc, CSize* titleSize) const {
    CSize header(0, 0);
    int cx = 0, cy = 0;
    if (imageList_ && imageList_->GetImageSize(cx, cy)) {
        header.cx += cx;
        header.cy = std::max<LONG>(header.cy, cy);
    }
    if (options_ & kShowCloseButton) {
        header.cx += kMargin + kCloseButtonSize;
        header.cy = std::max<LONG>(header.cy, kCloseButtonSize);
    }
    CString title;
    GetWindowText(title);
    CFont* old = dc.SelectObject(const_cast<CFont*>(&titleFont_));
    CRect r(0, 0, 0, 0);
    dc.DrawText(title, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    dc.SelectObject(old);
    if (titleSize) *titleSize = CSize(r.Width(), r.Height());
    if (cx && r.Width()) header.cx += kMargin;  // a gap between the icon and the title
    header.cx += r.Width();
    header.cy = std::max<LONG>(header.cy, r.Height());
    return header;
}

CSize CBalloonHelp::MeasureContent(CDC& dc) const {
    if (content_.IsEmpty()) return CSize(0, 0);
    MONITORINFO mi;
    GetMonitorInfo(MonitorFromPoint(anchor_, MONITOR_DEFAULTTONEAREST), &mi);
    const int wrap = (mi.rcMonitor.right - mi.rcMonitor.left) / 2;
    HGDIOBJ old = dc.SelectObject(HGDIOBJ(contentFontHandle_));
    CRect r(0, 0, wrap, 0);
    dc.DrawText(content_, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    dc.SelectObject(old);
    return CSize(r.Width(), r.Height());
}

CSize CBalloonHelp::WindowSize() {
    CClientDC dc(this);
    CSize header = MeasureHeader(dc, nullptr);
    CSize content = MeasureContent(dc);
    CSize inner(std::max(header.cx, content.cx), header.cy + kMargin + content.cy);
    return CSize(inner.cx + 2 * kMargin, inner.cy + kTailHeight + 2 * kMargin);
}

CBalloonHelp::Shape CBalloonHelp::ComputeShape(SIZE size, bool tailOnTop, int tipX) {
    Shape s;
    const int w = size.cx, h = size.cy;
    auto limit = [w](int x) { return std::clamp(x, kMargin, std::max(kMargin, w - kMargin)); };
    const int quarter = (w - kTailHeight) / 4;
    const bool atQuarter = tipX <= w / 2;
    // The base stays at its quarter; the tip follows tipX (which a horizontal shift moves).
    const int baseLeft = atQuarter ? quarter : quarter * 3;
    const int baseRight = baseLeft + kTailHeight;
    if (tailOnTop) {
        s.body = RECT{0, kTailHeight, w, h};
        s.tail[0] = POINT{limit(tipX), 1};
        s.tail[1] = POINT{limit(baseLeft), kTailHeight + 1};
        s.tail[2] = POINT{limit(baseRight), kTailHeight + 1};
    } else {
        s.body = RECT{0, 0, w, h - kTailHeight};
        s.tail[0] = POINT{limit(tipX), h - 2};
        s.tail[1] = POINT{limit(baseLeft), h - kTailHeight - 2};
        s.tail[2] = POINT{limit(baseRight), h - kTailHeight - 2};
    }
    return s;
}

void CBalloonHelp::PositionWindow() {
    size_ = WindowSize();
    MONITORINFO mi;
    GetMonitorInfo(MonitorFromPoint(anchor_, MONITOR_DEFAULTTONEAREST), &mi);
    const RECT& mon = mi.rcMonitor;
    tailOnTop_ = anchor_.y < mon.top + (mon.bottom - mon.top) / 2;
    const bool left = anchor_.x < mon.left + (mon.right - mon.left) / 2;
    const int quarter = (size_.cx - kTailHeight) / 4;
    // The tip above the base's left end at a quarter, above its right end at three quarters.
    tipX_ = left ? quarter : quarter * 3 + kTailHeight;
    tipX_ = std::clamp(tipX_, kMargin, std::max(kMargin, int(size_.cx) - kMargin));
    const int tipY = tailOnTop_ ? 1 : size_.cy - 2;

    CRect r(CPoint(anchor_.x - tipX_, anchor_.y - tipY), size_);
    int dx = 0;
    if (r.left < mon.left)
        dx = mon.left - r.left;
    else if (r.right > mon.right)
        dx = mon.right - r.right;
    int dy = 0;
    if (r.bottom > mon.bottom) dy = mon.bottom - r.bottom;
    if (r.top + dy < mon.top) dy = mon.top - r.top;
    r.OffsetRect(dx, dy);
    tipX_ -= dx;  // the tip still points at the anchor

    const UINT flags = SWP_NOACTIVATE | ((options_ & kShowTopMost) ? 0 : SWP_NOZORDER);
    ::SetWindowPos(m_hWnd, (options_ & kShowTopMost) ? HWND_TOPMOST : nullptr, r.left, r.top, r.Width(), r.Height(),
                   flags);
    ApplyRegion();
}

void CBalloonHelp::BuildRegion(CRgn& region, int dx, int dy) const {
    const Shape s = ComputeShape(size_, tailOnTop_, tipX_);
    POINT tail[3];
    for (int i = 0; i < 3; ++i) tail[i] = POINT{s.tail[i].x + dx, s.tail[i].y + dy};
    region.CreatePolygonRgn(tail, 3, kAlternateFill);
    CRgn body;
    body.CreateRoundRectRgn(s.body.left + dx, s.body.top + dy, s.body.right + dx, s.body.bottom + dy, kMargin * 3,
                            kMargin * 3);
    region.CombineRgn(&region, &body, RGN_OR);
}

void CBalloonHelp::ApplyRegion() {
    CRgn next;
    BuildRegion(next, 0, 0);
    if (region_.GetSafeHandle() && region_.EqualRgn(&next)) return;
    region_.DeleteObject();
    region_.CreateRectRgn(0, 0, 0, 0);
    region_.CopyRgn(&next);
    // The window takes its own copy of the region.
    CRgn* windowCopy = new CRgn;
    windowCopy->CreateRectRgn(0, 0, 0, 0);
    windowCopy->CopyRgn(&next);
    ::SetWindowRgn(m_hWnd, HRGN(windowCopy->Detach()), FALSE);
    delete windowCopy;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
}

CRect CBalloonHelp::ClientArea() const {
    if (tailOnTop_) return CRect(kMargin, kTailHeight + kMargin, size_.cx - kMargin, size_.cy - kMargin);
    return CRect(kMargin, kMargin, size_.cx - kMargin, size_.cy - kTailHeight - kMargin);
}

CRect CBalloonHelp::CloseButtonRect() const {
    CRect client = ClientArea();
    return CRect(client.right - kCloseButtonSize, client.top, client.right, client.top + kCloseButtonSize);
}

// ---- painting ----

void CBalloonHelp::Paint(CDC& dc) {
    // Frame: the background over the whole shape, the two-tone edge, the outline.
    CBrush back(background_);
    if (region_.GetSafeHandle()) {
        dc.FillRgn(&region_, &back);
        if (options_ & kShowInnerShadow) {
            CBrush light(LightTint(background_));
            CBrush dark(DarkTint(foreground_, background_));
            CRgn lightRegion, darkRegion;
            BuildRegion(lightRegion, 1, 1);
            BuildRegion(darkRegion, -1, -1);
            dc.FrameRgn(&lightRegion, &light, 2, 2);
            dc.FrameRgn(&darkRegion, &dark, 2, 2);
        }
        CBrush outline(foreground_);
        dc.FrameRgn(&region_, &outline, 1, 1);
    }

    // Client: icon, close button and title on one header line, the content below.
    const CRect client = ClientArea();
    CSize titleSize;
    const CSize header = MeasureHeader(dc, &titleSize);
    int x = client.left;
    int cx = 0, cy = 0;
    if (imageList_ && imageList_->GetImageSize(cx, cy)) {
        dc.FillSolidRect(CRect(x, client.top, x + cx, client.top + cy), background_);
        imageList_->Draw(&dc, 0, CPoint(x, client.top), ILD_NORMAL);
        x += cx + kMargin;
    }
    int titleRight = client.right;
    if (options_ & kShowCloseButton) {
        CRect close = CloseButtonRect();
        dc.DrawFrameControl(&close, DFC_CAPTION, DFCS_CAPTIONCLOSE | closeButtonState_);
        titleRight = close.left - kMargin;
    }
    CString title;
    GetWindowText(title);
    CFont* oldFont = dc.SelectObject(&titleFont_);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(foreground_);
    CRect titleRect(x, client.top, std::max(x, titleRight), client.top + header.cy);
    dc.DrawText(title, &titleRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    dc.SelectObject(oldFont);

    if (!content_.IsEmpty()) {
        HGDIOBJ old = dc.SelectObject(HGDIOBJ(contentFontHandle_));
        CRect contentRect(client.left, client.top + header.cy + kMargin, client.right, client.bottom);
        dc.DrawText(content_, &contentRect, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        dc.SelectObject(old);
    }
}

// ---- fading and closing ----

void CBalloonHelp::SetAlpha(int alpha) {
    alpha_ = std::clamp(alpha, 0, 255);
    if (setLayeredWindowAttributes_ && m_hWnd) setLayeredWindowAttributes_(m_hWnd, 0, BYTE(alpha_), LWA_ALPHA);
}

void CBalloonHelp::StartFadeIn() {
    if (options_ & kDisableFadeIn) {
        FullyShown();
        return;
    }
    SetAlpha(kFadeInStart);
    SetTimer(kTimerFadeIn, kFadeStepMilliseconds);
}

void CBalloonHelp::FullyShown() {
    KillTimer(kTimerFadeIn);
    SetAlpha(255);
    fullyShown_ = true;
    if (timeout_) SetTimer(kTimerClose, timeout_);
}

void CBalloonHelp::HideBalloon() {
    if (!m_hWnd || closing_) return;
    closing_ = true;
    KillTimer(kTimerFadeIn);
    KillTimer(kTimerClose);
    KillTimer(kTimerMouse);
    if (capturing_) {
        capturing_ = false;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
    if (options_ & kDisableFadeOut) {
        SetAlpha(0);
        // The window function, not CWnd's: a balloon that deletes itself is gone afterwards.
        ::DestroyWindow(m_hWnd);
        return;
    }
    SetAlpha(kFadeOutStart);
    SetTimer(kTimerFadeOut, kFadeStepMilliseconds);
}

void CBalloonHelp::OnTimerTick(UINT_PTR id) {
    switch (id) {
    case kTimerFadeIn:
        if (alpha_ + kFadeStep >= 256)
            FullyShown();
        else
            SetAlpha(alpha_ + kFadeStep);
        break;
    case kTimerFadeOut:
        if (alpha_ - kFadeStep < 0) {
            KillTimer(kTimerFadeOut);
            SetAlpha(0);
            ::DestroyWindow(m_hWnd);  // may delete this
        } else {
            SetAlpha(alpha_ - kFadeStep);
        }
        break;
    case kTimerClose:
        KillTimer(kTimerClose);
        HideBalloon();
        break;
    case kTimerMouse: CheckMouse(); break;
    case kTimerHotCheck: {
        POINT p{};
        ::GetCursorPos(&p);
        ::ScreenToClient(m_hWnd, &p);
        UpdateCloseButton(p);
        break;
    }
    default: break;
    }
}

void CBalloonHelp::CheckMouse() {
    if (!(options_ & kCloseOnMouseMove) || !fullyShown_ || closing_) return;
    POINT p{};
    ::GetCursorPos(&p);
    ::ScreenToClient(m_hWnd, &p);
    if (std::abs(p.x - mouseStart_.x) > kMouseTolerance || std::abs(p.y - mouseStart_.y) > kMouseTolerance)
        HideBalloon();
}

// ---- mouse ----

void CBalloonHelp::OnLButtonDown(CPoint point) {
    if ((options_ & kShowCloseButton) && CloseButtonRect().PtInRect(point)) {
        closeButtonState_ = DFCS_PUSHED;
        if (!capturing_) SetCapture();
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void CBalloonHelp::OnLButtonUp(CPoint point) {
    if ((options_ & kShowCloseButton) && CloseButtonRect().PtInRect(point)) {
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        HideBalloon();
        return;
    }
    if ((options_ & kShowCloseButton) && closeButtonState_ != DFCS_FLAT) {
        closeButtonState_ = DFCS_FLAT;
        if (!capturing_ && ::GetCapture() == m_hWnd) ::ReleaseCapture();
    }
    if (options_ & kCloseOnLButtonUp) {
        HideBalloon();
    } else if (!url_.IsEmpty()) {
        const CString url = url_;
        HideBalloon();
        ::ShellExecute(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void CBalloonHelp::OnRButtonUp() {
    if (options_ & kCloseOnRButtonUp) HideBalloon();
}

void CBalloonHelp::UpdateCloseButton(CPoint point) {
    const bool over = CloseButtonRect().PtInRect(point) != FALSE;
    const bool held = ::GetCapture() == m_hWnd && closeButtonState_ == DFCS_PUSHED;
    const UINT state = over ? (held ? DFCS_PUSHED : DFCS_HOT) : DFCS_FLAT;
    // While the button is drawn hot the mouse is checked again, since leaving the balloon
    // sends it no mouse move.
    if (state == DFCS_FLAT)
        KillTimer(kTimerHotCheck);
    else
        SetTimer(kTimerHotCheck, kHotCheckMilliseconds);
    if (state != closeButtonState_) {
        closeButtonState_ = state;
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void CBalloonHelp::OnMouseMove(CPoint point) {
    if (options_ & kShowCloseButton) UpdateCloseButton(point);
    CheckMouse();
}

// ---- keys ----

LRESULT CALLBACK CBalloonHelp::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    KeyboardState& k = Keyboard();
    HHOOK hook = nullptr;
    std::vector<HWND> closing;
    {
        std::lock_guard<std::mutex> guard(k.lock);
        hook = k.hook;
        const bool keyDown = (ULONG_PTR(lParam) & 0x80000000u) == 0;
        if (code == HC_ACTION && keyDown) closing.swap(k.balloons);
    }
    for (HWND balloon : closing) ::PostMessage(balloon, WM_CLOSE, 0, 0);
    return CallNextHookEx(hook, code, wParam, lParam);
}

void CBalloonHelp::AddToKeyboardList() {
    KeyboardState& k = Keyboard();
    std::lock_guard<std::mutex> guard(k.lock);
    // Windows that went without their WM_DESTROY (a kernel reset) leave the list; when no
    // balloon is left, the hook is installed afresh, so that a hook removed behind our back
    // never keeps a new balloon from closing.
    std::erase_if(k.balloons, [](HWND hwnd) { return !::IsWindow(hwnd); });
    if (k.balloons.empty() && k.hook) {
        UnhookWindowsHookEx(k.hook);
        k.hook = nullptr;
    }
    if (!k.hook) k.hook = SetWindowsHookEx(WH_KEYBOARD, &KeyboardHookProc, nullptr, GetCurrentThreadId());
    if (std::find(k.balloons.begin(), k.balloons.end(), m_hWnd) == k.balloons.end()) k.balloons.push_back(m_hWnd);
}

void CBalloonHelp::RemoveFromKeyboardList() {
    KeyboardState& k = Keyboard();
    std::lock_guard<std::mutex> guard(k.lock);
    std::erase(k.balloons, m_hWnd);
    if (k.balloons.empty() && k.hook) {
        UnhookWindowsHookEx(k.hook);
        k.hook = nullptr;
    }
}

void CBalloonHelp::OnDestroyWindow() {
    KillTimer(kTimerHotCheck);
    KillTimer(kTimerFadeIn);
    KillTimer(kTimerFadeOut);
    KillTimer(kTimerClose);
    KillTimer(kTimerMouse);
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    capturing_ = false;
    RemoveFromKeyboardList();
}

void CBalloonHelp::OnFinalMessage(HWND) {
    if (options_ & kDeleteThisOnClose) delete this;
}
