#pragma once
// Qt's own texts (the buttons of message boxes, the file dialogs) in the user's language.

class QCoreApplication;

namespace ui {

// Installs Qt's translation for the user's locale (qtbase_*.qm from Qt's translations
// folder) into `app`. Returns false when there is none for that locale (English stays).
bool LoadQtTranslations(QCoreApplication& app);

}  // namespace ui
