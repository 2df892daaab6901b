#include "frm_player.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWindow>

#include "frm_menu.h"
#include "pictures.h"
#include "player/player_layout.h"
#include "playlist/qt_pictures.h"
#include "playlist/stdss_widget.h"
#include "task_bar_window.h"
#include "ui/fonts.h"
#include "ui/message_box.h"
#include "ui/pictures.h"
#include "words.h"

namespace player {
namespace {

QColor FromBgr(std::uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void SetTextColour(QWidget* widget, std::uint32_t bgr) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Active, QPalette::WindowText, FromBgr(bgr));
  palette.setColor(QPalette::Inactive, QPalette::WindowText, FromBgr(bgr));
  // A song button without a song must read as unavailable on the dark face: the style's own
  // disabled grey is too light to tell apart from the white of the enabled ones.
  palette.setColor(QPalette::Disabled, QPalette::WindowText, FromBgr(bgr).darker(260));
  widget->setPalette(palette);
}

int ButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

bool Inside(QWidget* widget, QMouseEvent* event) {
  return widget->rect().contains(event->position().toPoint());
}

// The rectangle around the pixels of a box of `box` logical pixels that differ between bars
// `before` and `after`: each changed bar's taller rectangle (a bar grows from the foot up).
// One rectangle, not the bars' union: that is a region of a hundred or more slivers, each
// clipped, painted and sent to the X server on its own. The label over the box's top right
// corner lies above bars that never move (no more than 256 sample words are filled), so it is
// not painted again.
QRect ChangedBars(const BarHeights& before, const BarHeights& after, QSize box) {
  QRect changed;
  for (int i = 0; i < kSpectrumBars; ++i) {
    if (before[i] == after[i]) continue;
    for (const SpectrumRect& r : {SpectrumBarRect(i, before[i], box.width(), box.height()).bar,
                                  SpectrumBarRect(i, after[i], box.width(), box.height()).bar})
      changed |= QRect(r.x, r.y, r.width, r.height);
  }
  return changed;
}

// The bar box as the window shows it: opaque, so it is copied onto the window as it is rather
// than blended pixel by pixel.
QImage OpaqueView(const platform::Pixels& pixels) {
  if (pixels.empty()) return QImage();
  QImage view(reinterpret_cast<const uchar*>(pixels.argb.data()), pixels.width, pixels.height,
              static_cast<qsizetype>(pixels.width) * 4, QImage::Format_RGB32);
  view.setDevicePixelRatio(pixels.pixelRatio);
  return view;
}

}  // namespace

frmPlayer::frmPlayer(Setup setup)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      setup_(std::move(setup)),
      pixelRatio_(ui::ScreenPixelRatio()) {
  setObjectName(QStringLiteral("frmPlayer"));
  setWindowTitle(QStringLiteral("Sonvira"));
  setFixedSize(kClientWidth, kClientHeight);
  CreateControls();
  // 5. The colour key: every pixel of exactly 0xFF00FF in the background is see-through. The
  // window's last rows, below the background, continue it (see paintEvent).
  const QImage background = PlayerPicture(pictures::kBackground, pixelRatio_);
  background_ = ContinuedBelow(background, kClientHeight);
  setMask(ShapeOf(background, kClientWidth, kClientHeight));

  // A box opens once the session's call has returned, so the session is never re-entered
  // half-way through a call by the timers that run while the box is open.
  auto notify = [this](const Notice& notice) {
    QTimer::singleShot(0, this, [this, m = MessageFor(notice)] {
      ui::ShowMessage(this, m);
      session_->MessageClosed();
    });
  };
  if (setup_.session != nullptr) {
    session_ = setup_.session;
    session_->Attach(stdSS1, playlist::ToPixels(Picture1), notify);
  } else {
    PlayerSession::Setup s;
    s.album = setup_.album;
    s.privateFolder = setup_.privateFolder;
    s.library = setup_.library;
    s.playlist = stdSS1;
    s.playlistSkin = playlist::ToPixels(Picture1);
    s.notify = notify;
    s.log = setup_.log;
    ownSession_ = std::make_unique<PlayerSession>(std::move(s));
    session_ = ownSession_.get();
  }

  // Timer1 is restarted only once its drawing is done, so it never fires while it draws.
  Timer1.setObjectName(QStringLiteral("Timer1"));
  tmrBass.setObjectName(QStringLiteral("tmrBass"));
  Timer1.setSingleShot(true);
  Timer1.setInterval(150);
  // On time, not moved to a round moment of the clock, so that while music plays it falls
  // due just after a tmrBass tick, which then runs it (see TmrBassTick).
  Timer1.setTimerType(Qt::PreciseTimer);
  // On time: it sleeps through quiet ticks, and a long sleep must not end a tick late.
  tmrBass.setTimerType(Qt::PreciseTimer);
  tmrBass.setSingleShot(true);
  connect(&Timer1, &QTimer::timeout, this, &frmPlayer::Timer1Tick);
  connect(&tmrBass, &QTimer::timeout, this, &frmPlayer::TmrBassTick);
}

