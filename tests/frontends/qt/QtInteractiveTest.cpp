// A person at the Qt widgets: clicks, typing, selections and keys reach the kernel as its input
// events, the modal loop runs nested in Qt's event loop, and the widgets follow the kernel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <functional>
#include <vector>

#include "platform/drivers/qt/QtDriver.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"
#include "support/TestDialog.h"

namespace {

template <class W>
W* FindWidget(const std::function<bool(W*)>& match) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        for (W* w : top->findChildren<W*>())
            if (w->isVisible() && match(w)) return w;
    }
    return nullptr;
}

// Plays the steps one per timer tick while the dialog's modal loop runs. A step finds its
// widget and returns the action on it (nothing while the widget is not there yet: it is tried
// again); the action is posted, so that one that opens a nested modal loop leaves the timer
// free to play the steps inside that loop. Ends any modal window left after a time-out, so that a
// fault fails the test instead of hanging it.
class Person {
public:
    using Step = std::function<std::function<void()>()>;
    explicit Person(std::vector<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start(20);
    }
    std::size_t Done() const { return next_; }

private:
    void Tick() {
        if (++ticks_ > 250) {
            if (HWND modal = orv::win::ActiveModalWindow()) ::EndDialog(modal, IDABORT);
            return;
        }
        if (next_ >= steps_.size()) return;
        if (auto act = steps_[next_]()) {
            ++next_;
            QMetaObject::invokeMethod(qApp, act, Qt::QueuedConnection);
        }
    }
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int ticks_ = 0;
    QTimer timer_;
};

using Act = std::function<void()>;

TEST(QtInteractive, PersonFillsTheSampleDialogWithMouseAndKeyboard) {
    orv::qt::EnsureApplication(true);
    orv::qt::QtDriver driver{orv::qt::QtDriverOptions{}};
    orv::win::DriverScope scope(&driver);
    orvtest::TestDialog dialog;
    bool curveEnabledAfterCheck = false;
    Person person({
        []() -> Act {
            auto* name = FindWidget<QLineEdit>([](QLineEdit* e) { return e->text() == "Bracket"; });
            if (!name) return {};
            return [name] {
                name->selectAll();
                QTest::keyClicks(name, "Beam");
            };
        },
        [&]() -> Act {
            auto* varies = FindWidget<QCheckBox>([](QCheckBox* b) { return b->text().contains("Varies"); });
            if (!varies) return {};
            return [varies, &curveEnabledAfterCheck] {
                QTest::mouseClick(varies, Qt::LeftButton);
                // The kernel's enabling rule reaches the widgets: the curve row comes alive.
                auto* curve = FindWidget<QLineEdit>([](QLineEdit* e) { return e->text() == "1"; });
                curveEnabledAfterCheck = varies->isChecked() && curve && curve->isEnabled();
            };
        },
        []() -> Act {
            auto* local = FindWidget<QRadioButton>([](QRadioButton* b) { return b->text().contains("Local"); });
            if (!local) return {};
            return [local] { QTest::mouseClick(local, Qt::LeftButton); };
        },
        []() -> Act {
            auto* units = FindWidget<QComboBox>([](QComboBox* c) { return c->findText("m") >= 0; });
            if (!units) return {};
            return [units] { emit units->activated(units->findText("m")); };
        },
        []() -> Act {
            auto* nodes = FindWidget<QListWidget>([](QListWidget* l) { return l->count() == 3; });
            if (!nodes) return {};
            return [nodes] {
                const QRect item = nodes->visualItemRect(nodes->item(1));
                QTest::mouseClick(nodes->viewport(), Qt::LeftButton, {}, item.center());
            };
        },
        []() -> Act {
            auto* ok = FindWidget<QPushButton>([](QPushButton* b) { return b->text() == "OK"; });
            if (!ok) return {};
            return [ok] { QTest::keyClick(ok, Qt::Key_Return); };
        },
    });
    const INT_PTR result = dialog.DoModal();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(person.Done(), 6u);
    EXPECT_TRUE(curveEnabledAfterCheck);
    EXPECT_EQ(dialog.Describe(),
              "name \"Beam\", magnitude 100, varies with time on, load curve 1, follow surface "
              "indeterminate, coordinates local, units m, node 2");
}

