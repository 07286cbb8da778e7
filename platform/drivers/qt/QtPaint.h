#pragma once
// Painting a kernel display list with QPainter, the pictures of the kernel's icon and bitmap
// handles, and the widget that shows a window the kernel draws itself (plots, legends,
// balloons, owner-drawn controls).

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QWidget>

#include <string>

#include "platform/win/DisplayList.h"
#include "platform/win/Inspect.h"
#include "platform/win/WinTypes.h"

class QPainter;

namespace orv::qt {

// Paints every operation of `list` in order, in the window's client coordinates.
void PaintDisplayList(QPainter& painter, const orv::win::DisplayList& list);

// The installed family that shows a font of that face: the usual faces of dialogs mapped to a
// sans-serif, serif or monospaced family this system has; an unknown face that is installed
// as it is, any other a sans-serif.
QString FamilyFor(const std::wstring& face);
// A font as the kernel describes it: `height` as in a LOGFONT (negative the character height,
// positive the cell height, in pixels; 0 keeps the base's size).
QFont KernelFont(const std::wstring& face, int height, int weight, bool italic, bool underline, const QFont& base);
// The character height in pixels of a font of that point size at 96 dots per inch.
int DialogFontPixels(int pointSize);

// The picture of an icon handle at cx x cy (0: the icon's own size): a resource icon of its
// module, or a system icon. A null image when the handle is not an icon.
QImage IconPicture(HICON icon, int cx = 0, int cy = 0);
// The picture of a bitmap handle: its recorded drawing at the bitmap's size, or for the handle a
// dialog template gives a bitmap static, the module's bitmap resource of that name. Null when
// the handle is neither.
QImage BitmapPicture(HBITMAP bitmap);
// Image `index` of an image list as the list draws it, its mask colour see-through; a null image
// for no such image.
QImage ImageListPicture(HIMAGELIST list, int index);
// The window region set with SetWindowRgn, in window coordinates; empty when it has none.
QRegion WindowRegionOf(HWND hwnd);

class PaintedWidget : public QWidget {
public:
    explicit PaintedWidget(QWidget* parent) : QWidget(parent) {}
    void SetDisplayList(orv::win::DisplayList list) {
        list_ = std::move(list);
        update();
    }
    // Where the client area lies in the widget (the window's border around it, drawn as a
    // frame when it has one).
    void SetClientOffset(QPoint offset) {
        if (offset == offset_) return;
        offset_ = offset;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    orv::win::DisplayList list_;
    QPoint offset_;
};

// A property grid as two columns, the captions and the values, with categories as shaded rows,
// the open list of choices under the selected row and the help pane at the bottom; laid out in
// the kernel's pixels (its row height, column split and help pane height), so that a click the
// kernel hit-tests lands where it is drawn.
class PropertyGridWidget : public QWidget {
public:
    explicit PropertyGridWidget(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    void SetView(orv::win::WindowView view) {
        view_ = std::move(view);
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    orv::win::WindowView view_;
};

}  // namespace orv::qt
