// The desktop's media controls of the player window (offscreen, fake audio library), called
// over a private session bus (the test runs under dbus-run-session) from a connection of their
// own, as a desktop widget would.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QEventLoop>
#include <QLabel>
#include <QTest>

#include "frm_player.h"
#include "mpris.h"
#include "player_test_support.h"
#include "ui/message_box.h"

namespace fs = std::filesystem;
using player::frmPlayer;
using player_test::FakeBass;
using player_test::kBytesPerSecond;
using player_test::Title;
using testing_support::TempDir;

namespace {

const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");

class NoBoxes : public ui::MessageBoxes {
 public:
  void Show(QWidget*, const ui::Message&) override {}
};

// A desktop widget's side of the bus: calls that wait while the player's events run, and the
// PropertiesChanged signals it was sent.
class Desktop : public QObject {
  Q_OBJECT

 public:
  explicit Desktop(QString service)
      : service_(std::move(service)),
        bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"))) {
    bus_.connect(service_, QString::fromLatin1(player::kMprisObjectPath),
                 QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"), this,
                 SLOT(Changed(QDBusMessage)));
  }
  ~Desktop() override { QDBusConnection::disconnectFromBus(QStringLiteral("desktop")); }

  QDBusMessage Call(const QString& interface, const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service_, QString::fromLatin1(player::kMprisObjectPath), interface, method);
    call.setArguments(arguments);
    QDBusPendingCallWatcher watcher(bus_.asyncCall(call, 5000));
    QEventLoop loop;
    connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished()) loop.exec();
    EXPECT_NE(watcher.reply().type(), QDBusMessage::ErrorMessage)
        << method.toStdString() << ": " << watcher.reply().errorMessage().toStdString();
    return watcher.reply();
  }
  QVariant Get(const QString& interface, const QString& name) {
    QDBusMessage reply =
        Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"), {interface, name});
    return reply.arguments().value(0).value<QDBusVariant>().variant();
  }
  QVariantMap Metadata() { return qdbus_cast<QVariantMap>(Get(kPlayer, QStringLiteral("Metadata"))); }
  std::vector<QVariantMap> changes;

 public Q_SLOTS:
  void Changed(const QDBusMessage& signal) {
    if (signal.arguments().value(0).toString() == kPlayer)
      changes.push_back(qdbus_cast<QVariantMap>(signal.arguments().value(1)));
  }

 private:
  QString service_;
  QDBusConnection bus_;
};

QString TrackId(const QVariantMap& metadata) {
  return metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
}

class PlayerMpris : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    FakeBass::The() = FakeBass{};
    // Quit closes the last window; the test's own calls go on afterwards.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
  }

  frmPlayer& Open(const std::map<int, std::string>& songs) {
    frmPlayer::Setup setup;
    setup.album = player_test::MakeAlbum(dir_.path(), songs);
    setup.privateFolder = runtime_.path();
    setup.library = &library_;
    window_ = std::make_unique<frmPlayer>(setup);
    EXPECT_FALSE(window_->Start());
    window_->show();
    return *window_;
  }

  QString SongTitle() { return window_->findChild<QLabel*>(QStringLiteral("songtitle"))->text(); }

  TempDir dir_, runtime_;
  player_test::FakeLibrary library_;
  NoBoxes noBoxes_;
  ui::ScopedMessageBoxes scopedBoxes_{noBoxes_};
  std::unique_ptr<frmPlayer> window_;
};