TEST(QtInteractive, EscapeAsksBeforeDiscardingInANestedModalLoop) {
    orv::qt::EnsureApplication(true);
    orv::qt::QtDriver driver{orv::qt::QtDriverOptions{}};
    orv::win::DriverScope scope(&driver);
    orvtest::TestDialog dialog;
    const CString before = dialog.m_name;
    Person person({
        []() -> Act {
            auto* name = FindWidget<QLineEdit>([](QLineEdit* e) { return e->text() == "Bracket"; });
            if (!name) return {};
            return [name] {
                QTest::keyClicks(name, "X");
                QTest::keyClick(name, Qt::Key_Escape);
            };
        },
        []() -> Act {
            // The message box is a kernel dialog shown as widgets like any other.
            auto* yes = FindWidget<QPushButton>([](QPushButton* b) { return b->text() == "&Yes"; });
            if (!yes) return {};
            return [yes] { QTest::mouseClick(yes, Qt::LeftButton); };
        },
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(person.Done(), 2u);
    EXPECT_EQ(dialog.m_name, before);
}

}  // namespace

TEST(QtInteractive, AFieldOfObjectsThatDisagreeTellsTheirValuesInItsTooltip) {
    orv::qt::EnsureApplication(true);
    orv::qt::QtDriver driver{orv::qt::QtDriverOptions{}};
    orv::win::DriverScope scope(&driver);
    orvtest::TestDialog dialog;
    QString tip;
    Person person({
        []() -> Act {
            if (!FindWidget<QLineEdit>([](QLineEdit* e) { return e->text() == "Bracket"; })) return {};
            return [] {
                for (HWND child : orv::win::ChildWindows(orv::win::ActiveModalWindow()))
                    if (orv::win::Inspect(child).text == L"Bracket")
                        orv::win::SetMixedValues(child, {{L"500", {1, 2}}, {L"750", {3}}});
                ::InvalidateRect(orv::win::ActiveModalWindow(), nullptr, TRUE);
            };
        },
        [&]() -> Act {
            auto* name = FindWidget<QLineEdit>([](QLineEdit* e) { return !e->toolTip().isEmpty(); });
            if (!name) return {};
            return [&tip, name] {
                tip = name->toolTip();
                ::EndDialog(orv::win::ActiveModalWindow(), IDCANCEL);
            };
        },
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(tip, "2 different values: 500 (2 objects: 1, 2), 750 (1 object: 3)");
}

namespace {
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}
}  // namespace

// While nobody touches the window, the wait for input blocks in Qt's loop instead of polling:
// three seconds of an idle dialog cost a small part of a second of processor time, and a timer
// of Qt's still ends the dialog on time.
TEST(QtInteractive, AnIdleDialogWaitsWithoutUsingTheProcessor) {
    orv::qt::EnsureApplication(true);
    orv::qt::QtDriver driver{orv::qt::QtDriverOptions{}};
    orv::win::DriverScope scope(&driver);
    orvtest::TestDialog dialog;
    QElapsedTimer wall;
    double cpuStart = 0;
    QTimer::singleShot(300, [&] {  // after the dialog has shown itself
        wall.start();
        cpuStart = CpuSeconds();
    });
    QTimer::singleShot(3300, [] {
        if (HWND modal = orv::win::ActiveModalWindow()) ::EndDialog(modal, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    const double cpu = CpuSeconds() - cpuStart;
    // A loaded machine runs either timer late: judge the processor time against the idle time
    // that was measured (busy waiting would use nearly all of it).
    const double idle = wall.elapsed() / 1000.0;
    EXPECT_GE(idle, 1.5);
    EXPECT_LT(cpu, 0.1 * idle) << cpu << " processor seconds over " << idle << " idle seconds";
}

// Tab into an edit selects its text, as the kernel does, so typing replaces the value.
TEST(QtInteractive, TabIntoAnEditThenTypingReplacesItsText) {
    orv::qt::EnsureApplication(true);
    orv::qt::QtDriver driver{orv::qt::QtDriverOptions{}};
    orv::win::DriverScope scope(&driver);
    orvtest::TestDialog dialog;
    Person person({
        []() -> Act {
            auto* name = FindWidget<QLineEdit>([](QLineEdit* e) { return e->text() == "Bracket"; });
            if (!name || !name->hasFocus()) return {};
            return [name] { QTest::keyClick(name, Qt::Key_Tab); };
        },
        []() -> Act {
            auto* magnitude = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            if (!magnitude || magnitude->text() != "100") return {};
            return [magnitude] { QTest::keyClicks(magnitude, "5"); };
        },
        []() -> Act {
            auto* ok = FindWidget<QPushButton>([](QPushButton* b) { return b->text() == "OK"; });
            if (!ok) return {};
            return [ok] { QTest::mouseClick(ok, Qt::LeftButton); };
        },
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(person.Done(), 3u);
    EXPECT_NE(dialog.Describe().find("magnitude 5,"), std::string::npos) << dialog.Describe();
}
