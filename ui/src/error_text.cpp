#include "ui/error_text.h"

#include <QCoreApplication>

#include "ui/paths.h"
#include "words/error_text.h"

// The words themselves are words/error_text.cpp, shared with the Windows player; here they
// become QStrings, with the program's name as Qt knows it.
namespace ui {
namespace {

std::string Program() { return QCoreApplication::applicationName().toStdString(); }

Framing FromWords(const words::Framing& framing) {
  return {FromUtf8(framing.title), FromUtf8(framing.heading)};
}

}  // namespace

QString ErrorText(const platform::Error& error) { return FromUtf8(words::ErrorText(error, Program())); }

Framing BuildFailure() { return FromWords(words::BuildFailure()); }

Framing MissingPage() { return FromWords(words::MissingPage(Program())); }

Framing UnusableChoice() { return FromWords(words::UnusableChoice(Program())); }

Message StopBuildQuestion() { return ToMessage(words::StopBuildQuestion(Program())); }

Message NoOpenerFor(const QString& page) { return ToMessage(words::NoOpenerFor(Program(), ToUtf8(page))); }

Message MessageFor(const platform::Error& error, const Framing& framing) {
  return ToMessage(words::BoxFor(error, Program(), {ToUtf8(framing.title), ToUtf8(framing.heading)}));
}

void ShowError(QWidget* parent, const platform::Error& error, const Framing& framing) {
  ShowMessage(parent, MessageFor(error, framing));
}

}  // namespace ui
