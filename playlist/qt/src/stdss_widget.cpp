#include "playlist/stdss_widget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "playlist/qt_text_measure.h"

namespace playlist {

namespace {

// The drag object's files and text, as the control hands them to its host.
DragData DragDataOf(const QMimeData* mime) {
  DragData data;
  if (mime == nullptr) return data;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) data.files.push_back(url.toLocalFile().toStdString());
  }
  if (mime->hasText()) data.text = mime->text().toStdString();
  return data;
}

int ButtonBits(Qt::MouseButtons buttons) {
  int bits = 0;
  if (buttons & Qt::LeftButton) bits |= kLeftButton;
  if (buttons & Qt::RightButton) bits |= kRightButton;
  if (buttons & Qt::MiddleButton) bits |= kMiddleButton;
  return bits;
}

int ShiftBits(Qt::KeyboardModifiers modifiers) {
  int bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= kShiftMask;
  if (modifiers & Qt::ControlModifier) bits |= kCtrlMask;
  if (modifiers & Qt::AltModifier) bits |= kAltMask;
  return bits;
}

// Key codes as the control's key handling knows them; keys it does not handle pass as 0.
int KeyCodeOf(int key) {
  switch (key) {
    case Qt::Key_Down:
      return kKeyDown;
    case Qt::Key_Up:
      return kKeyUp;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kKeyReturn;
    case Qt::Key_Delete:
      return kKeyDelete;
    default:
      return 0;
  }
}

}  // namespace

stdSSWidget::stdSSWidget(QWidget* parent, const platform::PropertyStore* store)
    : QWidget(parent), stdSS(QtTextMeasure(), store) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAcceptDrops(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  tmrScroll_.setInterval(kScrollTimerIntervalMs);
  connect(&tmrScroll_, &QTimer::timeout, this, [this] { ScrollTimerTick(); });
  ControlResized(width(), height());
}

void stdSSWidget::SetSize(int widthPx, int heightPx) {
  resize(widthPx, heightPx);
  ControlResized(widthPx, heightPx);
}

void stdSSWidget::Changed() {
  const bool wanted = elements().tmrScroll.Enabled;
  if (wanted && !tmrScroll_.isActive()) tmrScroll_.start();
  if (!wanted && tmrScroll_.isActive()) tmrScroll_.stop();
  update();
}

void stdSSWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintStdSS(painter, *this);
}

void stdSSWidget::resizeEvent(QResizeEvent*) { ControlResized(width(), height()); }

int stdSSWidget::RowOffset(int row, int y) const {
  return y - elements().PicOzadje.box.top - this->row(row).lblIzbor.box.top;
}

void stdSSWidget::Press(QMouseEvent* event, bool doubleClick) {
  const QPoint pos = event->position().toPoint();
  const int button = ButtonBits(event->button());
  const HitResult hit = HitTest(pos.x(), pos.y());
  const bool first = grab_ == Grab::None;
  switch (hit.kind) {
    case HitResult::Kind::Row:
      if (first) {
        grab_ = Grab::Row;
        grabRow_ = hit.row;
      }
      // Only the left button activates a row; a second press of another button is a press.
      if (doubleClick && button == kLeftButton) {
        RowDoubleClick(static_cast<std::int16_t>(hit.row));
      } else {
        RowMouseDown(static_cast<std::int16_t>(hit.row), button);
      }
      break;
    case HitResult::Kind::UpButton:
    case HitResult::Kind::DownButton: {
      const bool down = hit.kind == HitResult::Kind::DownButton;
      if (first) grab_ = down ? Grab::DownButton : Grab::UpButton;
      ScrollButtonDown(down, button);
      break;
    }
    case HitResult::Kind::Track:
      if (first) grab_ = Grab::Track;
      TrackDown(button, hit.y);
      break;
    case HitResult::Kind::Thumb:
      if (first) grab_ = Grab::Thumb;
      ThumbDown(button, hit.y);
      break;
    case HitResult::Kind::Background:
      BackgroundMouseDown(button);
      break;
  }
}

void stdSSWidget::mousePressEvent(QMouseEvent* event) { Press(event, false); }

