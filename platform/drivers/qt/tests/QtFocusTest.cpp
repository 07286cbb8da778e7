// Keyboard focus and pop-ups in the Qt front end as a person meets them: the focused control
// shows a focus frame, the default button follows the focus as the dialog manager decides it,
// F1 shows the kernel's help pop-up as a tool window that takes no focus, and a message box is
// a dialog kept above the window that owns it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <set>
#include <string>

#include "apps/orvdlg/HostWindow.h"
#include "apps/orvdlg/ModelSession.h"
#include "apps/orvdlg/SampleDialog.h"
#include "components/Registration.h"
#include "dialogs/controls/BalloonHelp.h"
#include "platform/drivers/qt/QtDriver.h"
#include "platform/res/DialogBuilder.h"
#include "platform/win/Input.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace {

constexpr const wchar_t* kHelp = L"The name under which the load is listed.";

// The sample dialog, modeless, answering F1 with a help pop-up as the library's dialogs do.
class HelpfulSample : public orvdlg::SampleDialog {
public:
    HelpfulSample() {
        HandleMessage(WM_HELP, [this](WPARAM, LPARAM info) -> LRESULT {
            HH_POPUP popup{};
            popup.cbStruct = sizeof(HH_POPUP);
            popup.pszText = kHelp;
            popup.pt = reinterpret_cast<HELPINFO*>(info)->MousePos;
            ::HtmlHelp(m_hWnd, L"", HH_DISPLAY_TEXT_POPUP, DWORD_PTR(&popup));
            return TRUE;
        });
        CreateIndirect(&Template());
        ShowWindow(SW_SHOW);
    }
    ~HelpfulSample() override { DestroyWindow(); }
};

struct Fixture {
    Fixture() { orv::qt::EnsureApplication(true); }
    orv::qt::QtDriver driver{orv::qt::QtDriverOptions{}};
    orv::win::DriverScope scope{&driver};
};

void Settle(orv::qt::QtDriver& driver) {
    driver.Sync();
    QApplication::processEvents();
}

// Pixels of the highlight's blue, where the style draws its focus frame; an edit counts only
// its outer ring, so that its selected text does not count.
int FramePixels(QWidget* w) {
    const QImage image = w->grab().toImage();
    const bool ringOnly = qobject_cast<QLineEdit*>(w) != nullptr;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (ringOnly && x > 2 && y > 2 && x < image.width() - 3 && y < image.height() - 3) continue;
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > c.red() + 25 && c.blue() > c.green()) ++n;
        }
    return n;
}

QPushButton* Button(const QString& text) {
    for (QWidget* top : QApplication::topLevelWidgets())
        for (auto* b : top->findChildren<QPushButton*>())
            if (b->isVisible() && b->text() == text) return b;
    return nullptr;
}

std::string Defaults() {
    std::string out;
    for (const char* name : {"&Reset", "OK", "Cancel", "&Help"})
        if (QPushButton* b = Button(name); b && b->isDefault()) out += std::string(out.empty() ? "" : " ") + name;
    return out;
}

}  // namespace

// Tab walks every tab stop of the sample dialog: each control shows a frame while it has the
// focus that it loses with the focus, and a focused push button is the default one until the
// focus leaves the push buttons, when OK, the dialog's default, is again.
TEST(QtFocus, TheFocusedControlShowsAFrameAndTheDefaultButtonFollowsTheFocus) {
    Fixture f;
    HelpfulSample dialog;
    Settle(f.driver);
    std::set<std::string> framed;
    std::string defaults;
    for (int step = 0; step < 12; ++step) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << "step " << step;
        ASSERT_EQ(focused->window(), QApplication::activeWindow());
        if (auto* b = qobject_cast<QPushButton*>(focused)) defaults += "[" + b->text().toStdString() + ": " + Defaults() + "] ";
        const int with = FramePixels(focused);
        QTest::keyClick(focused, Qt::Key_Tab);
        Settle(f.driver);
        ASSERT_NE(QApplication::focusWidget(), focused) << "step " << step;
        if (with > FramePixels(focused)) framed.insert(focused->metaObject()->className());
        else ADD_FAILURE() << focused->metaObject()->className() << " shows no focus frame at step " << step;
    }
    EXPECT_EQ(framed, (std::set<std::string>{"QCheckBox", "QComboBox", "QLineEdit", "QListWidget", "QPushButton", "QRadioButton"}));
    EXPECT_EQ(defaults, "[&Reset: &Reset] [OK: OK] [Cancel: Cancel] [&Help: &Help] ");
    EXPECT_EQ(Defaults(), "OK") << "back in an edit";
}