frmPlayer::~frmPlayer() {
  session_->Shutdown();
  delete menu_;
}

QLabel* frmPlayer::MakeLabel(const char* name) {
  const ControlDesign& design = Control(name);
  auto* label = new QLabel(this);
  label->setObjectName(QString::fromUtf8(design.name));
  label->setGeometry(design.x, design.y, design.width, design.height);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->installEventFilter(this);
  if (*design.picture != '\0') {
    label->setPixmap(QPixmap::fromImage(PlayerPicture(design.picture, pixelRatio_)));
    return label;
  }
  label->setText(QString::fromUtf8(design.text));
  if (design.colour) SetTextColour(label, *design.colour);
  if (*design.tooltip != '\0') label->setToolTip(QString::fromUtf8(design.tooltip));
  if (design.font == FontKind::SongBold) {
    QFont font = ui::ProductFont();  // "宋体" 9 points
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}

void frmPlayer::CreateControls() {
  // In stacking order, bottom first: the panel lies under the spectrum box.
  Image1 = MakeLabel("Image1");
  Picture2 = MakeLabel("Picture2");
  PicSpectrum1 = MakeLabel("PicSpectrum1");
  Label2 = MakeLabel("Label2");
  Image10 = MakeLabel("Image10");
  Image7 = MakeLabel("Image7");
  lblCPU = MakeLabel("lblCPU");
  // It lies over the close button, which must take every click.
  lblCPU->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblInfo = MakeLabel("lblInfo");
  songword = MakeLabel("songword");
  lblTime = MakeLabel("lblTime");
  lblTotalTime = MakeLabel("lblTotalTime");
  Image2 = MakeLabel("Image2");
  songtitle = MakeLabel("songtitle");
  const QCursor pointer = PlayerCursor(pixelRatio_);
  for (int n = 0; n <= 10; ++n) {
    Label1[n] = MakeLabel(SongButton(n).name);
    Label1[n]->setCursor(pointer);
  }
  for (QLabel* button : {Image2, Image7, Image10}) button->setCursor(pointer);
  for (QLabel* hover : {Image1, Image2, Image7, Image10}) hover->setMouseTracking(true);

  const ControlDesign& list = Control("stdSS1");
  stdSS1 = new playlist::stdSSWidget(this);
  stdSS1->setObjectName(QStringLiteral("stdSS1"));
  stdSS1->move(list.x, list.y);
  stdSS1->SetSize(list.width, list.height);
  TaskBar1_ = std::make_unique<docking::TaskBarWindow>(this);

  Picture1 = PlayerPicture(pictures::kPlaylistSkin, pixelRatio_);
  Image3 = PlayerPicture(pictures::kNextNormal, pixelRatio_);
  Image4 = PlayerPicture(pictures::kNextHover, pixelRatio_);
  Image5 = PlayerPicture(pictures::kCloseNormal, pixelRatio_);
  Image6 = PlayerPicture(pictures::kCloseHover, pixelRatio_);
  Image8 = PlayerPicture(pictures::kMinimiseNormal, pixelRatio_);
  Image9 = PlayerPicture(pictures::kMinimiseHover, pixelRatio_);
  spectrumBackground_ = playlist::ToPixels(PlayerPicture(pictures::kSpectrum, pixelRatio_));
  // The box is shown opaque (OpaqueView), its picture too.
  for (std::uint32_t& pixel : spectrumBackground_.argb) pixel |= 0xFF000000u;
  // The bar box is drawn at the density of its background, so the bars stay sharp with it.
  const double boxRatio = spectrumBackground_.pixelRatio;
  spectrumBox_.width = qRound(PicSpectrum1->width() * boxRatio);
  spectrumBox_.height = qRound(PicSpectrum1->height() * boxRatio);
  spectrumBox_.pixelRatio = boxRatio;
}

std::optional<Message> frmPlayer::Start() {
  if (std::optional<Notice> refused = session_->Start()) return MessageFor(*refused);
  ShowFace();
  // 17. Docking; GoLeft keeps its design value.
  TaskBar1_->bar().GoBottom(true);
  TaskBar1_->bar().GoTop(true);
  TaskBar1_->bar().GoRight(true);
  Log(std::string("step 17: docking ") + (TaskBar1_->active() ? "on" : "not available on this display"));
  return std::nullopt;
}

void frmPlayer::Log(const std::string& line) const {
  if (setup_.log) setup_.log(line);
}

bool frmPlayer::Seen() const {
  return isVisible() && !isMinimized() && !(TaskBar1_ && TaskBar1_->SlidOut());
}

void frmPlayer::CheckSeen() {
  const bool seen = Seen();
  if (seen == seen_) return;
  seen_ = seen;
  if (!seen) return;
  ShowFace();
  // The ticks left the bars out while nobody could see them: these are the sound's now.
  if (!session_->face().Timer1) return;
  bars_ = session_->Bars();
  DrawBars();
}

// Compared as the session's text, so an unchanged caption costs neither a conversion nor a
// repaint; nothing is painted while nobody can see it.
void frmPlayer::SetText(QLabel* label, const std::string& text, std::string& shown) {
  if (!seen_ || text == shown) return;
  shown = text;
  label->setText(QString::fromStdString(text));
}

void frmPlayer::DrawBars() {
  if (!seen_ || drawnBars_ == bars_) return;
  DrawSpectrum(spectrumBox_, spectrumBackground_, bars_);
  if (drawnBars_) {
    PicSpectrum1->update(ChangedBars(*drawnBars_, bars_, PicSpectrum1->size()));
  } else {
    // The box covers the whole control: what lies under it need not be painted first.
    PicSpectrum1->setAttribute(Qt::WA_OpaquePaintEvent);
    PicSpectrum1->update();
  }
  drawnBars_ = bars_;
  if (setup_.log) Log("bar box drawn");
}

void frmPlayer::ShowFace() {
  const PlayerFace& face = session_->face();
  SetText(Label2, face.Label2, shown_.Label2);
  SetText(songtitle, face.songtitle, shown_.songtitle);
  SetText(songword, face.songword, shown_.songword);
  SetText(lblTime, face.lblTime, shown_.lblTime);
  SetText(lblTotalTime, face.lblTotalTime, shown_.lblTotalTime);
  SetText(lblInfo, face.lblInfo, shown_.lblInfo);
  SetText(lblCPU, face.lblCPU, shown_.lblCPU);
  for (int n = 1; n <= 10; ++n) {
    Label1[n]->setEnabled(face.Label1[n].enabled);
    SetTextColour(Label1[n], face.Label1[n].colour);
    Label1[n]->setToolTip(QString::fromStdString(face.Label1[n].tooltip));
  }
  SyncTimers();
  Q_EMIT FaceShown();
}

void frmPlayer::NextButtonClick() {
  session_->NextClick();
  ShowFace();
}

void frmPlayer::Raise() {
  if (isMinimized())
    showNormal();
  else
    show();
  TaskBar1_->BringOut();
  raise();
  activateWindow();
}

void frmPlayer::SyncTimers() {
  const PlayerFace& face = session_->face();
  if (!face.Timer1)
    Timer1.stop();
  else if (!Timer1.isActive())
    Timer1.start();
  if (!face.tmrBass) {
    tmrBass.stop();
  } else if (!tmrBass.isActive()) {
    tmrBassDue_ = std::chrono::steady_clock::now();
    StartTmrBass(1);
  } else if (tmrBass.remainingTime() > kTmrBassInterval) {
    // Asleep through quiet ticks while a click changed the song: woken on the grid's next.
    const auto period = std::chrono::milliseconds(kTmrBassInterval);
    tmrBassDue_ -= (tmrBassDue_ - std::chrono::steady_clock::now()) / period * period;
    StartTmrBass(0);
  }
}

void frmPlayer::StartTmrBass(int ticks) {
  const auto period = std::chrono::milliseconds(kTmrBassInterval);
  const auto now = std::chrono::steady_clock::now();
  tmrBassDue_ += ticks * period;
  // Ticks missed while the thread was busy are not made up, as a repeating timer's are not.
  if (tmrBassDue_ < now) tmrBassDue_ += ((now - tmrBassDue_) / period + 1) * period;
  tmrBass.start(std::chrono::ceil<std::chrono::milliseconds>(tmrBassDue_ - now));
}

void frmPlayer::Timer1Tick() {
  Timer1.stop();  // also when tmrBass's wake-up runs this tick
  // Out of sight the bars are neither asked for nor drawn (see CheckSeen).
  const Timer1Work work = session_->Timer1Tick(/*bars=*/seen_);
  SetText(lblTime, work.lblTime, shown_.lblTime);
  SetText(lblTotalTime, work.lblTotalTime, shown_.lblTotalTime);
  SetText(lblInfo, work.lblInfo, shown_.lblInfo);
  // The timer stays stopped while the bars are drawn.
  if (seen_) {
    bars_ = work.bars;
    DrawBars();
  }
  if (session_->face().Timer1) Timer1.start();
}

void frmPlayer::TmrBassTick() {
  const auto due = tmrBassDue_;  // this tick's place on the grid; SyncTimers may move it
  const TmrBassWork work = session_->TmrBassTick();
  SetText(lblCPU, work.lblCPU, shown_.lblCPU);
  if (work.songword) SetText(songword, *work.songword, shown_.songword);
  if (work.songChanged)
    ShowFace();
  else
    SyncTimers();
  // Timer1 falling due nearer to this tick than to the next of tmrBass's grid runs now: one
  // wake-up serves both.
  if (Timer1.isActive() && tmrBass.isActive() && Timer1.remainingTime() <= kTmrBassInterval / 2) Timer1Tick();
  if (!tmrBass.isActive()) return;
  if (work.endsIn) {
    // The next song starts as the last sound of this one is heard: the silence between them
    // is the sound output's start alone. A little late rather than early, or the end is
    // missed. The period runs on from that tick.
    constexpr int kPastTheEnd = 2;
    tmrBassDue_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(*work.endsIn + kPastTheEnd);
    StartTmrBass(0);
    return;
  }
  // Ticks that would change nothing are slept through: the timer wakes on the last tick
  // before anything could, with a margin for a position that leaps a little.
  constexpr int kMargin = 10;
  tmrBassDue_ = due;
  StartTmrBass(work.TicksToNext(kMargin));
}

void frmPlayer::ShowPicture(QLabel* button, const QImage& source) {
  // Only a real change is drawn: the pointer moving over the background asks every tick.
  if (button->property("source").value<qint64>() == source.cacheKey()) return;
  button->setProperty("source", source.cacheKey());
  button->setPixmap(QPixmap::fromImage(source));
}

bool frmPlayer::PressOnDragArea(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return false;
  // Where the window can place itself, it follows the pointer itself. Handing the move to the
  // window manager races the button: a move asked for once the button is already up (a quick
  // click, or a busy moment) leaves the manager moving the window until the next click, its
  // hold on the pointer keeping menus from opening and new boxes behind the window. Only where
  // a window cannot place itself (Wayland) does the window system move it.
  if (!TaskBar1_->active() && windowHandle() != nullptr && windowHandle()->startSystemMove()) return true;
  dragOffset_ = event->globalPosition().toPoint() - pos();
  return true;
}

bool frmPlayer::SongButtonEvent(int n, QEvent* event) {
  auto* mouse = static_cast<QMouseEvent*>(event);
  if (event->type() == QEvent::MouseButtonPress) {
    if (session_->SongButtonDown(n, ButtonCode(mouse->button()))) {
      if (menu_ == nullptr)
        menu_ = new FrmMenu([this] {
          Log("menu: export slot " + std::to_string(session_->exportSlot()));
          session_->Export();
        });
      menu_->Popup(mouse->globalPosition().toPoint());
    }
    return true;
  }
  if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton &&
      Inside(Label1[n], mouse)) {
    Log("song button " + std::to_string(n) + " clicked");
    session_->SongButtonClick(n);
    ShowFace();
    return true;
  }
  return false;
}

