// What the Qt widgets show beyond the kernel's plain state: the template's font and the fonts
// windows were given, the colours a parent chooses for its controls, icons from the kernel's
// handles, windows that paint themselves, and pop-ups above a window in its picture.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabBar>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include <unistd.h>

#include "platform/drivers/qt/QtDriver.h"
#include "platform/drivers/qt/QtPaint.h"
#include "platform/res/DialogBuilder.h"
#include "platform/res/Images.h"
#include "platform/res/Module.h"
#include "platform/res/Resources.h"
#include "platform/win/Afx.h"
#include "platform/win/Gdi.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinApi.h"
#include "support/QtPaintedStep.h"

namespace {

constexpr int kPlain = 100, kGiven = 101, kEdit = 102, kIcon = 103, kPlot = 104;

// A static whose own window procedure paints it: a red block on white. It keeps where the
// mouse moved and clicked, and a click ends its dialog.
class RedBlock : public CWnd {
public:
    POINT moved{-1, -1}, clicked{-1, -1};
    RedBlock() {
        HandleMessage(WM_MOUSEMOVE, [this](WPARAM, LPARAM at) -> LRESULT {
            moved = POINT{SHORT(LOWORD(DWORD(at))), SHORT(HIWORD(DWORD(at)))};
            return 0;
        });
        HandleMessage(WM_LBUTTONDOWN, [this](WPARAM, LPARAM at) -> LRESULT {
            clicked = POINT{SHORT(LOWORD(DWORD(at))), SHORT(HIWORD(DWORD(at)))};
            ::EndDialog(::GetParent(m_hWnd), IDOK);
            return 0;
        });
        HandleMessage(WM_PAINT, [this](WPARAM, LPARAM) -> LRESULT {
            CPaintDC dc(this);
            RECT client{};
            GetClientRect(&client);
            dc.FillSolidRect(&client, RGB(255, 255, 255));
            RECT block{4, 4, 20, 20};
            dc.FillSolidRect(&block, RGB(255, 0, 0));
            return 0;
        });
    }
};

// A dialog of the controls above, with a template font of `points` and a bold 12-point serif
// given to one label.
class LooksDialog : public CDialog {
public:
    explicit LooksDialog(int points)
        : template_(orv::res::DialogBuilder(L"Looks", 200, 110)
                        .Font(L"MS Shell Dlg", points)
                        .Label(L"Plain", kPlain, 7, 7, 80, 8)
                        .Label(L"Given", kGiven, 7, 20, 80, 12)
                        .Edit(kEdit, 7, 36, 80, 14)
                        .Control(L"Static", L"", kIcon, SS_ICON, 100, 7, 21, 20)
                        .Label(L"", kPlot, 100, 36, 60, 40)
                        .DefaultButton(L"OK", IDOK, 143, 90, 50, 14)
                        .Build()) {
        InitModalIndirect(&template_);
        HandleMessage(WM_CTLCOLOREDIT, [this](WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(m_hWnd, kEdit) && red)
                CDC::FromHandle(reinterpret_cast<HDC>(wParam))->SetTextColor(RGB(255, 0, 0));
            return LRESULT(GetSysColorBrush(COLOR_WINDOW));
        });
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        serif_.CreatePointFont(120, L"Times New Roman");
        LOGFONT info;
        serif_.GetLogFont(&info);
        info.lfWeight = FW_BOLD;
        bold_.CreateFontIndirect(&info);
        GetDlgItem(kGiven)->SetFont(&bold_);
        ::SendDlgItemMessage(m_hWnd, kIcon, STM_SETIMAGE, IMAGE_ICON, LPARAM(::LoadIcon(nullptr, IDI_QUESTION)));
        plot_.SubclassDlgItem(kPlot, this);
        return TRUE;
    }
    bool red = false;
    RedBlock plot_;

private:
    orv::res::DialogTemplate template_;
    CFont serif_, bold_;
};

// The inner driver: runs `look` once the dialog's widgets are up, then ends the dialog.
class Looker : public orv::win::Driver {
public:
    explicit Looker(std::function<void(HWND)> look) : look_(std::move(look)) {}
    bool WaitForInput(HWND modal) override {
        look_(modal);
        ::EndDialog(modal, IDOK);
        return true;
    }

private:
    std::function<void(HWND)> look_;
};

