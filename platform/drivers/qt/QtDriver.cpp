#include "platform/drivers/qt/QtDriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTextCursor>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "platform/drivers/qt/QtPaint.h"
#include "platform/win/Inspect.h"
#include "platform/win/Input.h"
#include "platform/win/Gdi.h"
#include "platform/win/Utf8.h"
#include "platform/win/WinApi.h"
#include "platform/win/WinMessages.h"
#include "platform/win/WinStyles.h"

namespace orv::qt {
namespace {

namespace in = orv::win::input;
using orv::win::WindowView;

QString Q(const std::wstring& text) { return QString::fromStdWString(text); }

// What kind of widget shows a kernel window.
enum class Kind { Top, Container, PushButton, CheckBox, RadioButton, GroupBox, Edit, MultiEdit, Label,
                  Combo, List, ListView, Tab, Spin, Grid, Painted };

Kind KindOf(const WindowView& v, bool topLevel) {
    if (topLevel) return Kind::Top;
    const std::wstring& c = v.className;
    if (c == L"Button") {
        switch (v.style & BS_TYPEMASK) {
        case BS_CHECKBOX: case BS_AUTOCHECKBOX:
        case BS_3STATE: case BS_AUTO3STATE: return Kind::CheckBox;
        case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: return Kind::RadioButton;
        case BS_GROUPBOX: return Kind::GroupBox;
        case BS_OWNERDRAW: return Kind::Painted;
        default: return Kind::PushButton;
        }
    }
    if (c == L"Edit") return (v.style & ES_MULTILINE) ? Kind::MultiEdit : Kind::Edit;
    if (c == L"Static") {
        const DWORD type = v.style & SS_TYPEMASK;
        if (type == SS_OWNERDRAW) return Kind::Painted;
        return Kind::Label;
    }
    if (c == L"ComboBox" || c == L"ComboBoxEx32") return Kind::Combo;
    if (c == L"ListBox") return Kind::List;
    if (c == L"SysListView32") return Kind::ListView;
    if (c == L"SysTabControl32") return Kind::Tab;
    if (c == L"msctls_updown32") return Kind::Spin;
    if (c == L"#32770") return Kind::Container;
    if (orv::win::IsWindowClass(c, L"OrvPropertyGrid")) return Kind::Grid;
    return Kind::Painted;
}

// "&Name" -> "Name" with N underlined; "&&" -> "&".
QString MnemonicRichText(const std::wstring& text) {
    QString out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t ch = text[i];
        if (ch == L'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] == L'&') { out += "&amp;"; continue; }
            out += "<u>" + QString(QChar(static_cast<char16_t>(text[i]))).toHtmlEscaped() + "</u>";
            continue;
        }
        if (ch == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (ch == L'\n') { out += "<br>"; continue; }
        out += QString(QChar(static_cast<char16_t>(ch))).toHtmlEscaped();
    }
    return out;
}

// For widgets that take "&" as their own mnemonic marker (buttons): the kernel's text as is.
QString ButtonText(const std::wstring& text) { return Q(text); }

QRect RelativeRect(const RECT& r, const RECT& parentClient) {
    return QRect(r.left - parentClient.left, r.top - parentClient.top, r.right - r.left, r.bottom - r.top);
}

QColor Colour(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

bool IsDialog(const WindowView& v) { return v.className == L"#32770" || v.isMessageBox; }

// A top-level window without a caption that is not a dialog (a balloon) shows as a tool window
// of its owner: no title bar, never activated, so the focus stays where the kernel keeps it.
bool IsToolWindow(const WindowView& v) { return !IsDialog(v) && (v.style & WS_CAPTION) != WS_CAPTION; }

// A window above its owner that a window manager gives no title bar and never the focus.
void MakeToolWindow(QWidget* w) {
    w->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    // The offscreen platform has no stacking to keep (Qt raises a window shown this way).
    if (QGuiApplication::platformName() != "offscreen") w->setAttribute(Qt::WA_ShowWithoutActivating);
}

// A window with a caption gets the title bar buttons its styles ask for; one that is owned is a
// dialog, kept above its owner (transient for it, see Update).
Qt::WindowFlags TitleBarFlags(const WindowView& v) {
    const Qt::WindowFlags type = v.owner ? Qt::Dialog : Qt::Window;
    if ((v.style & WS_CAPTION) != WS_CAPTION) return type | Qt::FramelessWindowHint;
    Qt::WindowFlags flags = type | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (v.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (v.style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (v.style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

// Kernel screen coordinates to the real screen's: the kernel lays windows out on its own work
// area, which is moved so that its centre is the centre of the screen Qt shows them on, so that
// a window the kernel centres is centred on the real screen. Windows keep their places relative
// to each other, and the kernel hit-tests in its own coordinates (input goes as points relative
// to the widgets).
QPoint ScreenOffset() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    RECT work{};
    if (!screen || !::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0)) return QPoint();
    const QRect area = screen->availableGeometry();
    return QPoint(area.left() + (area.width() - (work.right - work.left)) / 2 - work.left,
                  area.top() + (area.height() - (work.bottom - work.top)) / 2 - work.top);
}

// The font a window shows: the one it was given (WM_SETFONT), else for a dialog the font of its
// template, whose point size the dialog base units give; nothing for a window that uses its
// parent's font.
std::optional<QFont> WindowFont(HWND hwnd, const WindowView& v) {
    const QFont base = QApplication::font();
    const HFONT given = reinterpret_cast<HFONT>(::SendMessage(hwnd, WM_GETFONT, 0, 0));
    LOGFONT info;
    if (given && orv::win::GetFontInformation(given, info))
        return KernelFont(info.lfFaceName, info.lfHeight, info.lfWeight, info.lfItalic != 0, info.lfUnderline != 0, base);
    if (!IsDialog(v)) return std::nullopt;
    RECT units{0, 0, 4, 8};
    if (!::MapDialogRect(hwnd, &units) || units.bottom <= 0) return std::nullopt;
    // Base units 6 x 13 belong to the 8-point face.
    const int points = std::max(1, int((units.bottom * 8 + 6) / 13));
    return KernelFont(L"MS Shell Dlg", -DialogFontPixels(points), 400, false, false, base);
}

void ApplyFont(QWidget* w, const std::optional<QFont>& font) {
    if (font) {
        if (w->font() != *font || !w->testAttribute(Qt::WA_SetFont)) w->setFont(*font);
    } else if (w->testAttribute(Qt::WA_SetFont)) {
        w->setFont(QFont());  // back to the parent's font
    }
}

// The palette of the system colours the kernel reports (GetSysColor), so that the widgets
// show what the dialogs were laid out against.
QPalette KernelPalette() {
    QPalette p = QApplication::palette();
    auto set = [&](QPalette::ColorRole role, int index) {
        p.setColor(QPalette::Active, role, Colour(GetSysColor(index)));
        p.setColor(QPalette::Inactive, role, Colour(GetSysColor(index)));
    };
    set(QPalette::Window, COLOR_BTNFACE);
    set(QPalette::Button, COLOR_BTNFACE);
    set(QPalette::Base, COLOR_WINDOW);
    set(QPalette::WindowText, COLOR_WINDOWTEXT);
    set(QPalette::Text, COLOR_WINDOWTEXT);
    set(QPalette::ButtonText, COLOR_BTNTEXT);
    set(QPalette::Highlight, COLOR_HIGHLIGHT);
    set(QPalette::HighlightedText, COLOR_HIGHLIGHTTEXT);
    set(QPalette::ToolTipBase, COLOR_INFOBK);
    set(QPalette::ToolTipText, COLOR_INFOTEXT);
    p.setColor(QPalette::Disabled, QPalette::WindowText, Colour(GetSysColor(COLOR_GRAYTEXT)));
    p.setColor(QPalette::Disabled, QPalette::Text, Colour(GetSysColor(COLOR_GRAYTEXT)));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, Colour(GetSysColor(COLOR_GRAYTEXT)));
    p.setColor(QPalette::Disabled, QPalette::Window, Colour(GetSysColor(COLOR_BTNFACE)));
    p.setColor(QPalette::Disabled, QPalette::Base, Colour(GetSysColor(COLOR_BTNFACE)));
    return p;
}

// Fusion with the focus frames a person looks for: the dotted rectangle of the kernel's controls
// over Fusion's faint one (round a check box's text, inside a push button, where Fusion's default
// button and focused button look alike), and a multi-line edit's frame in the highlight colour
// while it has the focus, as a line edit's is; and group boxes drawn as the templates expect.
class FocusFrameStyle : public QProxyStyle {
public:
    FocusFrameStyle() : QProxyStyle("Fusion") {}
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element == PE_FrameFocusRect && (option->state & State_KeyboardFocusChange))
            Outline(painter, option->rect, QPen(option->palette.color(QPalette::WindowText), 1, Qt::DotLine));
        else if (element == PE_Frame && (option->state & State_HasFocus) && qobject_cast<const QPlainTextEdit*>(widget))
            Outline(painter, option->rect, QPen(option->palette.color(QPalette::Highlight), 1));
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_PushButtonBevel && (option->state & State_HasFocus) && (option->state & State_KeyboardFocusChange))
            Outline(painter, option->rect.adjusted(3, 3, -3, -3), QPen(option->palette.color(QPalette::ButtonText), 1, Qt::DotLine));
    }

