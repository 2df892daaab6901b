#include "words.h"

#include <QCoreApplication>

namespace player {

Message MessageFor(const Notice& notice) {
  return ui::ToMessage(BoxFor(notice, QCoreApplication::applicationName().toStdString()));
}

}  // namespace player