void RunLooks(LooksDialog& dialog, const std::function<void(HWND, orv::qt::QtDriver&)>& look) {
    orv::qt::EnsureApplication(true);
    orv::qt::QtDriver* qt = nullptr;
    Looker looker([&](HWND modal) { look(modal, *qt); });
    orv::qt::QtDriverOptions options;
    options.inner = &looker;
    orv::qt::QtDriver driver(std::move(options));
    qt = &driver;
    orv::win::DriverScope scope(&driver);
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

template <class W>
W* Widget(const std::function<bool(W*)>& match) {
    for (QWidget* top : QApplication::topLevelWidgets())
        for (W* w : top->findChildren<W*>())
            if (w->isVisible() && match(w)) return w;
    return nullptr;
}

QLabel* LabelWithText(const QString& text) {
    return Widget<QLabel>([&](QLabel* l) { return l->text() == text; });
}

std::filesystem::path Scratch(const std::string& name) {
    const char* base = std::getenv("ORV_TEST_TMP");
    auto dir = std::filesystem::path(base ? base : "/tmp") / ("qt_looks-" + std::to_string(::getpid())) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(QtLooks, ControlsShowTheTemplateFontAndTheFontTheyWereGiven) {
    struct Case {
        int points;
        int pixels;
    };
    for (const Case c : {Case{8, 11}, Case{10, 13}}) {
        LooksDialog dialog(c.points);
        int plainPixels = 0, givenPixels = 0;
        bool givenBold = false;
        QString plainFamily, givenFamily;
        RunLooks(dialog, [&](HWND, orv::qt::QtDriver&) {
            QLabel* plain = LabelWithText("Plain");
            QLabel* given = LabelWithText("Given");
            ASSERT_TRUE(plain && given);
            plainPixels = plain->font().pixelSize();
            plainFamily = plain->font().family();
            givenPixels = given->font().pixelSize();
            givenBold = given->font().bold();
            givenFamily = given->font().family();
        });
        EXPECT_EQ(plainPixels, c.pixels) << c.points << " points";
        EXPECT_EQ(plainFamily, orv::qt::FamilyFor(L"MS Shell Dlg"));
        // 12 points at 96 dots per inch: 16 pixels.
        EXPECT_EQ(givenPixels, 16);
        EXPECT_TRUE(givenBold);
        EXPECT_EQ(givenFamily, orv::qt::FamilyFor(L"Times New Roman"));
    }
}

TEST(QtLooks, FacesMapToInstalledFamiliesOfTheirKind) {
    orv::qt::EnsureApplication(true);
    const QString sans = orv::qt::FamilyFor(L"MS Shell Dlg");
    EXPECT_FALSE(sans.isEmpty());
    EXPECT_EQ(orv::qt::FamilyFor(L"ms shell dlg"), sans);
    EXPECT_EQ(orv::qt::FamilyFor(L"Tahoma"), sans);
    EXPECT_EQ(orv::qt::FamilyFor(L"No Such Face 123"), sans);
    const QString mono = orv::qt::FamilyFor(L"Courier New");
    EXPECT_FALSE(mono.isEmpty());
    EXPECT_NE(mono, sans);
    // Text of the dialog size keeps near the kernel's 6-pixel average character width.
    QFont font(sans);
    font.setPixelSize(orv::qt::DialogFontPixels(8));
    const QString alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(alphabet), 52 * 13 / 2);
}

TEST(QtLooks, PointSizesBecomePixelsAtNinetySixDotsPerInch) {
    struct Case {
        int points, pixels;
    };
    for (const Case c : {Case{0, 1}, Case{1, 1}, Case{8, 11}, Case{9, 12}, Case{10, 13}, Case{12, 16}, Case{72, 96}})
        EXPECT_EQ(orv::qt::DialogFontPixels(c.points), c.pixels) << c.points;
}

TEST(QtLooks, EditShowsTheTextColourItsParentChose) {
    LooksDialog dialog(8);
    QColor before, after;
    RunLooks(dialog, [&](HWND modal, orv::qt::QtDriver& qt) {
        auto* edit = Widget<QLineEdit>([](QLineEdit*) { return true; });
        ASSERT_NE(edit, nullptr);
        before = edit->palette().color(QPalette::Active, QPalette::Text);
        dialog.red = true;
        ::InvalidateRect(::GetDlgItem(modal, kEdit), nullptr, TRUE);
        qt.Sync();
        after = edit->palette().color(QPalette::Active, QPalette::Text);
    });
    EXPECT_EQ(before, QColor(0, 0, 0));
    EXPECT_EQ(after, QColor(255, 0, 0));
}

TEST(QtLooks, StaticIconShowsTheKernelsIconAndAPaintingStaticItsDrawing) {
    LooksDialog dialog(8);
    const auto dir = Scratch("icon");
    std::string file, error;
    RECT iconRect{}, plotRect{}, windowRect{};
    RunLooks(dialog, [&](HWND modal, orv::qt::QtDriver& qt) {
        windowRect = orv::win::Inspect(modal).windowRect;
        iconRect = orv::win::Inspect(::GetDlgItem(modal, kIcon)).windowRect;
        plotRect = orv::win::Inspect(::GetDlgItem(modal, kPlot)).windowRect;
        file = (dir / "looks.png").string();
        if (!qt.SaveWindowImage(modal, file, error)) file.clear();
    });
    ASSERT_FALSE(file.empty()) << error;
    const QImage image(QString::fromStdString(file));
    auto count = [&](const RECT& r, QColor colour) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (image.pixelColor(x - windowRect.left, y - windowRect.top) == colour) ++n;
        return n;
    };
    // The question icon is the kernel's blue disc (above its "?"), not a style's picture.
    const orv::res::Image question = orv::res::SystemIconImage(32514, 32);
    const QColor blue = QColor::fromRgb(question.At(16, 3));
    EXPECT_GT(count(iconRect, blue), 32 * 32 / 2);
    // The subclassed static's own red block, 16 x 16.
    EXPECT_EQ(count(plotRect, QColor(255, 0, 0)), 16 * 16);
}

