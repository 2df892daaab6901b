#include "packager/window_main.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <system_error>

#include "packager/form1.h"
#include "packager/players.h"
#include "platform/folders.h"
#include "platform/single_instance.h"
#include "ui/error_text.h"
#include "ui/paths.h"
#include "ui/translations.h"

namespace fs = std::filesystem;

namespace packager {
namespace {

fs::path FallbackFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
  return ui::ToPath(folder);
}

}  // namespace

int RunPackagerWindow(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pakrel"));
  ui::LoadQtTranslations(app);

  platform::Result<std::unique_ptr<platform::SingleInstance>> instance =
      platform::SingleInstance::Acquire(platform::ProgramFile());
  if (!instance && instance.error().kind == platform::ErrorKind::AlreadyRunning) {
    ui::ShowError(nullptr, instance.error());
    return 1;
  }
  // Any other trouble with the lock (no private folder, say) must not keep the user from working.

  const fs::path programFolder = platform::ProgramFolder();
  const OutputFolder output = ChooseOutputFolder(programFolder, FallbackFolder());

  Form1::Setup setup;
  setup.players = CarriedPlayers();
  setup.outputFolder = output.folder;
  setup.completionNote = Form1::OwnFolderNote();
  if (!output.isProgramFolder) setup.completionFolder = ui::ToQString(output.folder);
  // Beside the program in a build tree; under share/doc once installed.
  fs::path readme = programFolder / "README.md";
  std::error_code missing;
  if (!fs::exists(readme, missing)) readme = programFolder.parent_path() / "share/doc/sonvira/README.md";
  setup.link = QUrl::fromLocalFile(ui::ToQString(readme));
  Form1 window(std::move(setup));
  window.show();
  return app.exec();
}

}  // namespace packager
