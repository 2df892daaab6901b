#include "mpris.h"

#include <unistd.h>

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <cmath>

#include "frm_player.h"
#include "platform/text.h"

namespace player {
namespace {

constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

// A title or album name as a desktop widget or a terminal may show it: its control characters
// written out, not obeyed.
QString Shown(const std::string& name) {
  return QString::fromStdString(platform::EscapeControls(name));
}

qlonglong Microseconds(double seconds) {
  return static_cast<qlonglong>(std::llround(seconds * 1e6));
}

// The adaptors only forward to MediaControls, which they are attached to.
//
// What the player cannot do (pause, stop, previous song, seeking, opening a URI) is answered as
// a call that changes nothing, not as an error: that is what MPRIS asks of a player whose
// CanPause, CanGoPrevious or CanSeek is false, and what desktop widgets expect when they send a
// media key to every player. A player that plays can play (CanPlay), and Play and PlayPause
// change nothing then; clients such as playerctl pass over a player that cannot.
class RootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  explicit RootAdaptor(MediaControls* controls) : QDBusAbstractAdaptor(controls), controls_(controls) {}

  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const { return QStringLiteral("Sonvira"); }
  QString DesktopEntry() const { return QStringLiteral("sonvira"); }  // dist/sonvira.desktop
  QStringList SupportedUriSchemes() const { return {}; }
  QStringList SupportedMimeTypes() const { return {}; }

 public Q_SLOTS:
  void Raise() { controls_->hooks().raise(); }
  // The window closes after this call is answered, so the caller does not see the player
  // vanish in the middle of it.
  void Quit() {
    QTimer::singleShot(0, controls_, [controls = controls_] { controls->hooks().quit(); });
  }

 private:
  MediaControls* controls_;
};

class PlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  // The album repeats and nothing else can be chosen: writes are taken and ignored.
  Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ No)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ No)
  Q_PROPERTY(bool CanSeek READ No)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  explicit PlayerAdaptor(MediaControls* controls) : QDBusAbstractAdaptor(controls), controls_(controls) {}

  QString PlaybackStatus() const { return MprisPlaybackStatus(controls_->now()); }
  QString LoopStatus() const { return QStringLiteral("Playlist"); }
  void SetLoopStatus(const QString&) {}
  double Rate() const { return 1.0; }
  void SetRate(double) {}
  bool Shuffle() const { return false; }
  void SetShuffle(bool) {}
  double Volume() const { return 1.0; }
  void SetVolume(double) {}
  QVariantMap Metadata() const { return MprisMetadata(controls_->now()); }
  qlonglong Position() const { return Microseconds(controls_->hooks().position()); }
  bool CanGoNext() const { return controls_->now().songCount > 0; }
  bool CanPlay() const { return controls_->now().playing; }
  bool No() const { return false; }
  bool CanControl() const { return true; }

 public Q_SLOTS:
  void Next() { controls_->hooks().next(); }
  void Previous() {}
  void Pause() {}
  void PlayPause() {}
  void Stop() {}
  void Play() {}
  void Seek(qlonglong) {}
  void SetPosition(const QDBusObjectPath&, qlonglong) {}
  void OpenUri(const QString&) {}

 Q_SIGNALS:
  // Never sent: nothing seeks. Declared because the interface has it.
  void Seeked(qlonglong Position);

 private:
  MediaControls* controls_;
};

}  // namespace

QVariantMap MprisMetadata(const NowPlaying& now) {
  if (now.slot == 0)
    return {
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
  QVariantMap metadata{
      {QStringLiteral("mpris:trackid"),
       QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/sonvira/song/%1").arg(now.slot)))},
      {QStringLiteral("xesam:title"), Shown(now.title)},
  };
  if (!now.album.empty()) metadata.insert(QStringLiteral("xesam:album"), Shown(now.album));
  if (now.length > 0) metadata.insert(QStringLiteral("mpris:length"), Microseconds(now.length));
  return metadata;
}

QString MprisPlaybackStatus(const NowPlaying& now) {
  return now.playing ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

MediaControls::MediaControls(MediaPlayerHooks hooks, QDBusConnection bus,
                             std::function<void(const std::string&)> log)
    : hooks_(std::move(hooks)), bus_(std::move(bus)), now_(hooks_.nowPlaying()) {
  auto say = [&log](const std::string& line) {
    if (log) log("media controls: " + line);
  };
  if (!bus_.isConnected()) {
    say("no session bus (" + bus_.lastError().message().toStdString() + ")");
    return;
  }
  new RootAdaptor(this);
  new PlayerAdaptor(this);
  if (!bus_.registerObject(QString::fromLatin1(kMprisObjectPath), this, QDBusConnection::ExportAdaptors)) {
    say("the object path is taken");
    return;
  }
  // Several albums may play at once: the second takes a name of its own, as MPRIS suggests.
  QString name = QString::fromLatin1(kMprisServiceName);
  if (!bus_.registerService(name)) name += QStringLiteral(".instance%1").arg(::getpid());
  if (!bus_.registerService(name)) {
    say("no bus name (" + bus_.lastError().message().toStdString() + ")");
    bus_.unregisterObject(QString::fromLatin1(kMprisObjectPath));
    return;
  }
  serviceName_ = name;
  say("offered as " + name.toStdString());
}

MediaControls::~MediaControls() {
  if (serviceName_.isEmpty()) return;
  bus_.unregisterService(serviceName_);
  bus_.unregisterObject(QString::fromLatin1(kMprisObjectPath));
}

void MediaControls::Update() {
  NowPlaying now = hooks_.nowPlaying();
  if (now == now_) return;
  QVariantMap changed;
  const bool songChanged = now.slot != now_.slot || now.title != now_.title || now.album != now_.album ||
                           now.length != now_.length;
  if (songChanged) changed.insert(QStringLiteral("Metadata"), MprisMetadata(now));
  if (now.playing != now_.playing) {
    changed.insert(QStringLiteral("PlaybackStatus"), MprisPlaybackStatus(now));
    changed.insert(QStringLiteral("CanPlay"), now.playing);
  }
  if ((now.songCount > 0) != (now_.songCount > 0))
    changed.insert(QStringLiteral("CanGoNext"), now.songCount > 0);
  now_ = std::move(now);
  if (changed.isEmpty() || serviceName_.isEmpty()) return;
  QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kMprisObjectPath),
                                                   QStringLiteral("org.freedesktop.DBus.Properties"),
                                                   QStringLiteral("PropertiesChanged"));
  signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
  bus_.send(signal);
}

std::unique_ptr<MediaControls> OfferMediaControls(frmPlayer& window, QDBusConnection bus,
                                                  std::function<void(const std::string&)> log) {
  MediaPlayerHooks hooks;
  hooks.nowPlaying = [&window] { return window.session().nowPlaying(); };
  hooks.position = [&window] { return window.session().playingPosition(); };
  hooks.next = [&window] { window.NextButtonClick(); };
  hooks.raise = [&window] { window.Raise(); };
  hooks.quit = [&window] { window.close(); };
  auto controls = std::make_unique<MediaControls>(std::move(hooks), std::move(bus), std::move(log));
  QObject::connect(&window, &frmPlayer::FaceShown, controls.get(), &MediaControls::Update);
  return controls;
}

}  // namespace player

#include "mpris.moc"
