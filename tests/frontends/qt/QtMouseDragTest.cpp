// A person's drag and wheel over a window the kernel draws reach it as the kernel's mouse
// messages: the button down, moves with the button and Shift held, the button up, the wheel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <string>
#include <vector>

#include "platform/drivers/qt/QtDriver.h"
#include "platform/drivers/qt/QtPaint.h"
#include "platform/res/DialogBuilder.h"
#include "platform/win/Afx.h"
#include "platform/win/Gdi.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"
#include "support/QtPaintedStep.h"

namespace {

constexpr int kCanvas = 100;

// Paints a grey square and writes down the mouse messages it gets; the wheel ends the dialog.
class Canvas : public CWnd {
public:
    std::vector<std::string> got;
    Canvas() {
        auto note = [this](const char* name) {
            return [this, name](WPARAM keys, LPARAM at) -> LRESULT {
                got.push_back(std::string(name) + " " + std::to_string(SHORT(LOWORD(DWORD(at)))) + " " +
                              std::to_string(SHORT(HIWORD(DWORD(at)))) + ((keys & MK_LBUTTON) ? " left" : "") +
                              ((keys & MK_SHIFT) ? " shift" : ""));
                return 0;
            };
        };
        HandleMessage(WM_LBUTTONDOWN, note("down"));
        HandleMessage(WM_MOUSEMOVE, note("move"));
        HandleMessage(WM_LBUTTONUP, note("up"));
        HandleMessage(WM_MOUSEWHEEL, [this](WPARAM keys, LPARAM) -> LRESULT {
            got.push_back("wheel " + std::to_string(SHORT(HIWORD(keys))));
            ::EndDialog(::GetParent(m_hWnd), IDOK);
            return 0;
        });
        HandleMessage(WM_PAINT, [this](WPARAM, LPARAM) -> LRESULT {
            CPaintDC dc(this);
            RECT client{};
            GetClientRect(&client);
            dc.FillSolidRect(&client, RGB(128, 128, 128));
            return 0;
        });
    }
};

class CanvasDialog : public CDialog {
public:
    CanvasDialog()
        : template_(orv::res::DialogBuilder(L"Canvas", 120, 80).Label(L"", kCanvas, 7, 7, 80, 60).Build()) {
        InitModalIndirect(&template_);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        canvas_.SubclassDlgItem(kCanvas, this);
        return TRUE;
    }
    Canvas canvas_;

private:
    orv::res::DialogTemplate template_;
};

TEST(QtMouse, ADragAndTheWheelReachTheKernelAsItsMouseMessages) {
    orv::qt::EnsureApplication(true);
    orv::qt::QtDriver driver{orv::qt::QtDriverOptions{}};
    orv::win::DriverScope scope(&driver);
    CanvasDialog dialog;
    QTimer timer;
    orvtest::WhenPaintedWidgetShows(timer, [](orv::qt::PaintedWidget* canvas) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 12), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(canvas, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(30, 20), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(canvas, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(30, 20), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(canvas, &release);
        QWheelEvent wheel(QPointF(30, 20), canvas->mapToGlobal(QPoint(30, 20)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.canvas_.got,
              (std::vector<std::string>{"down 10 12 left", "move 30 20 left shift", "up 30 20", "wheel -120"}));
}

}  // namespace
