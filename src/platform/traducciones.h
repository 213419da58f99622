#pragma once
// Qt's own texts (file dialogs, standard buttons, context menus) in the
// program's language, whatever the desktop's locale.
class QCoreApplication;

namespace brumaria {

// Loads Qt's Spanish catalogue from the system's Qt translations folder.
// Returns false when it is not installed; the texts then stay in English.
bool CargarTraduccionesQt(QCoreApplication& app);

} // namespace brumaria
