#pragma once
// For Qt front-end tests over a window the kernel draws: once a painted widget shows, `step` runs
// on it, queued, so that it acts as a person would between two turns of the kernel's modal loop.
// A dialog whose painted widget never shows ends with IDABORT after about five seconds.

#include <QApplication>
#include <QMetaObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/drivers/qt/QtPaint.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"

namespace orvtest {

inline void WhenPaintedWidgetShows(QTimer& timer, std::function<void(orv::qt::PaintedWidget*)> step) {
    auto ticks = std::make_shared<int>(0);
    QObject::connect(&timer, &QTimer::timeout, [&timer, ticks, step] {
        if (++*ticks > 250) {
            if (HWND modal = orv::win::ActiveModalWindow()) ::EndDialog(modal, IDABORT);
            return;
        }
        orv::qt::PaintedWidget* painted = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            for (QWidget* w : top->findChildren<QWidget*>())
                if (auto* p = dynamic_cast<orv::qt::PaintedWidget*>(w); p && p->isVisible()) painted = p;
        if (!painted) return;
        timer.stop();
        QMetaObject::invokeMethod(qApp, [painted, step] { step(painted); }, Qt::QueuedConnection);
    });
    timer.start(20);
}

}  // namespace orvtest
