#pragma once
// FrmMenu: the window that holds the player's popup menu `menRClick` ("menMain", in no menu
// bar) with its one entry `outmp3lrc`. It is never shown itself; the player creates it the
// first time the menu is needed and closes it at shut-down.

#include <QWidget>
#include <functional>

class QAction;
class QMenu;

namespace player {

class FrmMenu : public QWidget {
  Q_OBJECT

 public:
  // `exportSong` runs when the entry is chosen.
  explicit FrmMenu(std::function<void()> exportSong);

  // Pops the menu up at `globalPos` and returns at once.
  void Popup(const QPoint& globalPos);

  QMenu* menRClick = nullptr;
  QAction* outmp3lrc = nullptr;
};

}  // namespace player