    // A group box as the kernel's dialogs are laid out for: its frame line runs through the
    // middle of the caption, which interrupts it, so that the controls placed a line below the
    // group's top lie inside the frame (Fusion puts the caption above a frame a whole line lower,
    // whose top edge then crosses them). No fill: the controls of the group are its siblings.
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !box || (box->subControls & SC_GroupBoxCheckBox)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QFontMetrics& metrics = box->fontMetrics;
        const QRect r = box->rect;
        const int line = r.top() + metrics.height() / 2;
        const int textLeft = r.left() + 8;
        const int textWidth = box->text.isEmpty() ? 0 : metrics.horizontalAdvance(box->text);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(box->palette.color(QPalette::Window).darker(135), 1));
        const int right = r.right(), bottom = r.bottom();
        if (textWidth > 0) {
            painter->drawLine(r.left(), line, textLeft - 2, line);
            painter->drawLine(std::min(right, textLeft + textWidth + 2), line, right, line);
        } else {
            painter->drawLine(r.left(), line, right, line);
        }
        painter->drawLine(r.left(), line, r.left(), bottom);
        painter->drawLine(right, line, right, bottom);
        painter->drawLine(r.left(), bottom, right, bottom);
        if (textWidth > 0)
            drawItemText(painter, QRect(textLeft, r.top(), std::min(textWidth, right - textLeft), metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, box->palette,
                         box->state & State_Enabled, box->text, QPalette::WindowText);
        painter->restore();
    }

private:
    static void Outline(QPainter* painter, const QRect& rect, const QPen& pen) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(pen);
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

// A tab control: its row of tabs at the kernel's item rectangles (as wide as its items, no
// wider: the dialog lays its pages out below the kernel's row), and the frame of the display
// area round the rest of the control, open under the selected tab. The pages are windows of
// their own and show through: the frame is only lines.
class TabControlWidget : public QTabBar {
public:
    explicit TabControlWidget(QWidget* parent) : QTabBar(parent) {
        setDrawBase(false);
        setExpanding(false);
    }
    void SetKernelItems(std::vector<QRect> items) {
        if (items == items_) return;
        items_ = std::move(items);
        // A changed size hint lays the tabs out anew.
        setIconSize(iconSize());
        updateGeometry();
        update();
    }

protected:
    QSize tabSizeHint(int index) const override {
        QSize hint = QTabBar::tabSizeHint(index);
        if (index >= 0 && index < int(items_.size()))
            hint = QSize(std::max(hint.width(), items_[std::size_t(index)].width()), items_[std::size_t(index)].bottom() + 1);
        return hint;
    }
    void paintEvent(QPaintEvent* event) override {
        {
            QPainter painter(this);
            painter.setPen(QPen(palette().color(QPalette::Window).darker(140), 1));
            const int top = count() > 0 ? tabRect(0).bottom() : 0;
            const int right = width() - 1, bottom = height() - 1;
            const QRect selected = currentIndex() >= 0 ? tabRect(currentIndex()) : QRect();
            if (selected.isValid()) {
                painter.drawLine(0, top, selected.left(), top);
                painter.drawLine(selected.right(), top, right, top);
            } else {
                painter.drawLine(0, top, right, top);
            }
            painter.drawLine(0, top, 0, bottom);
            painter.drawLine(right, top, right, bottom);
            painter.drawLine(0, bottom, right, bottom);
        }
        QTabBar::paintEvent(event);
    }

private:
    std::vector<QRect> items_;
};

}  // namespace