// A multi-line edit that takes Enter shows the focus in its frame, and Enter there breaks the
// line where the caret is, once, instead of pressing OK.
TEST(QtFocus, AMultiLineEditShowsTheFocusAndTakesEnterAsALineBreak) {
    Fixture f;
    constexpr int kNotes = 100;
    const orv::res::DialogTemplate notes =
        orv::res::DialogBuilder(L"Notes", 120, 70)
            .Edit(kNotes, 7, 7, 106, 36, WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN)
            .DefaultButton(L"OK", IDOK, 63, 50, 50, 14)
            .Build();
    CDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(&notes));
    dialog.ShowWindow(SW_SHOW);
    Settle(f.driver);
    auto* edit = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
    ASSERT_NE(edit, nullptr);
    const int framed = FramePixels(edit);
    QTest::keyClicks(edit, "ab");
    QTest::keyClick(edit, Qt::Key_Left);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, "c");
    Settle(f.driver);
    EXPECT_EQ(orv::win::Inspect(orv::win::FindControl(dialog.m_hWnd, kNotes)).text, L"a\r\ncb");
    EXPECT_EQ(edit->toPlainText(), "a\ncb");
    EXPECT_TRUE(::IsWindow(dialog.m_hWnd)) << "Enter did not press OK";
    QTest::keyClick(edit, Qt::Key_Tab);
    Settle(f.driver);
    EXPECT_GT(framed, FramePixels(edit));
    dialog.DestroyWindow();
}

// A balloon and the help pop-up F1 raises are tool windows of the dialog, without a title bar,
// that take no focus: the name field keeps the focus and its frame. The pop-up shows under the
// field, and the next key only closes it.
TEST(QtFocus, BalloonsAndTheHelpPopUpAreToolWindowsThatTakeNoFocus) {
    Fixture f;
    HelpfulSample dialog;
    Settle(f.driver);
    auto* name = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(name && name->text() == "Bracket");
    const int frame = FramePixels(name);
    auto isToolOfDialog = [&](QWidget* w) {
        return w->windowType() == Qt::Tool && (w->windowFlags() & Qt::FramelessWindowHint) &&
               (w->windowFlags() & Qt::WindowDoesNotAcceptFocus) && w->windowHandle() &&
               w->windowHandle()->transientParent() == name->window()->windowHandle();
    };
    auto* balloon = new CBalloonHelp;
    ASSERT_TRUE(balloon->Create(L"Note", L"A balloon.", CPoint(100, 100),
                                CBalloonHelp::kDisableFadeIn | CBalloonHelp::kDisableFadeOut | CBalloonHelp::kDeleteThisOnClose,
                                &dialog));
    Settle(f.driver);
    QWidget* balloonWidget = nullptr;  // the top-level widget without controls
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top != name->window() && top->findChildren<QWidget*>().isEmpty()) balloonWidget = top;
    ASSERT_NE(balloonWidget, nullptr);
    EXPECT_TRUE(isToolOfDialog(balloonWidget));
    EXPECT_EQ(QApplication::focusWidget(), name);
    EXPECT_EQ(FramePixels(name), frame) << "the focus frame stays while a balloon shows";
    balloon->HideBalloon();
    Settle(f.driver);

    QTest::keyClick(name, Qt::Key_F1);
    Settle(f.driver);
    QLabel* popup = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* label = qobject_cast<QLabel*>(top); label && label->isVisible()) popup = label;
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->text().toStdWString(), kHelp);
    EXPECT_TRUE(isToolOfDialog(popup));
    EXPECT_EQ(QApplication::focusWidget(), name) << "the pop-up takes no focus";
    const QPoint under = name->mapToGlobal(QPoint(0, name->height()));
    EXPECT_GE(popup->y(), under.y());
    EXPECT_LE(popup->y(), under.y() + 4);
    EXPECT_EQ(popup->x(), under.x());
    QTest::keyClick(name, Qt::Key_X);
    Settle(f.driver);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(name->text(), "Bracket") << "the key that closes the pop-up does nothing else";
}

