#include "player_app.h"

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "frm_player.h"
#include "mpris.h"
#include "platform/folders.h"
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

int RunPlayer(const PlayerOptions& options, int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  std::function<void(const std::string&)> log;
  if (options.verbose) {
    // Titles, lyric lines and paths come from the album: the terminal shows their control
    // characters instead of obeying them.
    log = [&clock](const std::string& line) {
      std::fprintf(stderr, "sonvira %8.3f %s\n", static_cast<double>(clock.nsecsElapsed()) / 1e9,
                   platform::EscapeControls(line).c_str());
    };
  }
  std::unique_ptr<AudioLibrary> library = CarriedAudioLibrary();
  auto privateFolder = platform::PrivateFolder();
  // The first song is heard before Qt and the window are built, which takes longer than
  // everything the sound needs; the window then takes the session over as it stands.
  std::optional<PlayerSession> session;
  std::optional<Notice> refused;
  if (privateFolder) {
    PlayerSession::Setup early;
    early.album = options.album.value_or(platform::ProgramFile());
    early.privateFolder = privateFolder.value();
    early.library = library.get();
    early.log = log;
    session.emplace(std::move(early));
    refused = session->StartSound();
  } else {
    refused = Notice{NoticeKind::StartupRefused, privateFolder.error()};
  }

  // The window repaints a few small rectangles several times a second. Through shared memory
  // each repaint waits for the X server to answer first; sent in the request itself, a small
  // rectangle costs less than that round trip. A user's own choice stands.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication app(argc, argv);
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
  setup.privateFolder = privateFolder.value();
  setup.library = library.get();
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
