#include "player_app.h"

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "frm_player.h"
#include "mpris.h"
#include "platform/text.h"
#include "ui/message_box.h"
#include "ui/translations.h"

namespace player {
namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  ssize_t written = ::write(signalPipe[1], &byte, 1);
  static_cast<void>(written);  // nothing to do from a signal handler when the pipe is full
}

// Ctrl-C, a kill or a closed terminal close the window as the close button does, so the
// unpacked songs are deleted (the audio library installs handlers of its own when it starts,
// so these go in after start-up).
void CloseOnSignals(QWidget& window) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] { window.close(); });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

// The refusal on stderr as well, one line per line of the box, a path in it escaped.
void PrintRefusal(const QString& text) {
  for (QString line : text.split(u'\n')) {
    if (line.endsWith(u'\r')) line.chop(1);
    std::fprintf(stderr, "sonvira: %s\n", platform::EscapeControls(line.toStdString()).c_str());
  }
}

}  // namespace

int RunWindow(WindowStart& start) {
  const std::function<void(const std::string&)>& log = start.log;
  std::optional<PlayerSession>& session = *start.session;
  const std::optional<Notice>& refused = start.refused;

  // The window repaints a few small rectangles several times a second. Through shared memory
  // each repaint waits for the X server to answer first; sent in the request itself, a small
  // rectangle costs less than that round trip. A user's own choice stands.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication app(start.argc, start.argv);
  QApplication::setApplicationName(QStringLiteral("Sonvira"));
  ui::LoadQtTranslations(app);
  if (log) log("application ready");
  if (refused) {
    const Message message = MessageFor(*refused);
    PrintRefusal(message.text);
    ui::ShowMessage(nullptr, message);
    return 1;
  }

  frmPlayer::Setup setup;
  setup.album = session->albumImagePath();
  setup.privateFolder = start.privateFolder;
  setup.library = start.library;
  setup.log = log;
  setup.session = &*session;
  int status = 1;
  {
    frmPlayer window(setup);
    if (std::optional<Message> stopped = window.Start()) {
      PrintRefusal(stopped->text);
      ui::ShowMessage(nullptr, *stopped);
    } else {
      // Centred: a window opened at a screen edge would dock and slide away at once.
      if (QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
      CloseOnSignals(window);
      window.show();
      if (log) log("window shown");
      // Without a session bus the player runs as before, without the desktop's media controls.
      std::unique_ptr<MediaControls> controls =
          OfferMediaControls(window, QDBusConnection::sessionBus(), log);
      status = app.exec();
    }
  }
  return status;
}

}  // namespace player
