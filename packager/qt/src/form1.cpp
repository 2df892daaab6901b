#include "packager/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "packager/gradient_hscroll_widget.h"
#include "packager/words.h"
#include "packager/qt_file_dialogs.h"
#include "platform/property_store.h"
#include "ui/error_text.h"
#include "ui/fonts.h"
#include "ui/paths.h"
#include "ui/pictures.h"
#include "ui/twips.h"

// The window's pictures and cursor. Q_INIT_RESOURCE cannot stand inside a namespace.
static void InitPakrelResources() {
  Q_INIT_RESOURCE(pakrel);
}

namespace packager {
namespace {

using ui::Px;
using ui::TwipsRect;

constexpr int kClientWidth = 10290;
constexpr int kClientHeight = 5400;
constexpr int kRowTops[10] = {960, 1320, 1650, 2040, 2400, 2730, 3090, 3450, 3810, 4170};
constexpr int kRowHeight = 315;
// Pulled down to its full height, the window shows the description box below the design area.
constexpr int kTallClientHeight = 9165;

const QColor kBackground(235, 233, 237);
const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kOrange(255, 128, 0);
const QColor kYellow(255, 255, 0);
const QColor kMagenta(255, 0, 255);
const QColor kGrey(192, 192, 192);

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::Text, colour);
  widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                  const QColor& colour) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  SetTextColour(label, colour);
  label->move(Px(left), Px(top));
  label->adjustSize();
  return label;
}

// The design settings of the progress bar, as the window stores them.
platform::MemoryPropertyStore ProgressBarDesign() {
  return platform::MemoryPropertyStore{{"Max", 50},       {"Value", 50},     {"Step", 10},        {"StartBlue", 150},
                             {"EndRed", 0},     {"EndGreen", 0},   {"EndBlue", 150},    {"BoxRed", 0},
                             {"BoxGreen", 0},   {"BoxBlue", 200},  {"BackRed", 235},    {"BackGreen", 233},
                             {"BackBlue", 237}, {"BarVisible", 0}, {"ScrollEnabled", 0}};
}

// The window's pictures, drawn for the screen's density (see ui/pictures.h).
QPixmap PackagerPicture(const char* name) {
  return QPixmap::fromImage(
      ui::LoadPicture(QStringLiteral(":/packager/") + QString::fromLatin1(name), ui::ScreenPixelRatio()));
}

QCursor PackagerCursor() {
  return ui::LoadCursor(QStringLiteral(":/packager/packager_cursor.png"), QPoint(1, 1),
                        ui::ScreenPixelRatio(), Qt::PointingHandCursor);
}

}  // namespace

ui::Message NoticeMessage(const PackagerWorkflow::Notice& notice) {
  return ui::ToMessage(NoticeBox(notice, QCoreApplication::applicationName().toStdString()));
}

QString Form1::OwnFolderNote() { return ui::FromUtf8(packager::OwnFolderNote()); }

QString Form1::OtherFolderNote(const QString& folder) {
  return ui::FromUtf8(packager::OtherFolderNote(ui::ToUtf8(folder)));
}

Form1::Form1(Setup setup, QWidget* parent) : QWidget(parent), setup_(std::move(setup)) {
  InitPakrelResources();
  if (!setup_.dialogs) {
    ownDialogs_ = std::make_unique<QtFileDialogs>(this);
    setup_.dialogs = ownDialogs_.get();
  }
  if (!setup_.openUrl) setup_.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  PackagerWorkflow::Ui& ui = *this;
  workflow_ = std::make_unique<PackagerWorkflow>(ui, *setup_.dialogs, setup_.players, setup_.outputFolder);

  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Pakrel"));
  setFont(ui::ProductFont());
  setMinimumSize(Px(kClientWidth), Px(kClientHeight));
  setMaximumSize(Px(kClientWidth), Px(kTallClientHeight));
  resize(Px(kClientWidth), Px(kClientHeight));
  setAutoFillBackground(true);
  SetBackground(kBackground);
  setMouseTracking(true);
  CreateControls();
  Refresh();
}