void EnsureApplication(bool offscreen) {
    if (QApplication::instance()) return;
    const bool noDisplay = std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr;
    if ((offscreen || noDisplay) && !std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "orvdlg";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    // Qt sets every locale category from the environment; numbers printed and read by the C
    // library (messages, records, scripts) keep the C syntax, as they do without a front end.
    std::setlocale(LC_NUMERIC, "C");
    app->setStyle(new FocusFrameStyle);
    QApplication::setPalette(KernelPalette());
    // Windows without a font of their own show the 8-point dialog face.
    QApplication::setFont(KernelFont(L"MS Shell Dlg", -DialogFontPixels(8), 400, false, false, QApplication::font()));
    QApplication::setQuitOnLastWindowClosed(false);
}

struct QtDriver::Impl {
    struct Entry {
        Kind kind = Kind::Painted;
        QWidget* widget = nullptr;
        bool displayListDirty = true;
        // A spin button's arrows.
        QToolButton* up = nullptr;
        QToolButton* down = nullptr;
        // A static icon or bitmap: the handle whose picture is shown.
        UINT_PTR shownImage = 0;
        // A top-level window: the last places the driver gave it, whose word back from the window
        // system is no move by a person.
        std::vector<QRect> placed;
    };

    QtDriverOptions options;
    std::map<HWND, Entry> entries;
    std::map<QWidget*, HWND> owners;
    // Statics whose own window procedure draws them (a plot in a static frame), decided once.
    std::map<HWND, bool> selfPainted;
    bool syncing = false;
    bool inputGiven = false;
    QElapsedTimer clock;
    qint64 lastClock = 0;

    bool Interactive() const { return options.inner == nullptr; }

    // The help pop-up the kernel raised (HtmlHelp): a tool window of the window that asked,
    // under the control it is about, until the focus leaves that control or its window goes,
    // and for a person also until the next key or click.
    QLabel* help = nullptr;
    HWND helpOwner = nullptr;
    HWND helpFocus = nullptr;
    QPoint helpAt;  // its top left in the kernel's screen coordinates

    void ShowHelp(const orv::win::HelpRequest& r) {
        if (!help) {
            help = new QLabel(nullptr);
            MakeToolWindow(help);
            help->setTextFormat(Qt::PlainText);
            help->setWordWrap(true);
            help->setFrameShape(QFrame::Box);
            help->setMargin(5);
            help->setAutoFillBackground(true);
            QPalette p = help->palette();
            p.setColor(QPalette::Window, Colour(GetSysColor(COLOR_INFOBK)));
            p.setColor(QPalette::WindowText, Colour(GetSysColor(COLOR_INFOTEXT)));
            help->setPalette(p);
            help->installEventFilter(&filter);
        }
        const QString text = Q(orv::win::HelpRequestText(r));
        help->setText(text);
        const int chrome = 2 * (help->margin() + help->frameWidth()) + 2;
        const int width = std::min(QFontMetrics(help->font()).horizontalAdvance(text) + chrome, 320);
        help->resize(width, help->heightForWidth(width));
        helpOwner = r.caller ? ::GetAncestor(r.caller, GA_ROOT) : orv::win::ActiveModalWindow();
        // Under the focused control when F1 was pressed in one, else where it was asked for.
        const HWND focus = ::GetFocus();
        helpFocus = focus;
        RECT below{};
        if (focus && ::GetAncestor(focus, GA_ROOT) == helpOwner && ::GetWindowRect(focus, &below))
            helpAt = QPoint(below.left, below.bottom + 2);
        else
            helpAt = QPoint(r.popupPosition.x, r.popupPosition.y);
        QPoint at = helpAt + ScreenOffset();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - help->width())));
            at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - help->height())));
        }
        helpAt = at - ScreenOffset();
        help->move(at);
        if (!help->winId() || !help->windowHandle()) return;
        auto owner = entries.find(helpOwner);
        help->windowHandle()->setTransientParent(
            owner != entries.end() && owner->second.kind == Kind::Top ? owner->second.widget->windowHandle() : nullptr);
        ShowWithoutActivating(help);
    }

    // Shows a tool window; the active window stays active, also where the platform activates
    // every window it shows (the offscreen one does).
    static void ShowWithoutActivating(QWidget* w) {
        QWidget* active = QApplication::activeWindow();
        w->show();
        if (active && active != w && active->windowHandle()) active->windowHandle()->requestActivate();
    }

    void HideHelp() {
        if (help && help->isVisible()) help->hide();
    }

    // Windows whose mouse input goes to the kernel as points: those it draws itself, and
    // top-level windows that are not dialogs.
    bool TakesMouse(HWND hwnd) const {
        auto it = entries.find(hwnd);
        if (it == entries.end()) return false;
        if (it->second.kind == Kind::Painted || it->second.kind == Kind::Grid) return true;
        return it->second.kind == Kind::Top && !IsDialog(orv::win::Inspect(hwnd));
    }
    POINT lastMouse{-1000000, -1000000};

    // Gives one input from a widget's handler: the kernel acts, then the widgets follow it.
    void Give(const std::function<bool()>& action) {
        if (syncing || !Interactive()) return;
        inputGiven = true;
        if (!action()) {
            std::wcerr << L"orvdlg: " << in::LastInputError() << L"\n";
            QApplication::beep();
        }
        Sync();
    }

    class Filter : public QObject {
    public:
        explicit Filter(Impl& impl) : impl_(impl) {}
        bool eventFilter(QObject* object, QEvent* event) override {
            auto* widget = qobject_cast<QWidget*>(object);
            // The help pop-up takes the next key only to close; a click closes it too.
            if (impl_.help && impl_.help->isVisible() && impl_.Interactive() &&
                (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)) {
                impl_.HideHelp();
                if (event->type() == QEvent::KeyPress || widget == impl_.help) return true;
            }
            auto owner = widget ? impl_.owners.find(widget) : impl_.owners.end();
            if (owner == impl_.owners.end()) return false;
            const HWND hwnd = owner->second;
            // Focus a person gave (a click, a shortcut); the kernel's own moves come back by sync.
            if (event->type() == QEvent::FocusIn && !impl_.syncing && impl_.Interactive() &&
                (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason ||
                 static_cast<QFocusEvent*>(event)->reason() == Qt::ShortcutFocusReason)) {
                impl_.Give([hwnd] { return in::Focus(hwnd); });
                return false;
            }
            // A window the kernel draws (a plot, an owner-drawn button, a balloon, a 3-D view) takes
            // the mouse as the kernel does: buttons down and up, moves with the buttons held and the
            // wheel at a point of the screen, hit-tested by the kernel.
            const QEvent::Type type = event->type();
            // The second press of a double click is a press like the first.
            if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
                 type == QEvent::MouseButtonRelease || type == QEvent::MouseMove || type == QEvent::Wheel) &&
                impl_.Interactive() && impl_.TakesMouse(hwnd)) {
                const WindowView v = orv::win::Inspect(hwnd);
                const RECT& origin = v.parent ? v.windowRect : v.clientRect;
                auto* input = static_cast<QInputEvent*>(event);
                in::Modifiers mods;
                mods.shift = input->modifiers() & Qt::ShiftModifier;
                mods.control = input->modifiers() & Qt::ControlModifier;
                if (type == QEvent::Wheel) {
                    auto* wheel = static_cast<QWheelEvent*>(event);
                    const QPoint pos = wheel->position().toPoint();
                    const POINT at{origin.left + pos.x(), origin.top + pos.y()};
                    const int delta = wheel->angleDelta().y();
                    if (delta != 0) impl_.Give([at, delta, mods] { return in::MouseWheel(at, delta, mods); });
                    return true;
                }
                auto* mouse = static_cast<QMouseEvent*>(event);
                const POINT at{origin.left + mouse->pos().x(), origin.top + mouse->pos().y()};
                if (type == QEvent::MouseMove) {
                    if (at.x == impl_.lastMouse.x && at.y == impl_.lastMouse.y) return false;
                    impl_.lastMouse = at;
                    impl_.Give([at, mods] { return in::MoveMouse(at, mods); });
                } else {
                    const in::MouseButton button = mouse->button() == Qt::RightButton    ? in::MouseButton::Right
                                                   : mouse->button() == Qt::MiddleButton ? in::MouseButton::Middle
                                                                                         : in::MouseButton::Left;
                    const bool down = type != QEvent::MouseButtonRelease;
                    impl_.Give([at, button, down, mods] { return in::MouseButtonAt(at, button, down, mods); });
                }
                return true;
            }
            // A window manager moved or sized a window (its title bar dragged): the kernel's
            // window follows, as the window's own caption would have moved it.
            if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && event->spontaneous() &&
                !impl_.syncing && impl_.Interactive() && widget->isWindow()) {
                const WindowView v = orv::win::Inspect(hwnd);
                const auto& placed = impl_.entries.at(hwnd).placed;
                const QRect client = widget->geometry().translated(-ScreenOffset());
                const QRect kernel(v.clientRect.left, v.clientRect.top, v.clientRect.right - v.clientRect.left,
                                   v.clientRect.bottom - v.clientRect.top);
                if (v.hwnd && client != kernel &&
                    std::find(placed.begin(), placed.end(), widget->geometry()) == placed.end()) {
                    const RECT to{client.left() - (v.clientRect.left - v.windowRect.left),
                                  client.top() - (v.clientRect.top - v.windowRect.top),
                                  client.right() + 1 + (v.windowRect.right - v.clientRect.right),
                                  client.bottom() + 1 + (v.windowRect.bottom - v.clientRect.bottom)};
                    impl_.Give([hwnd, to] {
                        return ::SetWindowPos(hwnd, nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                                              SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
                    });
                }
                return false;
            }
            if (event->type() == QEvent::Close && impl_.Interactive()) {
                event->ignore();
                impl_.Give([hwnd] { return in::CloseWindow(hwnd); });
                return true;
            }
            if (event->type() == QEvent::KeyPress && impl_.Interactive()) {
                auto* key = static_cast<QKeyEvent*>(event);
                in::Modifiers mods;
                mods.shift = key->modifiers() & Qt::ShiftModifier;
                mods.control = key->modifiers() & Qt::ControlModifier;
                mods.alt = key->modifiers() & Qt::AltModifier;
                UINT vk = 0;
                // A multi-line edit that takes Enter as a line break gets it as typing (below).
                const bool lineBreak = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                                       impl_.entries.count(hwnd) && impl_.entries.at(hwnd).kind == Kind::MultiEdit &&
                                       (orv::win::Inspect(hwnd).style & ES_WANTRETURN);
                switch (lineBreak ? 0 : key->key()) {
                case Qt::Key_F1: vk = VK_F1; break;
                case Qt::Key_Return: case Qt::Key_Enter: vk = VK_RETURN; break;
                case Qt::Key_Escape: vk = VK_ESCAPE; break;
                case Qt::Key_Tab: vk = VK_TAB; break;
                case Qt::Key_Backtab: vk = VK_TAB; mods.shift = true; break;
                case Qt::Key_PageUp: if (mods.control) vk = VK_PRIOR; break;
                case Qt::Key_PageDown: if (mods.control) vk = VK_NEXT; break;
                default: break;
                }
                // A property grid takes its moves and typed letters from the kernel.
                if (vk == 0 && impl_.entries.count(hwnd) && impl_.entries.at(hwnd).kind == Kind::Grid) {
                    switch (key->key()) {
                    case Qt::Key_Up: vk = VK_UP; break;
                    case Qt::Key_Down: vk = VK_DOWN; break;
                    case Qt::Key_Left: vk = VK_LEFT; break;
                    case Qt::Key_Right: vk = VK_RIGHT; break;
                    case Qt::Key_Home: vk = VK_HOME; break;
                    case Qt::Key_End: vk = VK_END; break;
                    case Qt::Key_F4: vk = VK_F4; break;
                    default:
                        if (!mods.alt && !mods.control && !key->text().isEmpty() && key->text().at(0).isPrint()) {
                            const wchar_t ch = static_cast<wchar_t>(key->text().at(0).unicode());
                            impl_.Give([ch] { return in::TypeChar(ch); });
                            return true;
                        }
                    }
                }
                if (vk == 0 && mods.alt && !key->text().isEmpty()) {
                    const wchar_t ch = static_cast<wchar_t>(key->text().at(0).unicode());
                    impl_.Give([ch, mods] { return in::PressKey(static_cast<UINT>(std::towupper(ch)), mods); });
                    return true;
                }
                if (vk == 0) return false;
                impl_.Give([vk, mods] { return in::PressKey(vk, mods); });
                return true;
            }
            return false;
        }

    private:
        Impl& impl_;
    };
    Filter filter{*this};

    QWidget* Create(HWND hwnd, const WindowView& v, Kind kind, QWidget* parent, Entry& e) {
        QWidget* w = nullptr;
        switch (kind) {
        case Kind::Top: {
            // Dialogs draw nothing themselves; balloons and pop-ups draw everything.
            w = new PaintedWidget(nullptr);
            w->setAutoFillBackground(true);
            w->setMouseTracking(!IsDialog(v));
            // What a window manager needs to know: a balloon is a tool window without a title
            // bar, an owned window a dialog.
            if (IsToolWindow(v)) MakeToolWindow(w);
            else w->setWindowFlags(TitleBarFlags(v));
            w->winId();  // its window now, so that the windows it owns can be transient for it
            break;
        }
        case Kind::Container: w = new QWidget(parent); break;
        case Kind::PushButton: {
            auto* b = new QPushButton(parent);
            QObject::connect(b, &QPushButton::clicked, [this, hwnd] { Give([hwnd] { return in::Click(hwnd); }); });
            w = b;
            break;
        }
        case Kind::CheckBox: {
            auto* b = new QCheckBox(parent);
            b->setTristate((v.style & BS_TYPEMASK) == BS_3STATE ||
                           (v.style & BS_TYPEMASK) == BS_AUTO3STATE);
            QObject::connect(b, &QCheckBox::clicked, [this, hwnd] { Give([hwnd] { return in::Click(hwnd); }); });
            w = b;
            break;
        }
        case Kind::RadioButton: {
            auto* b = new QRadioButton(parent);
            b->setAutoExclusive(false);
            QObject::connect(b, &QRadioButton::clicked, [this, hwnd] { Give([hwnd] { return in::Click(hwnd); }); });
            w = b;
            break;
        }
        case Kind::GroupBox: w = new QGroupBox(parent); break;
        case Kind::Edit: {
            auto* edit = new QLineEdit(parent);
            QObject::connect(edit, &QLineEdit::textEdited, [this, hwnd](const QString& text) {
                Give([hwnd, text] { return in::ReplaceText(hwnd, text.toStdWString()); });
            });
            w = edit;
            break;
        }
        case Kind::MultiEdit: {
            auto* edit = new QPlainTextEdit(parent);
            // Changes made by a sync are ignored (Give does nothing while syncing).
            // Typed as characters: the kernel's edit makes each line break CR LF.
            QObject::connect(edit, &QPlainTextEdit::textChanged, [this, hwnd, edit] {
                const std::wstring text = edit->toPlainText().toStdWString();
                Give([hwnd, text] { return in::ReplaceText(hwnd, text); });
            });
            w = edit;
            break;
        }
        case Kind::Label: w = new QLabel(parent); break;
        case Kind::Combo: {
            auto* combo = new QComboBox(parent);
            const DWORD type = v.style & 3;
            combo->setEditable(type == 1 || type == 2);  // simple or drop-down: has an edit
            QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), [this, hwnd](int index) {
                Give([hwnd, index] { return in::SelectItem(hwnd, index); });
            });
            if (combo->lineEdit()) {
                QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, [this, hwnd](const QString& text) {
                    Give([hwnd, text] { return in::ReplaceText(hwnd, text.toStdWString()); });
                });
            }
            w = combo;
            break;
        }
        case Kind::List: {
            auto* list = new QListWidget(parent);
            QObject::connect(list, &QListWidget::itemClicked, [this, hwnd, list](QListWidgetItem* item) {
                const int row = list->row(item);
                Give([hwnd, row] { return in::SelectItem(hwnd, row); });
            });
            w = list;
            break;
        }
        case Kind::ListView: {
            auto* tree = new QTreeWidget(parent);
            tree->setRootIsDecorated(false);
            tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
            QObject::connect(tree, &QTreeWidget::itemClicked, [this, hwnd, tree](QTreeWidgetItem* item, int) {
                const int row = tree->indexOfTopLevelItem(item);
                const bool toggle = QApplication::keyboardModifiers() & Qt::ControlModifier;
                Give([hwnd, row, toggle] { return toggle ? in::ToggleItem(hwnd, row) : in::SelectItem(hwnd, row); });
            });
            w = tree;
            break;
        }
        case Kind::Tab: {
            auto* tabs = new TabControlWidget(parent);
            QObject::connect(tabs, &QTabBar::tabBarClicked, [this, hwnd](int index) {
                if (index >= 0) Give([hwnd, index] { return in::SelectItem(hwnd, index); });
            });
            w = tabs;
            break;
        }
        case Kind::Spin: {
            w = new QWidget(parent);
            e.up = new QToolButton(w);
            e.up->setArrowType(Qt::UpArrow);
            e.down = new QToolButton(w);
            e.down->setArrowType(Qt::DownArrow);
            QObject::connect(e.up, &QToolButton::clicked, [this, hwnd] { Give([hwnd] { return in::Spin(hwnd, 1); }); });
            QObject::connect(e.down, &QToolButton::clicked, [this, hwnd] { Give([hwnd] { return in::Spin(hwnd, -1); }); });
            break;
        }
        case Kind::Painted: {
            w = new PaintedWidget(parent);
            w->setMouseTracking(true);
            break;
        }
        case Kind::Grid: w = new PropertyGridWidget(parent); break;
        }
        w->installEventFilter(&filter);
        owners[w] = hwnd;
        return w;
    }

    void Update(HWND hwnd, const WindowView& v, Entry& e, const RECT& parentClient) {
        QWidget* w = e.widget;
        if (e.kind == Kind::Top) {
            w->setWindowTitle(Q(v.text));
            const QRect client = QRect(v.clientRect.left, v.clientRect.top, v.clientRect.right - v.clientRect.left,
                                       v.clientRect.bottom - v.clientRect.top).translated(ScreenOffset());
            // The kernel sizes a window without a sizing border: a window manager may not.
            if (!(v.style & WS_THICKFRAME) && (w->minimumSize() != client.size() || w->maximumSize() != client.size()))
                w->setFixedSize(client.size());
            if (w->geometry() != client) {
                w->setGeometry(client);
                if (e.placed.size() >= 4) e.placed.erase(e.placed.begin());
                e.placed.push_back(client);
            }
            if (QWindow* owner = OwnerWindow(v); owner && w->windowHandle() && w->windowHandle()->transientParent() != owner)
                w->windowHandle()->setTransientParent(owner);
            w->setWindowOpacity(v.alpha / 255.0);
            // The window region shapes the widget on a screen; pictures clip to it themselves, and
            // the offscreen platform has no masks.
            if (QGuiApplication::platformName() != "offscreen") {
                QRegion region = WindowRegionOf(hwnd);
                region.translate(v.windowRect.left - v.clientRect.left, v.windowRect.top - v.clientRect.top);
                if (region.isEmpty()) w->clearMask();
                else if (w->mask() != region) w->setMask(region);
            }
        } else {
            const QRect r = RelativeRect(v.windowRect, parentClient);
            if (w->geometry() != r) w->setGeometry(r);
        }
        w->setEnabled(v.enabled);
        // A field left blank because the objects edited together disagree tells their values.
        const QString tip = Q(orv::win::DescribeMixedValues(v.mixedValues));
        if (w->toolTip() != tip) w->setToolTip(tip);
        ApplyFont(w, WindowFont(hwnd, v));
        ApplyColours(w, e.kind, v);
        switch (e.kind) {
        case Kind::Top: PaintIfDirty(hwnd, e); break;
        case Kind::Container: break;
        case Kind::PushButton: {
            auto* b = static_cast<QPushButton*>(w);
            if (b->text() != ButtonText(v.text)) b->setText(ButtonText(v.text));
            const bool isDefault = PressedByEnter(hwnd, v);
            if (b->isDefault() != isDefault) b->setDefault(isDefault);
            break;
        }
        case Kind::CheckBox: {
            auto* b = static_cast<QCheckBox*>(w);
            if (b->text() != ButtonText(v.text)) b->setText(ButtonText(v.text));
            const Qt::CheckState state = v.check == 2 ? Qt::PartiallyChecked : v.check == 1 ? Qt::Checked : Qt::Unchecked;
            if (b->checkState() != state) b->setCheckState(state);
            break;
        }
        case Kind::RadioButton: {
            auto* b = static_cast<QRadioButton*>(w);
            if (b->text() != ButtonText(v.text)) b->setText(ButtonText(v.text));
            if (b->isChecked() != (v.check == 1)) b->setChecked(v.check == 1);
            break;
        }
        case Kind::GroupBox: {
            QString title = Q(v.text);
            title.replace("&&", "\x01").remove('&').replace("\x01", "&");
            static_cast<QGroupBox*>(w)->setTitle(title);
            break;
        }
        case Kind::Edit: {
            auto* edit = static_cast<QLineEdit*>(w);
            if (edit->text() != Q(v.text)) {
                edit->setText(Q(v.text));
                // A field shows the beginning of its text unless the caret is in it.
                if (!v.focused) edit->setCursorPosition(0);
            }
            // An edit without the focus hides its selection, as the kernel's edits do.
            if (!v.focused && edit->hasSelectedText()) edit->setCursorPosition(0);
            edit->setReadOnly(v.readOnly);
            edit->setEchoMode((v.style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
            break;
        }
        case Kind::MultiEdit: {
            auto* edit = static_cast<QPlainTextEdit*>(w);
            const QString text = Q(v.text).replace("\r\n", "\n");  // as Qt keeps line breaks
            if (edit->toPlainText() != text) {
                edit->setPlainText(text);
                // The caret stays where the kernel keeps it (its positions count CR LF as two).
                if (v.focused) {
                    const std::wstring before = v.text.substr(0, std::min<std::size_t>(std::size_t(std::max(0, v.selEnd)), v.text.size()));
                    QTextCursor caret = edit->textCursor();
                    caret.setPosition(int(before.size()) - int(std::count(before.begin(), before.end(), L'\r')));
                    edit->setTextCursor(caret);
                }
            }
            if (edit->isReadOnly() != v.readOnly) edit->setReadOnly(v.readOnly);
            break;
        }
        case Kind::Label: {
            auto* label = static_cast<QLabel*>(w);
            const DWORD type = v.style & SS_TYPEMASK;
            if (type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT || type == SS_ETCHEDFRAME ||
                type == SS_BLACKFRAME || type == SS_GRAYFRAME) {
                // Each setter repaints even when nothing changes: only what differs is set, so
                // that an idle window gets no events.
                if (label->frameShape() != QFrame::Box) label->setFrameShape(QFrame::Box);
                if (label->frameShadow() != QFrame::Sunken) label->setFrameShadow(QFrame::Sunken);
                if (!label->text().isEmpty()) label->setText(QString());
                break;
            }
            if (type == SS_ICON || type == SS_BITMAP) {
                ShowStaticImage(hwnd, v, e, label);
                break;
            }
            if (label->textFormat() != Qt::RichText) label->setTextFormat(Qt::RichText);
            const bool wrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
            if (label->wordWrap() != wrap) label->setWordWrap(wrap);
            const Qt::Alignment align = (type == SS_CENTER ? Qt::AlignHCenter
                                         : type == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
            if (label->alignment() != align) label->setAlignment(align);
            // Line breaks stay line breaks in rich text (a message box's two lines).
            QString text = (v.style & SS_NOPREFIX)
                               ? Q(v.text).toHtmlEscaped().replace("\r\n", "<br>").replace('\n', "<br>")
                               : MnemonicRichText(v.text);
            if (label->text() != text) label->setText(text);
            break;
        }
        case Kind::Combo: {
            auto* combo = static_cast<QComboBox*>(w);
            // An extended combo shows each item's image from its image list; the image index
            // is kept with the item so a changed image is noticed as a changed text is.
            auto image = [&](const orv::win::ItemView& item) { return v.imageList ? item.image : -1; };
            bool same = combo->count() == static_cast<int>(v.items.size());
            for (int i = 0; same && i < combo->count(); ++i)
                same = combo->itemText(i) == Q(v.items[i].text) && combo->itemData(i).toInt() == image(v.items[i]);
            if (!same) {
                combo->clear();
                for (const auto& item : v.items) {
                    const QImage picture = ImageListPicture(v.imageList, image(item));
                    if (picture.isNull()) combo->addItem(Q(item.text), image(item));
                    else combo->addItem(QIcon(QPixmap::fromImage(picture)), Q(item.text), image(item));
                }
            }
            combo->setCurrentIndex(v.selection);
            if (combo->lineEdit() && combo->lineEdit()->text() != Q(v.text)) combo->lineEdit()->setText(Q(v.text));
            break;
        }
        case Kind::List: {
            auto* list = static_cast<QListWidget*>(w);
            // Rebuilt only when it differs: a rebuild repaints and restarts the list's timers.
            bool same = list->count() == int(v.items.size());
            for (int i = 0; same && i < list->count(); ++i)
                same = list->item(i)->text() == Q(v.items[std::size_t(i)].text) &&
                       list->item(i)->isSelected() == v.items[std::size_t(i)].selected;
            if (!same) {
                list->clear();
                for (const auto& item : v.items) {
                    auto* row = new QListWidgetItem(Q(item.text), list);
                    row->setSelected(item.selected);
                }
            }
            if (v.selection >= 0 && v.selection < list->count() && list->currentRow() != v.selection)
                list->setCurrentRow(v.selection);
            // Without a selection the focus frame goes round the first item, as in the kernel's lists.
            else if (v.selection < 0 && list->count() > 0 && list->currentRow() < 0)
                list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
            break;
        }
        case Kind::ListView: {
            auto* tree = static_cast<QTreeWidget*>(w);
            QStringList headers;
            for (const auto& column : v.columns) headers << Q(column);
            tree->setColumnCount(std::max<int>(1, headers.size()));
            if (headers.isEmpty()) tree->setHeaderHidden(true);
            else tree->setHeaderLabels(headers);
            tree->setHeaderHidden(headers.isEmpty() || (v.style & LVS_NOCOLUMNHEADER));
            // Columns as wide as the kernel keeps them; none stretches to fill the view.
            tree->header()->setStretchLastSection(false);
            std::vector<int> widths;
            for (int i = 0; i < headers.size(); ++i) widths.push_back(int(::SendMessage(hwnd, LVM_GETCOLUMNWIDTH, WPARAM(i), 0)));
            tree->clear();
            QTreeWidgetItem* current = nullptr;
            for (const auto& item : v.items) {
                QStringList cells{Q(item.text)};
                for (const auto& sub : item.subItems) cells << Q(sub);
                auto* row = new QTreeWidgetItem(tree, cells);
                row->setSelected(item.selected);
                if (!current || (item.selected && !current->isSelected())) current = row;
            }
            // The focus frame goes round the first selected row, else the first.
            if (current) tree->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
            FitColumns(tree, widths, v.clientRect.right - v.clientRect.left);
            for (int i = 0; i < int(widths.size()); ++i)
                if (widths[std::size_t(i)] > 0 && tree->columnWidth(i) != widths[std::size_t(i)])
                    tree->setColumnWidth(i, widths[std::size_t(i)]);
            break;
        }
        case Kind::Tab: {
            auto* tabs = static_cast<TabControlWidget*>(w);
            while (tabs->count() > static_cast<int>(v.items.size())) tabs->removeTab(tabs->count() - 1);
            for (std::size_t i = 0; i < v.items.size(); ++i) {
                QString text = Q(v.items[i].text).remove('&');
                if (static_cast<int>(i) < tabs->count()) tabs->setTabText(static_cast<int>(i), text);
                else tabs->addTab(text);
            }
            if (v.selection >= 0) tabs->setCurrentIndex(v.selection);
            std::vector<QRect> items;
            for (int i = 0; i < int(v.items.size()); ++i) {
                RECT item{};
                if (::SendMessage(hwnd, TCM_GETITEMRECT, WPARAM(i), LPARAM(&item)))
                    items.push_back(QRect(item.left, item.top, item.right - item.left, item.bottom - item.top));
            }
            tabs->SetKernelItems(std::move(items));
            break;
        }
        case Kind::Spin: {
            const int width = w->width(), height = w->height();
            e.up->setGeometry(0, 0, width, height / 2);
            e.down->setGeometry(0, height / 2, width, height - height / 2);
            break;
        }
        case Kind::Grid: static_cast<PropertyGridWidget*>(w)->SetView(v); break;
        case Kind::Painted:
            static_cast<PaintedWidget*>(w)->SetClientOffset(
                QPoint(v.clientRect.left - v.windowRect.left, v.clientRect.top - v.windowRect.top));
            PaintIfDirty(hwnd, e);
            break;
        }
        if (e.kind == Kind::Top && v.visible && !w->isVisible() && IsToolWindow(v)) ShowWithoutActivating(w);
        else w->setVisible(v.visible);
        if (v.focused && !w->hasFocus()) {
            // As a keyboard move, so that the style draws the focus frame.
            w->setFocus(Qt::TabFocusReason);
            // The kernel selects an edit's text when the focus moves in by Tab: typing then
            // replaces it, as in the kernel.
            if (e.kind == Kind::Edit) {
                auto* edit = static_cast<QLineEdit*>(w);
                if (v.selEnd > v.selStart) edit->setSelection(v.selStart, v.selEnd - v.selStart);
                else edit->setCursorPosition(v.selEnd);
            }
        }
    }

    // Columns that fit the kernel's list fit the view as well: the frame and the vertical scroll
    // bar take room that the kernel leaves to the columns, which the last column gives up rather
    // than bring a horizontal scroll bar that scrolls only that much.
    static void FitColumns(QTreeWidget* tree, std::vector<int>& widths, int kernelWidth) {
        int total = 0;
        for (int w : widths) total += std::max(0, w);
        const bool fits = widths.empty() || total <= kernelWidth;
        const Qt::ScrollBarPolicy policy = fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
        if (tree->horizontalScrollBarPolicy() != policy) tree->setHorizontalScrollBarPolicy(policy);
        if (!fits) return;
        int room = tree->width() - 2 * tree->frameWidth();
        const int rows = tree->topLevelItemCount();
        const int header = tree->isHeaderHidden() ? 0 : tree->header()->sizeHint().height();
        if (rows > 0 && rows * tree->sizeHintForRow(0) > tree->height() - 2 * tree->frameWidth() - header)
            room -= tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
        int& last = widths.back();
        last = std::max(std::min(last, 16), last - std::max(0, total - room));
    }

    // Whether Enter presses this push button, as the dialog manager decides it: a focused push
    // button is pressed itself, otherwise the dialog's default button (DM_GETDEFID).
    static bool PressedByEnter(HWND hwnd, const WindowView& v) {
        const HWND focus = ::GetFocus();
        const auto pushButton = [](HWND h) {
            return (::SendMessage(h, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
        };
        if (focus && ::GetAncestor(focus, GA_ROOT) == ::GetAncestor(hwnd, GA_ROOT) && pushButton(focus))
            return focus == hwnd;
        return v.isDefaultButton;
    }

    // The Qt window of the top-level window that owns `v`'s window; null when it has none.
    QWindow* OwnerWindow(const WindowView& v) const {
        if (!v.owner) return nullptr;
        auto it = entries.find(::GetAncestor(v.owner, GA_ROOT));
        return it != entries.end() && it->second.kind == Kind::Top ? it->second.widget->windowHandle() : nullptr;
    }

    void PaintIfDirty(HWND hwnd, Entry& e) {
        if (!e.displayListDirty) return;
        const orv::win::DisplayList* list = orv::win::PaintWindow(hwnd);
        static_cast<PaintedWidget*>(e.widget)->SetDisplayList(list ? *list : orv::win::DisplayList{});
        e.displayListDirty = false;
    }

    // The colours the parent chose for the control (WM_CTLCOLOR*), as the kernel reports them.
    static void ApplyColours(QWidget* w, Kind kind, const WindowView& v) {
        QPalette::ColorRole textRole = QPalette::WindowText, backRole = QPalette::Window;
        switch (kind) {
        case Kind::Edit: case Kind::MultiEdit: textRole = QPalette::Text; backRole = QPalette::Base; break;
        case Kind::PushButton: textRole = QPalette::ButtonText; backRole = QPalette::Button; break;
        case Kind::Label: case Kind::CheckBox: case Kind::RadioButton: case Kind::GroupBox: break;
        default: return;
        }
        QPalette p = w->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(group, textRole, Colour(v.textColor));
            p.setColor(group, backRole, Colour(v.backColor));
        }
        if (p != w->palette()) w->setPalette(p);
        // A label fills its own background only when the parent chose one unlike the face.
        if (kind == Kind::Label) w->setAutoFillBackground(v.backColor != GetSysColor(COLOR_BTNFACE));
    }

    // A static icon or bitmap control: the picture of its handle (STM_GETIMAGE) at the top left,
    // or centred with SS_CENTERIMAGE.
    static void ShowStaticImage(HWND hwnd, const WindowView& v, Entry& e, QLabel* label) {
        const bool icon = (v.style & SS_TYPEMASK) == SS_ICON;
        const auto handle = UINT_PTR(::SendMessage(hwnd, STM_GETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP, 0));
        const Qt::Alignment align = (v.style & SS_CENTERIMAGE) ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop;
        if (label->alignment() != align) label->setAlignment(align);
        if (handle == e.shownImage && (handle == 0 || !label->pixmap(Qt::ReturnByValue).isNull())) return;
        e.shownImage = handle;
        const QImage picture = icon ? IconPicture(reinterpret_cast<HICON>(handle))
                                    : BitmapPicture(reinterpret_cast<HBITMAP>(handle));
        if (picture.isNull()) label->clear();
        else label->setPixmap(QPixmap::fromImage(picture));
    }

    // A static or button whose window procedure was replaced and draws something itself is
    // shown from its display list, not as a Qt widget of its class. Decided once per window.
    bool PaintsItself(HWND hwnd, const WindowView& v) {
        auto known = selfPainted.find(hwnd);
        if (known != selfPainted.end()) return known->second;
        bool result = false;
        WNDCLASS wc;
        if (::GetClassInfo(nullptr, v.className.c_str(), &wc) &&
            ::GetWindowLongPtr(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(wc.lpfnWndProc)) {
            const orv::win::DisplayList* list = orv::win::PaintWindow(hwnd);
            result = list && !list->ops.empty();
        }
        selfPainted[hwnd] = result;
        return result;
    }

    void SyncWindow(HWND hwnd, QWidget* parent, const RECT& parentClient, std::set<HWND>& seen) {
        const WindowView v = orv::win::Inspect(hwnd);
        if (!v.hwnd) return;
        seen.insert(hwnd);
        Kind kind = KindOf(v, parent == nullptr);
        if (kind == Kind::Label) {
            const DWORD type = v.style & SS_TYPEMASK;
            if (type != SS_ICON && type != SS_BITMAP && PaintsItself(hwnd, v)) kind = Kind::Painted;
        }
        auto it = entries.find(hwnd);
        if (it != entries.end() && it->second.kind != kind) {
            Drop(hwnd);
            it = entries.end();
        }
        if (it == entries.end()) {
            Entry e;
            e.kind = kind;
            e.widget = Create(hwnd, v, kind, parent, e);
            it = entries.emplace(hwnd, e).first;
        }
        Update(hwnd, v, it->second, parentClient);
        QWidget* self = it->second.widget;
        const auto children = orv::win::ChildWindows(hwnd);
        for (HWND child : children) SyncWindow(child, self, v.clientRect, seen);
        // The first child in the kernel's z-order lies on top of its siblings. Restacked only
        // when the order differs: a restack is an event, which would wake the wait for input.
        std::vector<QWidget*> wanted;  // kernel order, top first
        for (HWND child : children)
            if (auto c = entries.find(child); c != entries.end() && c->second.widget->parentWidget() == self)
                wanted.push_back(c->second.widget);
        std::vector<QWidget*> stacked;  // Qt's order, bottom first
        for (QObject* child : self->children())
            if (std::find(wanted.begin(), wanted.end(), child) != wanted.end()) stacked.push_back(static_cast<QWidget*>(child));
        if (!std::equal(stacked.begin(), stacked.end(), wanted.rbegin(), wanted.rend()))
            for (QWidget* w : wanted) w->lower();
    }

    void Drop(HWND hwnd) {
        auto it = entries.find(hwnd);
        if (it == entries.end()) return;
        QWidget* w = it->second.widget;
        // Children of this widget go with it.
        for (auto c = entries.begin(); c != entries.end();) {
            if (c->second.widget != w && w->isAncestorOf(c->second.widget)) {
                owners.erase(c->second.widget);
                c = entries.erase(c);
            } else {
                ++c;
            }
        }
        owners.erase(w);
        entries.erase(hwnd);
        selfPainted.erase(hwnd);
        w->hide();
        w->deleteLater();
    }

    void Sync() {
        if (syncing) return;
        syncing = true;
        std::set<HWND> seen;
        const auto tops = orv::win::TopLevelWindows();
        for (auto t = tops.rbegin(); t != tops.rend(); ++t) SyncWindow(*t, nullptr, RECT{}, seen);
        std::vector<HWND> gone;
        for (const auto& [hwnd, e] : entries)
            if (!seen.count(hwnd)) gone.push_back(hwnd);
        for (HWND hwnd : gone) Drop(hwnd);
        for (HWND t : tops) {
            auto it = entries.find(t);
            if (it != entries.end() && !it->second.widget->isVisible() && orv::win::Inspect(t).visible)
                it->second.widget->show();
        }
        if (help && help->isVisible() &&
            (::GetFocus() != helpFocus || !(entries.count(helpOwner) && ::IsWindowVisible(helpOwner))))
            HideHelp();
        FollowFocus();
        syncing = false;
    }

    // The focused control shows the focus frame: the style draws it after the focus moved by
    // keyboard, and a click would hide it.
    void FollowFocus() {
        const HWND focus = ::GetFocus();
        auto it = entries.find(focus ? ::GetAncestor(focus, GA_ROOT) : orv::win::ActiveModalWindow());
        if (it == entries.end() || it->second.kind != Kind::Top || !it->second.widget->isVisible()) return;
        QWidget* top = it->second.widget;
        if (!top->testAttribute(Qt::WA_KeyboardFocusChange)) {
            top->setAttribute(Qt::WA_KeyboardFocusChange);
            if (QWidget* f = top->focusWidget()) f->update();
        }
    }

    void AdvanceRealClock() {
        const qint64 now = clock.elapsed();
        if (now > lastClock) {
            const qint64 delta = now - lastClock;
            lastClock = now;
            in::AdvanceClock(static_cast<UINT>(delta));
        }
    }
};

QtDriver::QtDriver(QtDriverOptions options) : impl_(std::make_unique<Impl>()) {
    EnsureApplication(false);
    impl_->options = std::move(options);
    impl_->clock.start();
}

QtDriver::~QtDriver() {
    for (auto& [hwnd, e] : impl_->entries)
        if (e.kind == Kind::Top) delete e.widget;
    delete impl_->help;
}

bool QtDriver::WaitForInput(HWND modal) {
    Sync();
    QApplication::processEvents();
    if (!impl_->Interactive()) {
        if (impl_->options.slowMilliseconds > 0) {
            QElapsedTimer wait;
            wait.start();
            while (wait.elapsed() < impl_->options.slowMilliseconds) {
                QApplication::processEvents(QEventLoop::AllEvents, 20);
                QThread::msleep(10);
            }
        }
        const bool more = impl_->options.inner->WaitForInput(modal);
        if (more && impl_->options.afterInput) impl_->options.afterInput(modal);
        return more;
    }
    // A person's input: Qt's loop blocks until an event comes (a widget's input, a repaint,
    // the window going away) or the next kernel timer falls due, whose wake-up a single-shot
    // timer of Qt's brings; nothing runs while the window is idle.
    impl_->inputGiven = false;
    impl_->AdvanceRealClock();
    const long long due = in::MillisecondsToNextTimer();
    if (due != 0) {
        QTimer wake;
        wake.setSingleShot(true);
        if (due > 0) wake.start(int(std::min<long long>(due, 1 << 30)));
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::sendPostedEvents();
    }
    impl_->AdvanceRealClock();
    return true;
}

void QtDriver::WindowCreated(HWND hwnd) {
    (void)hwnd;
}

void QtDriver::WindowDestroyed(HWND hwnd) {
    impl_->selfPainted.erase(hwnd);
    if (!impl_->syncing) impl_->Drop(hwnd);
}

void QtDriver::WindowChanged(HWND hwnd, orv::win::WindowChange what) {
    if (what == orv::win::WindowChange::Redraw || what == orv::win::WindowChange::Rect) {
        auto it = impl_->entries.find(hwnd);
        if (it != impl_->entries.end()) it->second.displayListDirty = true;
    }
}

void QtDriver::ModalLoopEntered(HWND hwnd) {
    (void)hwnd;
}

void QtDriver::ModalLoopLeft(HWND hwnd, INT_PTR result) {
    (void)hwnd;
    (void)result;
}

void QtDriver::Beeped(UINT type) {
    if (impl_->Interactive()) QApplication::beep();
    if (impl_->options.inner) impl_->options.inner->Beeped(type);
}

void QtDriver::HelpRequested(std::size_t index) {
    if (impl_->options.inner) impl_->options.inner->HelpRequested(index);
    const auto& requests = orv::win::HelpRequests();
    if (index < requests.size()) impl_->ShowHelp(requests[index]);
}

void QtDriver::InputRefused(std::size_t index) {
    if (impl_->options.inner) impl_->options.inner->InputRefused(index);
    // A person is told why at the control, as the framework's balloon does.
    const auto& refusals = orv::win::InputRefusals();
    if (!impl_->Interactive() || index >= refusals.size()) return;
    const auto it = impl_->entries.find(refusals[index].hwnd);
    if (it == impl_->entries.end() || !it->second.widget) return;
    QWidget* w = it->second.widget;
    QToolTip::showText(w->mapToGlobal(QPoint(0, w->height())), Q(refusals[index].reason), w);
}

void QtDriver::ShellExecuted(std::size_t index) {
    if (impl_->options.inner) impl_->options.inner->ShellExecuted(index);
}

void QtDriver::ProcedureFailed(HWND hwnd, UINT message, const std::wstring& what) {
    if (impl_->options.inner) impl_->options.inner->ProcedureFailed(hwnd, message, what);
    else std::wcerr << L"orvdlg: " << what << L"\n";
}

void QtDriver::Sync() { impl_->Sync(); }

namespace {

// Draws a top-level window as shown into `painter`, its window rectangle placed at `origin`:
// frame, caption (when it has one) and client area, clipped to its window region and faded by
// its alpha.
void DrawTopLevel(QPainter& painter, const WindowView& v, QWidget* widget, QPoint origin) {
    const QRect window(origin, QSize(v.windowRect.right - v.windowRect.left, v.windowRect.bottom - v.windowRect.top));
    const QRect client(origin.x() + v.clientRect.left - v.windowRect.left, origin.y() + v.clientRect.top - v.windowRect.top,
                       v.clientRect.right - v.clientRect.left, v.clientRect.bottom - v.clientRect.top);
    painter.save();
    painter.setOpacity(v.alpha / 255.0);
    QRegion region = WindowRegionOf(v.hwnd);
    if (!region.isEmpty()) painter.setClipRegion(region.translated(origin));
    if (client != window) painter.fillRect(window, QColor(0x6b, 0x7f, 0x99));
    // Caption bar: the space above the client area inside the frame.
    if (client.top() - window.top() > 2) {
        const QRect caption(client.left(), window.top() + 1, client.width(), client.top() - window.top() - 2);
        painter.fillRect(caption, QColor(0x2b, 0x57, 0x97));
        painter.setPen(Qt::white);
        QFont font = widget->font();
        font.setBold(true);
        painter.setFont(font);
        int right = 6;
        if (v.style & WS_SYSMENU) {
            // The close button: a cross in a square at the right end of the caption.
            const int side = std::max(5, caption.height() * 2 / 5);
            const QRect cross(caption.right() - 6 - side, caption.center().y() - side / 2, side, side);
            painter.setPen(QPen(Qt::white, 1.5));
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.drawLine(cross.topLeft(), cross.bottomRight());
            painter.drawLine(cross.topRight(), cross.bottomLeft());
            painter.setRenderHint(QPainter::Antialiasing, false);
            right = 6 + side + 8;
        }
        const QRect titleArea = caption.adjusted(6, 0, -right, 0);
        const QString title = QFontMetrics(font).elidedText(Q(v.text), Qt::ElideRight, titleArea.width());
        painter.drawText(titleArea, Qt::AlignVCenter | Qt::AlignLeft, title);
    }
    painter.drawPixmap(client.topLeft(), widget->grab());
    painter.restore();
}

}  // namespace

bool QtDriver::SaveWindowImage(HWND hwnd, const std::string& path, std::string& error) {
    Sync();
    QApplication::processEvents();
    const WindowView v = orv::win::Inspect(hwnd);
    auto it = impl_->entries.find(hwnd);
    if (!v.hwnd || it == impl_->entries.end() || it->second.kind != Kind::Top) {
        error = "no top-level window to take a picture of";
        return false;
    }
    const int width = v.windowRect.right - v.windowRect.left;
    const int height = v.windowRect.bottom - v.windowRect.top;
    if (width <= 0 || height <= 0) {
        error = "the window has no area";
        return false;
    }
    // No alpha: the window covers the whole picture.
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0x6b, 0x7f, 0x99));
    QPainter painter(&image);
    DrawTopLevel(painter, v, it->second.widget, QPoint(0, 0));
    // Visible windows above it that overlap it (balloons, pop-ups), lowest first.
    const auto tops = orv::win::TopLevelWindows();
    const auto self = std::find(tops.begin(), tops.end(), hwnd);
    for (auto t = std::make_reverse_iterator(self); t != tops.rend(); ++t) {
        const WindowView above = orv::win::Inspect(*t);
        auto entry = impl_->entries.find(*t);
        if (!above.reallyVisible || entry == impl_->entries.end() || entry->second.kind != Kind::Top) continue;
        const QPoint origin(above.windowRect.left - v.windowRect.left, above.windowRect.top - v.windowRect.top);
        const QRect area(origin, QSize(above.windowRect.right - above.windowRect.left,
                                       above.windowRect.bottom - above.windowRect.top));
        if (area.intersects(image.rect())) DrawTopLevel(painter, above, entry->second.widget, origin);
    }
    if (impl_->help && impl_->help->isVisible())
        painter.drawPixmap(impl_->helpAt - QPoint(v.windowRect.left, v.windowRect.top), impl_->help->grab());
    painter.end();
    if (!image.save(QString::fromStdString(path), "PNG")) {
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

bool QtDriver::SaveScreenImage(const std::string& path, std::string& error) {
    Sync();
    QApplication::processEvents();
    std::vector<std::pair<WindowView, QWidget*>> shown;  // lowest first
    QRect area;
    const auto tops = orv::win::TopLevelWindows();
    for (auto t = tops.rbegin(); t != tops.rend(); ++t) {
        const WindowView v = orv::win::Inspect(*t);
        auto entry = impl_->entries.find(*t);
        if (!v.reallyVisible || entry == impl_->entries.end() || entry->second.kind != Kind::Top) continue;
        shown.emplace_back(v, entry->second.widget);
        area |= QRect(QPoint(v.windowRect.left, v.windowRect.top),
                      QSize(v.windowRect.right - v.windowRect.left, v.windowRect.bottom - v.windowRect.top));
    }
    if (area.isEmpty()) {
        error = "no window is shown";
        return false;
    }
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(QColor(0x6b, 0x7f, 0x99));
    QPainter painter(&image);
    for (const auto& [v, widget] : shown)
        DrawTopLevel(painter, v, widget, QPoint(v.windowRect.left - area.left(), v.windowRect.top - area.top()));
    painter.end();
    if (!image.save(QString::fromStdString(path), "PNG")) {
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

bool ReadImageSummary(const std::string& path, int& width, int& height, int& colours) {
    QImage image;
    if (!image.load(QString::fromStdString(path))) return false;
    width = image.width();
    height = image.height();
    std::set<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) seen.insert(image.pixel(x, y));
    colours = static_cast<int>(seen.size());
    return true;
}

}  // namespace orv::qt
