#pragma once
// frmPlayer: the player's skinned window, captioned "Sonvira", 253 x 185 pixels, frameless and
// colour-keyed. It builds its controls from the layout table, shows the face of its
// PlayerSession after every call, runs the two timers and turns input into the session's
// calls. Controls keep their names as object names ("songtitle", "Label1(3)"), so tests find
// them with findChild.

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <memory>
#include <optional>

#include "player/player_session.h"
#include "words.h"

class QLabel;

namespace docking {
class TaskBarWindow;
}
namespace playlist {
class stdSSWidget;
}

namespace player {

class FrmMenu;

class frmPlayer : public QWidget {
  Q_OBJECT

 public:
  struct Setup {
    std::filesystem::path album;
    std::filesystem::path privateFolder;
    AudioLibrary* library = nullptr;  // outlives the window
    std::function<void(const std::string&)> log;
    // A session whose sound was started before the window was built (StartSound), which
    // outlives the window; without one the window makes its own from the fields above.
    PlayerSession* session = nullptr;
  };

  explicit frmPlayer(Setup setup);
  ~frmPlayer() override;

  // Start-up (steps 1 to 17). A message: show it and end; nothing of this run is left.
  std::optional<Message> Start();

  PlayerSession& session() { return *session_; }
  FrmMenu* menu() const { return menu_; }
  docking::TaskBarWindow& TaskBar1() { return *TaskBar1_; }

  // The next button's click; the desktop's media controls skip through it too.
  void NextButtonClick();
  // Shows the window, restored, out of its hiding place at a screen edge, and activates it.
  void Raise();

 Q_SIGNALS:
  // The labels and the session's state were brought up to date: a song may have changed.
  void FaceShown();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  QLabel* MakeLabel(const char* name);
  void ShowFace();
  // Whether anyone can see the window: shown, not minimized, not slid out at an edge.
  bool Seen() const;
  // Paints what changed while nobody could see the window, once it can be seen again. Called
  // by the events that change Seen(), not by the ticks: asking costs a look at the screen.
  void CheckSeen();
  void SetText(QLabel* label, const std::string& text, std::string& shown);
  void DrawBars();
  void SyncTimers();
  // Starts tmrBass for its tick `ticks` periods after the one due last, on the grid its
  // ticks keep however late each runs.
  void StartTmrBass(int ticks);
  void Timer1Tick();
  void TmrBassTick();
  void ShowPicture(QLabel* button, const QImage& source);
  bool PressOnDragArea(QMouseEvent* event);
  bool SongButtonEvent(int n, QEvent* event);
  void Log(const std::string& line) const;

  Setup setup_;
  // The screen density the pictures are chosen for (see ui/pictures.h).
  qreal pixelRatio_ = 1;
  std::unique_ptr<PlayerSession> ownSession_;
  PlayerSession* session_ = nullptr;
  FrmMenu* menu_ = nullptr;

  QLabel* Image1 = nullptr;
  QLabel* Picture2 = nullptr;
  QLabel* PicSpectrum1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Image10 = nullptr;
  QLabel* Image7 = nullptr;
  QLabel* lblCPU = nullptr;
  QLabel* lblInfo = nullptr;
  QLabel* songword = nullptr;
  QLabel* lblTime = nullptr;
  QLabel* lblTotalTime = nullptr;
  QLabel* Image2 = nullptr;
  QLabel* songtitle = nullptr;
  std::array<QLabel*, 11> Label1{};
  playlist::stdSSWidget* stdSS1 = nullptr;
  // The docking control: it moves the window by itself on its own timer.
  std::unique_ptr<docking::TaskBarWindow> TaskBar1_;
  QImage background_;  // Image1's picture, continued down to the window's foot
  QImage Picture1;
  // The hidden sources of the picture buttons' pictures.
  QImage Image3, Image4, Image5, Image6, Image8, Image9;
  platform::Pixels spectrumBackground_;
  platform::Pixels spectrumBox_;         // PicSpectrum1 shows it once it is first drawn
  BarHeights bars_{};                    // the latest heights
  std::optional<BarHeights> drawnBars_;  // the heights in spectrumBox_
  PlayerFace shown_ = DesignFace();      // the captions as the labels show them
  bool seen_ = false;

  QTimer Timer1{this};
  QTimer tmrBass{this};
  // When tmrBass's next tick falls due on its 25 ms grid (see StartTmrBass).
  std::chrono::steady_clock::time_point tmrBassDue_{};
  bool shutDown_ = false;
  std::optional<QPoint> dragOffset_;  // while the window is moved by hand
};

}  // namespace player