// A left double-click on a row activates it; anywhere else, or with another button, it is
// simply another press.
void stdSSWidget::mouseDoubleClickEvent(QMouseEvent* event) { Press(event, true); }

void stdSSWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const int buttons = ButtonBits(event->buttons());
  const Elements& e = elements();
  const int columnX = pos.x() - e.picScroll.box.left;
  const int columnY = pos.y() - e.picScroll.box.top;
  switch (grab_) {
    case Grab::Row:
      if (grabRow_ <= ListCount) {
        RowMouseMove(static_cast<std::int16_t>(grabRow_), buttons, RowOffset(grabRow_, pos.y()));
      }
      return;
    case Grab::UpButton:
      ScrollButtonMove(false, buttons, columnX - e.PicGor.box.left, columnY - e.PicGor.box.top);
      return;
    case Grab::DownButton:
      ScrollButtonMove(true, buttons, columnX - e.PicDol.box.left, columnY - e.PicDol.box.top);
      return;
    case Grab::Thumb:
      ThumbMove(buttons, columnY - e.PicPoljeDrsnika.box.top - e.PicDrsnik.box.top);
      return;
    case Grab::Track:
      return;
    case Grab::None:
      break;
  }
  const HitResult hit = HitTest(pos.x(), pos.y());
  if (hit.kind == HitResult::Kind::Row) RowMouseMove(static_cast<std::int16_t>(hit.row), buttons, hit.y);
}

void stdSSWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const int button = ButtonBits(event->button());
  switch (grab_) {
    case Grab::Row:
      if (grabRow_ <= ListCount) {
        RowMouseUp(static_cast<std::int16_t>(grabRow_), button, RowOffset(grabRow_, pos.y()));
      }
      break;
    case Grab::UpButton:
      ScrollButtonUp(false, button);
      break;
    case Grab::DownButton:
      ScrollButtonUp(true, button);
      break;
    case Grab::Track:
      TrackUp();
      break;
    case Grab::Thumb:
      ThumbUp();
      break;
    case Grab::None:
      break;
  }
  if (event->buttons() == Qt::NoButton) {
    grab_ = Grab::None;
    grabRow_ = 0;
  }
}

void stdSSWidget::wheelEvent(QWheelEvent* event) {
  // Touchpads send fractions of a notch; they add up until a whole notch has gone by.
  wheelDelta_ += event->angleDelta().y();
  const int notches = wheelDelta_ / QWheelEvent::DefaultDeltasPerStep;
  wheelDelta_ -= notches * QWheelEvent::DefaultDeltasPerStep;
  if (notches != 0) MouseWheel(notches);
  event->accept();
}

void stdSSWidget::keyPressEvent(QKeyEvent* event) {
  int shift = ShiftBits(event->modifiers());
  // The modifier key itself counts as held from its own press on.
  if (event->key() == Qt::Key_Shift) shift |= kShiftMask;
  if (event->key() == Qt::Key_Control) shift |= kCtrlMask;
  if (event->key() == Qt::Key_Alt) shift |= kAltMask;
  KeyDown(KeyCodeOf(event->key()), shift);
  event->accept();
}

void stdSSWidget::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  KeyUp();
  event->accept();
}

bool stdSSWidget::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const HitResult hit = HitTest(help->pos().x(), help->pos().y());
    const QString tip =
        hit.kind == HitResult::Kind::Row ? QString::fromStdString(row(hit.row).lblIzbor.toolTip) : QString();
    if (tip.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
  }
  return QWidget::event(event);
}

void stdSSWidget::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }

void stdSSWidget::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void stdSSWidget::dropEvent(QDropEvent* event) {
  std::int32_t effect = static_cast<std::int32_t>(event->dropAction());
  const QPointF pos = event->position();
  DropData(DragDataOf(event->mimeData()), effect, static_cast<std::int16_t>(ButtonBits(event->buttons())),
           static_cast<std::int16_t>(ShiftBits(event->modifiers())), static_cast<float>(pos.x()),
           static_cast<float>(pos.y()));
  event->setDropAction(static_cast<Qt::DropAction>(effect));
  event->accept();
}

}  // namespace playlist
