// Keyboard focus and pop-ups in the Qt front end as a person meets them: the focused control
// shows a focus frame, the default button follows the focus as the dialog manager decides it,
// F1 shows the kernel's help pop-up as a tool window that takes no focus, and a message box is
// a dialog kept above the window that owns it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <functional>
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

// The push buttons of the sample dialog that show as the default one.
std::string Defaults() {
    std::string out;
    for (QWidget* top : QApplication::topLevelWidgets())
        for (auto* b : top->findChildren<QPushButton*>())
            if (b->isVisible() && b->isDefault()) out += (out.empty() ? "" : " ") + b->text().toStdString();
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

// A balloon, the help pop-up F1 raises and a message box are windows of the dialog: the first
// two tool windows without a title bar that leave the focus and its frame where they were (the
// pop-up under the field, closed by the next key, which does nothing else), the message box a
// dialog transient for it.
TEST(QtFocus, PopUpsAreToolWindowsAndAMessageBoxADialogOfTheirOwner) {
    Fixture f;
    HelpfulSample dialog;
    Settle(f.driver);
    auto* name = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(name && name->text() == "Bracket");
    QWindow* const owner = name->window()->windowHandle();
    const int frame = FramePixels(name);
    auto shownTop = [&](const std::function<bool(QWidget*)>& match) -> QWidget* {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top != name->window() && match(top)) return top;
        return nullptr;
    };
    auto isToolOfDialog = [&](QWidget* w) {
        return w && w->windowType() == Qt::Tool && (w->windowFlags() & Qt::FramelessWindowHint) &&
               (w->windowFlags() & Qt::WindowDoesNotAcceptFocus) && w->windowHandle()->transientParent() == owner &&
               QApplication::focusWidget() == name;
    };
    auto* balloon = new CBalloonHelp;
    ASSERT_TRUE(balloon->Create(L"Note", L"A balloon.", CPoint(100, 100),
                                CBalloonHelp::kDisableFadeIn | CBalloonHelp::kDisableFadeOut | CBalloonHelp::kDeleteThisOnClose,
                                &dialog));
    Settle(f.driver);
    EXPECT_TRUE(isToolOfDialog(shownTop([](QWidget* top) { return top->findChildren<QWidget*>().isEmpty(); })));
    EXPECT_EQ(FramePixels(name), frame) << "the focus frame stays while a balloon shows";
    balloon->HideBalloon();

    QTest::keyClick(name, Qt::Key_F1);
    Settle(f.driver);
    auto* popup = qobject_cast<QLabel*>(shownTop([](QWidget* top) { return qobject_cast<QLabel*>(top) != nullptr; }));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->text().toStdWString(), kHelp);
    EXPECT_TRUE(isToolOfDialog(popup));
    EXPECT_EQ(popup->pos(), name->mapToGlobal(QPoint(0, name->height() + 2)));
    QTest::keyClick(name, Qt::Key_X);
    Settle(f.driver);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(name->text(), "Bracket");

    QWidget* box = nullptr;
    QTimer::singleShot(100, [&] {
        box = shownTop([](QWidget* top) { return top->windowTitle() == "Caption"; });
        EXPECT_TRUE(box && box->windowType() == Qt::Dialog && box->windowHandle()->transientParent() == owner);
        ::EndDialog(orv::win::ActiveModalWindow(), IDOK);
    });
    EXPECT_EQ(::MessageBox(dialog.m_hWnd, L"Careful.", L"Caption", MB_OK | MB_ICONWARNING), IDOK);
    EXPECT_NE(box, nullptr);
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