Form1::~Form1() = default;

void Form1::CreateControls() {
  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(TwipsRect(0, 50, 2025, 5310));
  Image1->setPixmap(PackagerPicture("packager_banner.png"));

  Label1 = MakeLabel(this, "Label1", QStringLiteral("专辑名称"), 2190, 240, kGreen);

  Text1 = new QLineEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setGeometry(TwipsRect(3090, 120, 6435, 285));
  connect(Text1, &QLineEdit::textEdited, this,
          [this](const QString& text) { workflow_->SetAlbumName(ui::ToUtf8(text)); });

  Label2 = MakeLabel(this, "Label2", QStringLiteral("音乐列表："), 2070, 630, kBlue);
  Label4 = MakeLabel(this, "Label4", QStringLiteral("请选择音乐和相应的歌词LRC文件，最多可集合10首歌曲   "),
                     3360, 600, Qt::black);

  QWidget* previous = Text1;
  for (int row = 0; row < 10; ++row) {
    const int top = kRowTops[row];
    auto makeBox = [&](int i, int left) {
      auto* box = new QLineEdit(this);
      box->setObjectName(QStringLiteral("Text2(%1)").arg(i));
      box->setGeometry(TwipsRect(left, top, 3075, kRowHeight));
      connect(box, &QLineEdit::textEdited, this,
              [this, i](const QString& text) { workflow_->SetText2(i, ui::ToPath(text)); });
      return box;
    };
    auto makeButton = [&](const char* array, const QString& caption, int left) {
      auto* button = new QPushButton(caption, this);
      button->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(row));
      button->setGeometry(TwipsRect(left, top, 885, kRowHeight));
      return button;
    };
    Text2[row + 1] = makeBox(row + 1, 2100);
    Command1[row] = makeButton("Command1", QStringLiteral("音乐%1").arg(row + 1), 5280);
    Text2[row + 11] = makeBox(row + 11, 6240);
    Command2[row] = makeButton("Command2", QStringLiteral("歌词%1").arg(row + 1), 9360);
    connect(Command1[row], &QPushButton::clicked, this, [this, row] { workflow_->ChooseSong(row); });
    connect(Command2[row], &QPushButton::clicked, this, [this, row] { workflow_->ChooseLyrics(row); });
    for (QWidget* next : {static_cast<QWidget*>(Text2[row + 1]), static_cast<QWidget*>(Command1[row]),
                          static_cast<QWidget*>(Text2[row + 11]), static_cast<QWidget*>(Command2[row])}) {
      setTabOrder(previous, next);
      previous = next;
    }
  }

  Command3 = new QPushButton(QStringLiteral("开始打包成EXE"), this);
  Command3->setObjectName(QStringLiteral("Command3"));
  Command3->setGeometry(TwipsRect(2160, 4560, 1605, 585));
  {
    QPalette palette = Command3->palette();
    palette.setColor(QPalette::Button, kGrey);
    Command3->setPalette(palette);
  }
  Command3->setCursor(PackagerCursor());
  Command3->setMouseTracking(true);
  Command3->installEventFilter(this);
  connect(Command3, &QPushButton::clicked, this, [this] { workflow_->Build(); });

  Command4 = new QPushButton(QStringLiteral("退出程序"), this);
  Command4->setObjectName(QStringLiteral("Command4"));
  Command4->setGeometry(TwipsRect(9120, 4560, 1095, 615));
  connect(Command4, &QPushButton::clicked, this, &QWidget::close);
  setTabOrder(previous, Command3);
  setTabOrder(Command3, Command4);

  // The note's box starts under the build button and runs under the quit button, so its text
  // is kept to the free space between them; a dark edge keeps the yellow readable on the light
  // background.
  Label6 = new QLabel(this);
  Label6->setObjectName(QStringLiteral("Label6"));
  SetTextColour(Label6, kYellow);
  Label6->setGeometry(TwipsRect(2760, 4590, 7695, 225));
  Label6->setAlignment(Qt::AlignCenter);
  ShowCompletionNote();
  auto* edge = new QGraphicsDropShadowEffect(Label6);
  edge->setOffset(1, 1);
  edge->setBlurRadius(0);
  edge->setColor(QColor(60, 60, 60));
  Label6->setGraphicsEffect(edge);
  Label6->hide();
  Label6->lower();

  Label5 = new QLabel(QStringLiteral("欢迎访问本程序的说明页"), this);
  Label5->setObjectName(QStringLiteral("Label5"));
  SetTextColour(Label5, kBlue);
  Label5->setGeometry(TwipsRect(5040, 4920, 2610, 180));
  Label5->setCursor(PackagerCursor());
  Label5->setMouseTracking(true);
  Label5->installEventFilter(this);

  // Right of the link, above the progress bar: the one free spot that covers no control.
  cboTarget = new QComboBox(this);
  cboTarget->setObjectName(QStringLiteral("cboTarget"));
  cboTarget->setGeometry(TwipsRect(7770, 4860, 1260, 300));
  cboTarget->addItem(QStringLiteral("Windows"), static_cast<int>(Target::Windows));
  cboTarget->addItem(QStringLiteral("Linux"), static_cast<int>(Target::Linux));
  cboTarget->setToolTip(QStringLiteral("专辑在哪个系统上播放"));
  cboTarget->setVisible(workflow_->Carries(Target::Windows) && workflow_->Carries(Target::Linux));
  connect(cboTarget, &QComboBox::activated, this, [this](int index) {
    workflow_->SetAlbumTarget(static_cast<Target>(cboTarget->itemData(index).toInt()));
  });

  Percent2 = new GradientHScrollWidget(this);
  Percent2->setObjectName(QStringLiteral("Percent2"));
  Percent2->Place(QPoint(Px(2280), Px(5160)), Px(225));
  Percent2->bar().ReadProperties(ProgressBarDesign());
  Percent2->hide();

  // Below the client area, out of sight: the description and a second picture.
  Label3 = MakeLabel(this, "Label3", QStringLiteral("专辑说明"), 1980, 6180, kOrange);
  rtfOutput = new QPlainTextEdit(this);
  rtfOutput->setObjectName(QStringLiteral("rtfOutput"));
  rtfOutput->setGeometry(TwipsRect(150, 5460, 1995, 3555));
  {
    QPalette palette = rtfOutput->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, kBlue);
    rtfOutput->setPalette(palette);
  }
  rtfOutput->setPlainText(ui::FromUtf8(workflow_->Description()));
  // Out of sight at the design size, so nobody should type into it by tabbing there blindly.
  rtfOutput->setFocusPolicy(Qt::ClickFocus);
  connect(rtfOutput, &QPlainTextEdit::textChanged, this,
          [this] { workflow_->SetDescription(ui::ToUtf8(rtfOutput->toPlainText())); });
  // The label's box starts inside the description box's right edge; its text starts clear of it.
  Label3->setContentsMargins(std::max(0, rtfOutput->geometry().right() + 4 - Label3->x()), 0, 0, 0);
  Label3->adjustSize();
  Image2 = new QLabel(this);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image2->setPixmap(PackagerPicture("packager_image2.png"));
  Image2->move(Px(2460), Px(5460));
  Image2->adjustSize();

  // Text1 comes first in the tab order; the window hands it the focus when activated.
  setTabOrder(Text1, Text2[1]);
  Text1->setFocus();
}

