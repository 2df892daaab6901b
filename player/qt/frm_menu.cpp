#include "frm_menu.h"

#include <QAction>
#include <QMenu>

namespace player {

FrmMenu::FrmMenu(std::function<void()> exportSong) {
  setObjectName(QStringLiteral("FrmMenu"));
  setWindowTitle(QStringLiteral("FrmMenu"));
  menRClick = new QMenu(QStringLiteral("menMain"), this);
  menRClick->setObjectName(QStringLiteral("menRClick"));
  outmp3lrc = menRClick->addAction(QStringLiteral("释出MP3和LRC文件"));
  outmp3lrc->setObjectName(QStringLiteral("outmp3lrc"));
  connect(outmp3lrc, &QAction::triggered, this, [exportSong = std::move(exportSong)] { exportSong(); });
}

void FrmMenu::Popup(const QPoint& globalPos) {
  menRClick->popup(globalPos);
}

}  // namespace player