// A message box is a dialog transient for the window that owns it, and its warning icon shows
// its black "!" on the yellow triangle.
TEST(QtFocus, AMessageBoxIsADialogOfItsOwnerWithItsWarningSign) {
    Fixture f;
    HelpfulSample dialog;
    Settle(f.driver);
    QWindow* owner = QApplication::activeWindow() ? QApplication::activeWindow()->windowHandle() : nullptr;
    ASSERT_NE(owner, nullptr);
    Qt::WindowType type = Qt::Widget;
    QWindow* transientParent = nullptr;
    int black = 0;
    QTimer::singleShot(100, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible() || top->windowTitle() != "Caption") continue;
            type = top->windowType();
            transientParent = top->windowHandle() ? top->windowHandle()->transientParent() : nullptr;
            for (auto* label : top->findChildren<QLabel*>()) {
                const QImage icon = label->pixmap(Qt::ReturnByValue).toImage();
                for (int y = 0; y < icon.height(); ++y)
                    for (int x = 0; x < icon.width(); ++x)
                        if (icon.pixelColor(x, y) == Qt::black) ++black;
            }
        }
        ::EndDialog(orv::win::ActiveModalWindow(), IDOK);
    });
    EXPECT_EQ(::MessageBox(dialog.m_hWnd, L"Careful.", L"Caption", MB_OK | MB_ICONWARNING), IDOK);
    EXPECT_EQ(type, Qt::Dialog);
    EXPECT_EQ(transientParent, owner);
    EXPECT_GT(black, 20);
}

// The host window is centred on the screen Qt shows it on, whatever work area the kernel
// assumes, and its list's columns fit the view without a horizontal scroll bar.
TEST(QtFocus, TheHostWindowIsCentredOnTheRealScreenAndItsListFitsItsColumns) {
    Fixture f;
    RegisterOrvComponents();
    orvdlg::ModelSession session;
    session.LoadSample();
    orvdlg::HostWindow window(session, "bracket.json");
    QPoint centre, screenCentre;
    int lists = 0, overflow = 0, scrollBars = 0;
    QTimer::singleShot(100, [&] {
        const HWND host = orv::win::ActiveModalWindow();
        const orv::win::WindowView v = orv::win::Inspect(host);
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible() || top->windowTitle().toStdWString() != v.text) continue;
            // The kernel's whole window (its frame and caption) where the client area went.
            centre = top->geometry().topLeft() + QPoint((v.windowRect.left + v.windowRect.right) / 2 - v.clientRect.left,
                                                         (v.windowRect.top + v.windowRect.bottom) / 2 - v.clientRect.top);
            // Both lists: the objects and the contact pairs.
            for (auto* tree : top->findChildren<QTreeWidget*>()) {
                int sum = 0;
                for (int i = 0; i < tree->columnCount(); ++i) sum += tree->columnWidth(i);
                overflow = std::max(overflow, sum - tree->viewport()->width());
                scrollBars += tree->horizontalScrollBar()->isVisible() ? 1 : 0;
                ++lists;
            }
        }
        screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
        orv::win::input::Click(orv::win::FindControl(host, orvdlg::HostWindow::IDC_EXIT));
    });
    EXPECT_EQ(window.DoModal(), IDOK);
    EXPECT_LE((centre - screenCentre).manhattanLength(), 2) << centre.x() << "," << centre.y();
    EXPECT_EQ(lists, 2);
    EXPECT_LE(overflow, 0);
    EXPECT_EQ(scrollBars, 0);
}
