// Text fits the kernel's rectangles: every label, button, check box and radio button of the
// library's dialogs, shown in the dialog font, is no wider than the rectangle the kernel laid
// it out in from dialog units.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextDocument>

#include <sstream>

#include "apps/orvdlg/ScriptSession.h"
#include "platform/drivers/qt/QtDriver.h"
#include "platform/win/Inspect.h"
#include "platform/win/Utf8.h"

namespace {

// Text as shown: mnemonic markers removed, "&&" as one "&".
QString Shown(QString text) {
    text.replace("&&", "\x01");
    text.remove('&');
    text.replace("\x01", "&");
    return text;
}

// Widgets of the visible top-level windows whose text is wider than their rectangle.
std::vector<std::string> Overflows() {
    std::vector<std::string> found;
    const int indicator = QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                          QApplication::style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    auto check = [&](QWidget* w, const QString& text, int extra) {
        if (!w->isVisible() || text.isEmpty()) return;
        for (const QString& line : text.split('\n')) {
            const int need = w->fontMetrics().horizontalAdvance(line) + extra;
            if (need > w->width())
                found.push_back("\"" + line.toStdString() + "\" needs " + std::to_string(need) + " of " +
                                std::to_string(w->width()) + " pixels");
        }
    };
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        for (QLabel* l : top->findChildren<QLabel*>()) {
            if (!l->isVisible() || !l->pixmap(Qt::ReturnByValue).isNull()) continue;
            if (l->height() < 2 * l->fontMetrics().lineSpacing()) {
                // A label one line high shows its text on one line.
                QTextDocument doc;
                doc.setHtml(l->text());
                check(l, doc.toPlainText(), 0);
            } else if (l->wordWrap() && l->heightForWidth(l->width()) > l->height()) {
                found.push_back("\"" + l->text().toStdString() + "\" needs " + std::to_string(l->heightForWidth(l->width())) +
                                " of " + std::to_string(l->height()) + " pixels in height");
            }
        }
        for (QCheckBox* b : top->findChildren<QCheckBox*>()) check(b, Shown(b->text()), indicator);
        for (QRadioButton* b : top->findChildren<QRadioButton*>()) check(b, Shown(b->text()), indicator);
        for (QPushButton* b : top->findChildren<QPushButton*>()) check(b, Shown(b->text()), 4);
    }
    return found;
}

TEST(QtTextFit, LabelsAndButtonsOfTheDialogsFitTheirRectangles) {
    const std::string script =
        "dialog sample\n  show\n  click Cancel\n"
        "model sample\ndisplay-units model\nanalysis 4 riks off\n"
        "open 29 create\n  click \"&Varies with Time\"\n  show\n  click Cancel\n"
        "analysis 4 riks on\nopen 40 modify 16\n  show\n  click Cancel\nanalysis 4 riks off\n"
        "open 111 create\n  show\n  click Cancel\n"
        "open 173 create\n  show\n  click Cancel\n"
        "open 174 create count 2\n  show\n  click Cancel\n"
        "open 176 modify 18\n  show\n  click Cancel\n"
        "open 181 create\n  show\n  click Cancel\n"
        "open 183 create\n  show\n  click Cancel\n"
        "open 186 create\n  show\n  click Cancel\n"
        "open 187 create\n  show\n  click Cancel\n"
        "open 188 create\n  show\n  type 1460 \"-1\"\n  click OK\n    show\n    click OK\n  click Cancel\n";
    orv::qt::EnsureApplication(true);
    std::ostringstream out;
    orvdlg::ScriptSession session(out);
    std::unique_ptr<orv::qt::QtDriver> driver;
    orv::qt::QtDriverOptions options;
    options.inner = &session.ScriptDriver();
    std::vector<std::string> lines;
    for (std::istringstream in(script); in;) {
        std::string line;
        std::getline(in, line);
        lines.push_back(line);
    }
    int checked = 0, last = 0;
    std::vector<std::string> overflows;
    options.afterInput = [&](HWND) {
        const int line = session.Runner().CurrentLine();
        if (line == last || line < 1 || line > int(lines.size()) || lines[std::size_t(line - 1)].find("show") == std::string::npos)
            return;
        last = line;
        driver->Sync();
        QApplication::processEvents();
        ++checked;
        const std::string title = orv::WideToUtf8(orv::win::Inspect(orv::win::ActiveModalWindow()).text);
        for (const std::string& o : Overflows()) overflows.push_back(title + ": " + o);
    };
    driver = std::make_unique<orv::qt::QtDriver>(std::move(options));
    session.SetFrontEnd(driver.get());
    ASSERT_EQ(session.RunText("fit.dlgs", script), 0) << out.str();
    EXPECT_EQ(checked, 13);
    for (const std::string& o : overflows) ADD_FAILURE() << o;
}

}  // namespace
