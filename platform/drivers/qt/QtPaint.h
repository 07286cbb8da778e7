#pragma once
// Painting a kernel display list with QPainter, and the widget that shows a window the kernel
// draws itself (plots, legends, balloons, owner-drawn controls).

#include <QWidget>

#include "platform/win/DisplayList.h"

class QPainter;

namespace orv::qt {

// Paints every operation of `list` in order, in the window's client coordinates.
void PaintDisplayList(QPainter& painter, const orv::win::DisplayList& list);

class PaintedWidget : public QWidget {
public:
    explicit PaintedWidget(QWidget* parent) : QWidget(parent) {}
    void SetDisplayList(orv::win::DisplayList list) {
        list_ = std::move(list);
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    orv::win::DisplayList list_;
};

}  // namespace orv::qt
