#include "ui/message_box.h"

#include <QMessageBox>

namespace ui {
namespace {

class QtMessageBoxes final : public MessageBoxes {
 public:
  void Show(QWidget* parent, const Message& message) override {
    switch (message.icon) {
      case Icon::Critical: QMessageBox::critical(parent, message.title, message.text); break;
      case Icon::Exclamation: QMessageBox::warning(parent, message.title, message.text); break;
      case Icon::Information: QMessageBox::information(parent, message.title, message.text); break;
      case Icon::Question: QMessageBox::question(parent, message.title, message.text); break;
    }
  }
  bool Ask(QWidget* parent, const Message& message) override {
    return QMessageBox::question(parent, message.title, message.text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  }
};

MessageBoxes*& Current() {
  static QtMessageBoxes qt;
  static MessageBoxes* current = &qt;
  return current;
}

}  // namespace

Message ToMessage(const words::Box& box) {
  return {QString::fromStdString(box.text), QString::fromStdString(box.title), box.icon};
}

void ShowMessage(QWidget* parent, const Message& message) { Current()->Show(parent, message); }

bool Ask(QWidget* parent, const Message& message) { return Current()->Ask(parent, message); }

ScopedMessageBoxes::ScopedMessageBoxes(MessageBoxes& boxes) : previous_(Current()) { Current() = &boxes; }

ScopedMessageBoxes::~ScopedMessageBoxes() { Current() = previous_; }

}  // namespace ui