bool frmPlayer::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Paint && watched == PicSpectrum1 && drawnBars_) {
    QPainter painter(PicSpectrum1);
    painter.drawImage(0, 0, OpaqueView(spectrumBox_));
    return true;
  }
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
    return QWidget::eventFilter(watched, event);
  auto* mouse = static_cast<QMouseEvent*>(event);
  for (int n = 1; n <= 10; ++n)
    if (watched == Label1[n]) return SongButtonEvent(n, event);

  if (dragOffset_ && type == QEvent::MouseMove) {
    move(mouse->globalPosition().toPoint() - *dragOffset_);
    return true;
  }
  if (dragOffset_ && type == QEvent::MouseButtonRelease) {
    dragOffset_.reset();
    return true;
  }
  if (type == QEvent::MouseButtonPress && (watched == Image1 || watched == Label2))
    return PressOnDragArea(mouse);

  if (type == QEvent::MouseMove) {
    if (watched == Image1) {
      ShowPicture(Image2, Image3);
      ShowPicture(Image7, Image5);
      ShowPicture(Image10, Image8);
    } else if (watched == Image2) {
      ShowPicture(Image2, Image4);
    } else if (watched == Image7) {
      ShowPicture(Image7, Image6);
      ShowPicture(Image10, Image8);
    } else if (watched == Image10) {
      ShowPicture(Image10, Image9);
      ShowPicture(Image7, Image5);
    }
    return false;
  }
  if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
    QLabel* button = qobject_cast<QLabel*>(watched);
    if (button == nullptr || !Inside(button, mouse)) return false;
    if (button == Image2) {
      Log("next button clicked");
      NextButtonClick();
      return true;
    }
    if (button == Image7) {
      Log("close button clicked");
      close();
      return true;
    }
    if (button == Image10) {
      Log("minimise button clicked");
      showMinimized();
      return true;
    }
  }
  return false;
}

void frmPlayer::paintEvent(QPaintEvent*) {
  // Image1 covers all but the rows below it.
  const QRect below(0, Image1->height(), width(), height() - Image1->height());
  if (below.isEmpty()) return;
  const qreal ratio = background_.devicePixelRatio();
  QPainter(this).drawImage(
      below, background_,
      QRectF(below.x() * ratio, below.y() * ratio, below.width() * ratio, below.height() * ratio));
}

void frmPlayer::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) stdSS1->AlwaysShowScroller(false);
  if (event->type() == QEvent::WindowStateChange) CheckSeen();
  QWidget::changeEvent(event);
}

void frmPlayer::moveEvent(QMoveEvent* event) {
  CheckSeen();
  QWidget::moveEvent(event);
}

void frmPlayer::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  CheckSeen();
}

void frmPlayer::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  CheckSeen();
}

void frmPlayer::closeEvent(QCloseEvent* event) {
  if (!shutDown_) {
    shutDown_ = true;
    Timer1.stop();
    tmrBass.stop();
    session_->Shutdown();
    // 6. The process's other windows close with the player (the menu window among them).
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window != this && window->windowTitle() != windowTitle()) window->close();
    Log("window closed");
  }
  event->accept();
}

}  // namespace player