TEST(QtLooks, APersonsMouseOnAWindowTheKernelDrawsReachesItAtThatPoint) {
    orv::qt::EnsureApplication(true);
    orv::qt::QtDriver driver{orv::qt::QtDriverOptions{}};
    orv::win::DriverScope scope(&driver);
    LooksDialog dialog(8);
    QTimer timer;
    orvtest::WhenPaintedWidgetShows(timer, [](orv::qt::PaintedWidget* plot) {
        QMouseEvent move(QEvent::MouseMove, QPointF(7, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(plot, &move);
        QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(12, 9));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.plot_.moved.x, 7);
    EXPECT_EQ(dialog.plot_.moved.y, 5);
    EXPECT_EQ(dialog.plot_.clicked.x, 12);
    EXPECT_EQ(dialog.plot_.clicked.y, 9);
}

// A dialog whose template names an icon and a bitmap of the test program's resources.
class ResourceImagesDialog : public CDialog {
public:
    ResourceImagesDialog()
        : template_(orv::res::DialogBuilder(L"Images", 120, 60)
                        .Control(L"Static", L"#201", 301, SS_ICON, 7, 7, 21, 20)
                        .Control(L"Static", L"#202", 302, SS_BITMAP, 40, 7, 32, 10)
                        .DefaultButton(L"OK", IDOK, 63, 40, 50, 14)
                        .Build()) {
        InitModalIndirect(&template_);
    }

private:
    orv::res::DialogTemplate template_;
};

TEST(QtLooks, TemplateIconAndBitmapStaticsShowTheModulesResources) {
    const HINSTANCE self = orv::res::GetMainModule();
    const orv::res::Image icon = orv::res::IconImageAt(self, MAKEINTRESOURCE(201), 32, 32);
    const orv::res::Image* bitmap = orv::res::FindBitmap(self, MAKEINTRESOURCE(202));
    ASSERT_EQ(icon.width, 32);
    ASSERT_TRUE(bitmap);
    ResourceImagesDialog dialog;
    QImage iconShown, bitmapShown;
    orv::qt::EnsureApplication(true);
    Looker looker([&](HWND) {
        for (QWidget* top : QApplication::topLevelWidgets())
            for (QLabel* l : top->findChildren<QLabel*>()) {
                const QImage shown = l->pixmap(Qt::ReturnByValue).toImage();
                if (shown.isNull() || !l->isVisible()) continue;  // not a window of an earlier test
                (shown.width() == 32 ? iconShown : bitmapShown) = shown;
            }
    });
    orv::qt::QtDriverOptions options;
    options.inner = &looker;
    orv::qt::QtDriver driver(std::move(options));
    orv::win::DriverScope scope(&driver);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(iconShown.size(), QSize(32, 32));
    ASSERT_EQ(bitmapShown.size(), QSize(bitmap->width, bitmap->height));
    // Compared premultiplied, as the pixmap keeps the icon's translucent pixels.
    const QImage premultiplied = iconShown.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 32; y += 5)
        for (int x = 0; x < 32; x += 5)
            EXPECT_EQ(premultiplied.pixel(x, y), qPremultiply(icon.At(x, y))) << x << "," << y;
    for (int x = 0; x < bitmap->width; x += 7)
        EXPECT_EQ(bitmapShown.pixel(x, 8) | 0xFF000000u, bitmap->At(x, 8) | 0xFF000000u) << x;
}

TEST(QtLooks, IconAndBitmapPicturesComeFromTheHandles) {
    EXPECT_TRUE(orv::qt::IconPicture(nullptr).isNull());
    const QImage hand = orv::qt::IconPicture(::LoadIcon(nullptr, IDI_HAND));
    ASSERT_FALSE(hand.isNull());
    EXPECT_EQ(hand.size(), QSize(32, 32));
    EXPECT_EQ(orv::qt::IconPicture(::LoadIcon(nullptr, IDI_HAND), 16, 16).size(), QSize(16, 16));
    EXPECT_EQ(hand.pixelColor(16, 16), QColor::fromRgb(orv::res::SystemIconImage(32513, 32).At(16, 16)));
    // A bitmap drawn through a memory device context: its drawing, at its size.
    CDC screen;
    screen.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, 10, 6);
    CBitmap* old = screen.SelectObject(&bitmap);
    RECT all{0, 0, 10, 6};
    screen.FillSolidRect(&all, RGB(0, 128, 255));
    screen.SelectObject(old);
    const QImage picture = orv::qt::BitmapPicture(HBITMAP(bitmap.GetSafeHandle()));
    ASSERT_EQ(picture.size(), QSize(10, 6));
    EXPECT_EQ(picture.pixelColor(5, 3), QColor(0, 128, 255));
    EXPECT_TRUE(orv::qt::BitmapPicture(nullptr).isNull());
}

