#pragma once
// Desktop media controls: the player offers the MPRIS 2 interfaces org.mpris.MediaPlayer2 and
// org.mpris.MediaPlayer2.Player on the session bus, as /org/mpris/MediaPlayer2 under the name
// org.mpris.MediaPlayer2.sonvira (or org.mpris.MediaPlayer2.sonvira.instance<pid> while
// another album holds that name). Desktop widgets, media keys and playerctl then show the
// song and skip to the next one. The player has no pause, stop, previous song or seeking, and
// says so (CanPause false and so on); CanPlay is true while a song plays.
//
// MprisMetadata and MprisPlaybackStatus say what the interfaces report for a state of the
// player; MediaControls serves them on a bus and tells the desktop when they change. Everything
// runs on the user-interface thread.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <string>

#include "player/player_session.h"

namespace player {

class frmPlayer;

inline constexpr char kMprisObjectPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char kMprisServiceName[] = "org.mpris.MediaPlayer2.sonvira";

// mpris:trackid (an object path per song slot, /org/sonvira/song/<slot>), xesam:title,
// xesam:album (both with their control characters escaped as "\xNN") and mpris:length
// (microseconds). Before the first song: only the track id, the MPRIS "no track" path.
QVariantMap MprisMetadata(const NowPlaying& now);
// "Playing" while a song plays, else "Stopped" (the player cannot pause).
QString MprisPlaybackStatus(const NowPlaying& now);

// What the controls report and act on. Every function is set.
struct MediaPlayerHooks {
  std::function<NowPlaying()> nowPlaying;
  std::function<double()> position;  // seconds into the song
  std::function<void()> next;        // as the next button
  std::function<void()> raise;
  std::function<void()> quit;  // as the close button; called once the caller has its answer
};

class MediaControls : public QObject {
  Q_OBJECT

 public:
  // Serves the interfaces on `bus` when it is connected and a name can be had; `log` (may be
  // empty) gets a line saying which name, or why none.
  MediaControls(MediaPlayerHooks hooks, QDBusConnection bus, std::function<void(const std::string&)> log);
  ~MediaControls() override;

  // The bus name taken; empty when the controls are not offered.
  const QString& serviceName() const { return serviceName_; }
  // Reads the player's state again and signals PropertiesChanged for what differs.
  void Update();

  const NowPlaying& now() const { return now_; }
  MediaPlayerHooks& hooks() { return hooks_; }

 private:
  MediaPlayerHooks hooks_;
  QDBusConnection bus_;
  QString serviceName_;
  NowPlaying now_;
};

// The controls of `window`, updated whenever the window shows a new face.
std::unique_ptr<MediaControls> OfferMediaControls(frmPlayer& window, QDBusConnection bus,
                                                  std::function<void(const std::string&)> log);

}  // namespace player
