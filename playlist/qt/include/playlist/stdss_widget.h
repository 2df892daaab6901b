#pragma once
// stdSSWidget: the playlist control on screen. It is a stdSS (every operation, field and event
// of the control is reachable on it directly) that paints the control's elements and turns
// mouse, keyboard, drop and timer input into the control's input operations. It sizes the
// control from its own geometry in pixels and measures its texts with QtTextMeasure.

#include <QColor>
#include <QTimer>
#include <QWidget>

#include "playlist/stdss.h"

class QPainter;

namespace playlist {

QColor ToQColor(Colour colour);

// Paints every visible element of `control` in its stacking order, in control coordinates,
// the scroller's pieces from its PictureData.
void PaintStdSS(QPainter& painter, const stdSS& control);

class stdSSWidget : public QWidget, public stdSS {
  Q_OBJECT

 public:
  explicit stdSSWidget(QWidget* parent = nullptr, const platform::PropertyStore* store = nullptr);

  // Resizes the widget and lays the control out at once. A hidden widget only hears of a
  // resize when it is shown, so a host that fills the list before showing it sizes it here.
  void SetSize(int widthPx, int heightPx);

 protected:
  void Changed() override;

  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The element that took a press keeps the pointer until the last button is released.
  enum class Grab { None, Row, UpButton, DownButton, Track, Thumb };

  void Press(QMouseEvent* event, bool doubleClick);
  int RowOffset(int row, int y) const;  // pointer y below the top of the row's hit label

  QTimer tmrScroll_;
  Grab grab_ = Grab::None;
  int grabRow_ = 0;
  int wheelDelta_ = 0;  // wheel turn not yet worth a whole notch
};

}  // namespace playlist