TEST(QtLooks, ABitmapCopiedFromAnotherKeepsItsPixelsAfterTheSourceIsGone) {
    // As the expression edit makes its balloon icon: drawn at 32 x 32, halved into 16 x 16,
    // and the large bitmap deleted at once.
    CDC large, small;
    large.CreateCompatibleDC(nullptr);
    small.CreateCompatibleDC(nullptr);
    CBitmap target;
    target.CreateCompatibleBitmap(&small, 16, 16);
    CBitmap* oldSmall = small.SelectObject(&target);
    {
        CBitmap source;
        source.CreateCompatibleBitmap(&large, 32, 32);
        CBitmap* oldLarge = large.SelectObject(&source);
        RECT all{0, 0, 32, 32}, corner{0, 0, 16, 16};
        large.FillSolidRect(&all, RGB(0, 0, 255));
        large.FillSolidRect(&corner, RGB(255, 0, 0));
        small.StretchBlt(0, 0, 16, 16, &large, 0, 0, 32, 32, SRCCOPY);
        large.SelectObject(oldLarge);
    }
    small.SelectObject(oldSmall);
    const QImage picture = orv::qt::BitmapPicture(HBITMAP(target.GetSafeHandle()));
    ASSERT_EQ(picture.size(), QSize(16, 16));
    EXPECT_EQ(picture.pixelColor(3, 3), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(12, 12), QColor(0, 0, 255));
}

// A drop-down extended combo whose items show the three images of bitmap 202, a strip of a red,
// a green and a blue square on magenta, the list's mask colour.
class ImageComboDialog : public CDialog {
public:
    ImageComboDialog()
        : template_(orv::res::DialogBuilder(L"Image combo", 120, 60)
                        .Control(L"ComboBoxEx32", L"", 401, CBS_DROPDOWN | WS_TABSTOP, 7, 7, 100, 60)
                        .DefaultButton(L"OK", IDOK, 63, 40, 50, 14)
                        .Build()) {
        InitModalIndirect(&template_);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        images_.Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0);
        CBitmap strip;
        strip.LoadBitmap(202);
        images_.Add(&strip, RGB(255, 0, 255));
        ::SendDlgItemMessage(m_hWnd, 401, CBEM_SETIMAGELIST, 0, LPARAM(images_.GetSafeHandle()));
        for (int i = 0; i < 3; ++i) {
            const std::wstring text = L"Item " + std::to_wstring(i);
            COMBOBOXEXITEM item{};
            item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
            item.iItem = -1;
            item.pszText = const_cast<LPWSTR>(text.c_str());
            item.iImage = item.iSelectedImage = i;
            ::SendDlgItemMessage(m_hWnd, 401, CBEM_INSERTITEM, 0, LPARAM(&item));
        }
        return TRUE;
    }

private:
    orv::res::DialogTemplate template_;
    CImageList images_;
};