void Form1::ShowCompletionNote() {
  constexpr int kGap = 4;
  const QRect note = Label6->geometry();
  const int left = std::max(0, Command3->geometry().right() + 1 + kGap - note.left());
  const int right = std::max(0, note.right() + 1 - (Command4->geometry().left() - kGap));
  Label6->setContentsMargins(left, 0, right, 0);
  const int room = note.width() - left - right;
  const QFontMetrics metrics = Label6->fontMetrics();
  QString full = setup_.completionNote;
  QString shown = metrics.elidedText(full, Qt::ElideRight, room);
  if (!setup_.completionFolder.isEmpty()) {
    // The folder's own name is at its end, so the middle of the path gives way first.
    full = OtherFolderNote(setup_.completionFolder);
    const int rest = metrics.horizontalAdvance(OtherFolderNote(QString()));
    shown = OtherFolderNote(metrics.elidedText(setup_.completionFolder, Qt::ElideMiddle, std::max(0, room - rest)));
  }
  Label6->setText(shown);
  Label6->setToolTip(full);
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!workflow_->CloseRequested()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void Form1::resizeEvent(QResizeEvent* event) {
  // The description box can be reached by Tab only once it is in sight.
  const bool shown = rtfOutput && rect().contains(rtfOutput->geometry());
  if (rtfOutput) rtfOutput->setFocusPolicy(shown ? Qt::StrongFocus : Qt::ClickFocus);
  QWidget::resizeEvent(event);
}

void Form1::SetBackground(const QColor& colour) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, colour);
  setPalette(palette);
}

