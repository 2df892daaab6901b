#include "packager/gradient_hscroll_widget.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace packager {

GradientHScrollWidget::GradientHScrollWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  bar_.onRedrawn = [this](int width) {
    if (width != this->width()) resize(width, height());
    update();
  };
  bar_.Change = [this] { Q_EMIT Change(); };
  bar_.Resize(height());
}

void GradientHScrollWidget::Place(QPoint topLeft, int height) {
  setGeometry(topLeft.x(), topLeft.y(), bar_.Width(), height);
  bar_.Resize(height);
}

void GradientHScrollWidget::paintEvent(QPaintEvent*) {
  const platform::Pixels& surface = bar_.Surface();
  if (surface.empty()) return;
  // A view of the control's pixels, valid while it paints: the control redraws only on calls
  // made on this thread.
  const QImage view(reinterpret_cast<const uchar*>(surface.argb.data()), surface.width, surface.height,
                    static_cast<qsizetype>(surface.width) * 4, QImage::Format_RGB32);
  QPainter p(this);
  p.drawImage(0, 0, view);
}

void GradientHScrollWidget::resizeEvent(QResizeEvent* event) {
  if (event->size().height() != bar_.Height() || event->size().width() != bar_.Width())
    bar_.Resize(event->size().height());
}

void GradientHScrollWidget::mousePressEvent(QMouseEvent* event) {
  bar_.MouseDown(event->position().x());
}

void GradientHScrollWidget::mouseMoveEvent(QMouseEvent* event) {
  bar_.MouseMove(event->position().x(), event->buttons() == Qt::LeftButton);
}

}  // namespace packager