TEST_F(PlayerMpris, DescribesThePlayingSongSkipsAsTheNextButtonAndFakesNothingElse) {
  frmPlayer& window = Open({{1, "tone1"}, {3, "tone3"}});
  std::unique_ptr<player::MediaControls> controls =
      player::OfferMediaControls(window, QDBusConnection::sessionBus(), {});
  ASSERT_EQ(controls->serviceName(), QString::fromLatin1(player::kMprisServiceName));
  Desktop desktop(controls->serviceName());

  EXPECT_EQ(desktop.Get(kRoot, QStringLiteral("Identity")).toString(), "Sonvira");
  const QString entry = desktop.Get(kRoot, QStringLiteral("DesktopEntry")).toString();
  EXPECT_TRUE(fs::exists(fs::path(SONVIRA_SOURCE_DIR) / "dist" / (entry.toStdString() + ".desktop")))
      << entry.toStdString();
  EXPECT_EQ(desktop.Get(kPlayer, QStringLiteral("PlaybackStatus")).toString(), "Playing");
  QVariantMap metadata = desktop.Metadata();
  EXPECT_EQ(TrackId(metadata), "/org/sonvira/song/1");
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QString::fromStdString(Title(1)));
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("专辑"));
  EXPECT_EQ(metadata.value(QStringLiteral("mpris:length")).toLongLong(), 10'000'000);
  FakeBass::The().Current()->position = 5 * kBytesPerSecond / 2;
  EXPECT_EQ(desktop.Get(kPlayer, QStringLiteral("Position")).toLongLong(), 2'500'000);

  // A player that plays can play; what it cannot do is refused as a property. Either changes
  // nothing when called.
  EXPECT_TRUE(desktop.Get(kPlayer, QStringLiteral("CanPlay")).toBool());
  for (const char* can : {"CanPause", "CanGoPrevious", "CanSeek"})
    EXPECT_FALSE(desktop.Get(kPlayer, QString::fromLatin1(can)).toBool()) << can;
  for (const char* method : {"Pause", "PlayPause", "Stop", "Play", "Previous"})
    desktop.Call(kPlayer, QString::fromLatin1(method));
  desktop.Call(kPlayer, QStringLiteral("Seek"), {qlonglong(-2'000'000)});
  desktop.Call(kPlayer, QStringLiteral("SetPosition"),
               {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/sonvira/song/1"))), qlonglong(0)});
  desktop.Call(
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
      {kPlayer, QStringLiteral("LoopStatus"), QVariant::fromValue(QDBusVariant(QStringLiteral("None")))});
  EXPECT_EQ(desktop.Get(kPlayer, QStringLiteral("LoopStatus")).toString(), "Playlist");
  EXPECT_EQ(FakeBass::The().streams.size(), 1u);
  EXPECT_EQ(FakeBass::The().PlayingFile(), "1.mp3");
  EXPECT_EQ(FakeBass::The().Current()->position, 5 * kBytesPerSecond / 2);
  EXPECT_EQ(desktop.Get(kPlayer, QStringLiteral("PlaybackStatus")).toString(), "Playing");
  EXPECT_TRUE(desktop.changes.empty());

  // Next: the second entry of the album, slot 3, as the next button plays it; the desktop is told.
  EXPECT_TRUE(desktop.Get(kPlayer, QStringLiteral("CanGoNext")).toBool());
  desktop.Call(kPlayer, QStringLiteral("Next"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop.changes.empty(); }));
  EXPECT_EQ(FakeBass::The().PlayingFile(), "3.mp3");
  EXPECT_EQ(SongTitle(), QString::fromStdString("[" + Title(3) + "]"));
  EXPECT_EQ(desktop.changes.size(), 1u);
  EXPECT_EQ(TrackId(qdbus_cast<QVariantMap>(desktop.changes[0].value(QStringLiteral("Metadata")))),
            "/org/sonvira/song/3");
  EXPECT_EQ(TrackId(desktop.Metadata()), "/org/sonvira/song/3");
  QTest::mouseClick(window.findChild<QLabel*>(QStringLiteral("Image2")), Qt::LeftButton);  // the button wraps
  EXPECT_EQ(TrackId(desktop.Metadata()), "/org/sonvira/song/1");
  EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.changes.size() == 2; }));

  window.showMinimized();
  desktop.Call(kRoot, QStringLiteral("Raise"));
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.isMinimized());

  // Quit closes the window as its close button does: the unpacked songs go.
  const fs::path unpacked = window.session().systemFolder();
  ASSERT_TRUE(fs::exists(unpacked / "1.mp3"));
  desktop.Call(kRoot, QStringLiteral("Quit"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
  EXPECT_FALSE(fs::exists(unpacked));
}

TEST(PlayerMprisMetadata, TitleAndAlbumShowTheirControlCharactersEscaped) {
  const QVariantMap metadata = player::MprisMetadata({true, 1, "歌\x1B]0;x\x07", "专\t辑", 1.0, 1});
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("歌\\x1B]0;x\\x07"));
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("专\\x09辑"));
}

TEST_F(PlayerMpris, ASecondAlbumTakesAnInstanceNameAndWithoutABusNothingIsOffered) {
  frmPlayer& window = Open({{1, "tone1"}});
  auto first = player::OfferMediaControls(window, QDBusConnection::sessionBus(), {});
  QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
  auto second = player::OfferMediaControls(window, other, {});
  EXPECT_EQ(first->serviceName(), QString::fromLatin1(player::kMprisServiceName));
  EXPECT_EQ(
      second->serviceName(),
      QStringLiteral("%1.instance%2").arg(QString::fromLatin1(player::kMprisServiceName)).arg(::getpid()));
  second.reset();
  QDBusConnection::disconnectFromBus(QStringLiteral("other"));

  std::string logged;
  QDBusConnection none =
      QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("none"));
  auto unavailable =
      player::OfferMediaControls(window, none, [&](const std::string& line) { logged += line; });
  EXPECT_TRUE(unavailable->serviceName().isEmpty());
  EXPECT_NE(logged.find("no session bus"), std::string::npos) << logged;
  window.NextButtonClick();  // the window goes on as before
  EXPECT_EQ(FakeBass::The().PlayingFile(), "1.mp3");
}

}  // namespace

#include "player_mpris_test.moc"
