#include "stopgap_ui.h"

#include <QMessageBox>

namespace player {
namespace {

QMessageBox::Icon IconOf(Icon icon) {
  switch (icon) {
    case Icon::Critical:
      return QMessageBox::Critical;
    case Icon::Exclamation:
      return QMessageBox::Warning;
    case Icon::Warning:
      return QMessageBox::Warning;
  }
  return QMessageBox::Warning;
}

QMessageBox* MakeBox(QWidget* parent, const Message& m) {
  return new QMessageBox(IconOf(m.icon), QString::fromStdString(m.title), QString::fromStdString(m.text),
                         QMessageBox::Ok, parent);
}

}  // namespace

QFont SongFont() {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                    QStringLiteral("AR PL UMing TW"), QStringLiteral("WenQuanYi Zen Hei")});
  font.setPixelSize(12);  // 9 points at 96 dots per inch
  font.setBold(true);
  return font;
}

void QtMessageBoxes::Open(QWidget* parent, const Message& message, std::function<void()> closed) {
  QMessageBox* box = MakeBox(parent, message);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::ApplicationModal);
  QObject::connect(box, &QMessageBox::finished, box, [closed = std::move(closed)] {
    if (closed) closed();
  });
  box->open();
}

void QtMessageBoxes::Exec(const Message& message) {
  QMessageBox* box = MakeBox(nullptr, message);
  box->exec();
  delete box;
}

}  // namespace player