void Form1::SetLinkColour(const QColor& colour) {
  if (Label5->palette().color(QPalette::WindowText) != colour) SetTextColour(Label5, colour);
}

void Form1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Text1->setFocus();
  QWidget::changeEvent(event);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
  // Only the bare window turns the link blue again; moves over the other controls do not.
  if (childAt(event->position().toPoint()) == nullptr) SetLinkColour(kBlue);
  QWidget::mouseMoveEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  const bool move = event->type() == QEvent::MouseMove || event->type() == QEvent::Enter;
  if (watched == Label5) {
    if (move) SetLinkColour(kRed);
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        Label5->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
      OpenLink();
  } else if (watched == Command3 && move) {
    // The window turns magenta under the build button and stays so.
    SetBackground(kMagenta);
  }
  return QWidget::eventFilter(watched, event);
}

void Form1::OpenLink() {
  // A page that is not there would otherwise open nothing, without a word.
  if (setup_.link.isLocalFile() && !QFileInfo::exists(setup_.link.toLocalFile())) {
    ui::ShowMessage(
        this, ui::MessageFor({platform::ErrorKind::NotFound, ui::ToPath(setup_.link.toLocalFile()).string()},
                             ui::MissingPage()));
    return;
  }
  if (!setup_.openUrl(setup_.link)) {
    const QString page = setup_.link.isLocalFile() ? setup_.link.toLocalFile() : setup_.link.toString();
    ui::ShowMessage(this, ui::NoOpenerFor(page));
  }
}

void Form1::Tell(const PackagerWorkflow::Notice& notice) {
  ui::ShowMessage(this, NoticeMessage(notice));
}

bool Form1::AskStopBuild() {
  return ui::Ask(this, ui::StopBuildQuestion());
}

void Form1::Close() {
  close();
}

void Form1::Progress(bool visible, int value) {
  Percent2->setVisible(visible);
  Percent2->bar().Value(value);
  QApplication::processEvents();
}

void Form1::Refresh() {
  auto show = [](QLineEdit* box, const QString& text) {
    if (box->text() != text) box->setText(text);
  };
  show(Text1, ui::FromUtf8(workflow_->AlbumName()));
  for (int i = 1; i <= 20; ++i) show(Text2[i], ui::ToQString(workflow_->Text2(i)));
  Command3->setEnabled(!workflow_->Building());
  if (cboTarget) {
    cboTarget->setCurrentIndex(cboTarget->findData(static_cast<int>(workflow_->AlbumTarget())));
    cboTarget->setEnabled(!workflow_->Building());
  }
  Label6->setVisible(workflow_->CompletionNoteVisible());
}

}  // namespace packager