TEST(QtLooks, ALoadedBitmapShowsItsResourceAndAnExtendedComboItsItemImages) {
    const orv::res::Image* resource = orv::res::FindBitmap(orv::res::GetMainModule(), MAKEINTRESOURCE(202));
    ASSERT_TRUE(resource);
    CBitmap loaded;
    ASSERT_TRUE(loaded.LoadBitmap(202));
    const QImage picture = orv::qt::BitmapPicture(HBITMAP(loaded.GetSafeHandle()));
    ASSERT_EQ(picture.size(), QSize(48, 16));
    EXPECT_EQ(picture.pixel(20, 8) | 0xFF000000u, resource->At(20, 8) | 0xFF000000u) << "not black";

    ImageComboDialog dialog;
    std::vector<QImage> shown;
    orv::qt::EnsureApplication(true);
    Looker looker([&](HWND) {
        if (auto* combo = Widget<QComboBox>([](QComboBox* c) { return c->count() == 3; }))
            for (int i = 0; i < 3; ++i) shown.push_back(combo->itemIcon(i).pixmap(16, 16).toImage());
    });
    orv::qt::QtDriverOptions options;
    options.inner = &looker;
    orv::qt::QtDriver driver(std::move(options));
    orv::win::DriverScope scope(&driver);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(shown.size(), 3u);
    const QColor colours[3] = {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(shown[std::size_t(i)].size(), QSize(16, 16)) << i;
        EXPECT_EQ(shown[std::size_t(i)].pixelColor(8, 8), colours[i]) << "image " << i << " is its own slice";
        EXPECT_EQ(shown[std::size_t(i)].pixelColor(0, 0).alpha(), 0) << "the mask colour is see-through";
    }
}

}  // namespace

// A static's line breaks stay line breaks, with or without mnemonics (a message box's text).
TEST(QtLooks, StaticTextKeepsItsLineBreaks) {
    LooksDialog dialog(8);
    bool prefix = false, noPrefix = false;
    RunLooks(dialog, [&](HWND modal, orv::qt::QtDriver& qt) {
        HWND one = ::CreateWindowEx(0, L"Static", L"First line\nSecond line", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0,
                                    0, 100, 20, modal, nullptr, nullptr, nullptr);
        HWND two = ::CreateWindowEx(0, L"Static", L"&Third\r\nFourth", WS_CHILD | WS_VISIBLE, 0, 30, 100, 20, modal,
                                    nullptr, nullptr, nullptr);
        qt.Sync();
        noPrefix = LabelWithText("First line<br>Second line") != nullptr;
        prefix = LabelWithText("<u>T</u>hird<br>Fourth") != nullptr;
        ::DestroyWindow(one);
        ::DestroyWindow(two);
    });
    EXPECT_TRUE(noPrefix);
    EXPECT_TRUE(prefix);
}

// A group box's frame line runs through the middle of its caption, so that the controls the
// template puts a line below the group's top lie inside it; a tab control's tabs are as wide as
// its items, not stretched over the control.
TEST(QtLooks, GroupFrameRunsThroughItsCaptionAndTabsKeepTheirItemWidths) {
    LooksDialog dialog(8);
    int frameTop = -1, captionHeight = 0, tabsRight = 0, tabsWidth = 0;
    RunLooks(dialog, [&](HWND modal, orv::qt::QtDriver& qt) {
        HWND group = ::CreateWindowEx(0, L"Button", L"Group", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 60, 120, 40, modal,
                                      nullptr, nullptr, nullptr);
        HWND tabs = ::CreateWindowEx(0, L"SysTabControl32", L"", WS_CHILD | WS_VISIBLE, 0, 110, 300, 60, modal, nullptr,
                                     nullptr, nullptr);
        TCITEM item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"One");
        ::SendMessage(tabs, TCM_INSERTITEM, 0, LPARAM(&item));
        item.pszText = const_cast<wchar_t*>(L"Two");
        ::SendMessage(tabs, TCM_INSERTITEM, 1, LPARAM(&item));
        qt.Sync();
        if (QGroupBox* box = Widget<QGroupBox>([](QGroupBox* b) { return b->title() == "Group"; })) {
            captionHeight = box->fontMetrics().height();
            const QImage image = box->grab().toImage();
            // Down the right-hand side, past the caption: the first pixel unlike the face above it.
            const int x = image.width() - 4;
            for (int y = 1; y < image.height() && frameTop < 0; ++y)
                if (image.pixel(x, y) != image.pixel(x, 0)) frameTop = y;
        }
        if (QTabBar* bar = Widget<QTabBar>([](QTabBar* b) { return b->count() == 2; })) {
            tabsRight = bar->tabRect(1).right();
            tabsWidth = bar->width();
        }
        ::DestroyWindow(group);
        ::DestroyWindow(tabs);
    });
    EXPECT_GE(frameTop, 0);
    EXPECT_LE(frameTop, captionHeight / 2 + 1);
    EXPECT_GT(tabsWidth, 0);
    EXPECT_LT(tabsRight, tabsWidth / 2);
}
