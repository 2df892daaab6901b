#include "gradient_hscroll_widget.h"

#include <QMouseEvent>
#include <QPainter>

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
  QPainter p(this);
  p.drawImage(0, 0, bar_.Surface());
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
