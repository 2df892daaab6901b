#pragma once
// Shows a GradientHScroll on screen: paints its surface, keeps the widget as wide as the
// control asks, and turns mouse input into its calls.

#include <QWidget>

#include "packager/gradient_hscroll.h"

namespace packager {

class GradientHScrollWidget : public QWidget {
  Q_OBJECT

 public:
  explicit GradientHScrollWidget(QWidget* parent = nullptr);

  GradientHScroll& bar() { return bar_; }
  const GradientHScroll& bar() const { return bar_; }

  // The host chooses position and height; the control its own width. Takes effect at once,
  // even while the widget is hidden (Qt holds back resize events until a widget is shown).
  void Place(QPoint topLeft, int height);

 Q_SIGNALS:
  // The user changed Value with the mouse.
  void Change();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  GradientHScroll bar_;
};

}  // namespace packager
