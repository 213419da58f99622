#pragma once
// Help, What's This popups and the about box.
//
// How a dialog gets its What's This popups:
//
//   1. Give every control that has a popup the dynamic property
//      "ayudaEmergente" with its popup number:
//          ui.optAlAzar->setProperty("ayudaEmergente", 1100);
//   2. Give the dialog the title-bar help button:
//          setWindowFlag(Qt::WindowContextHelpButtonHint, true);
//   3. Hold an AyudaDeDialogo member, constructed with the dialog (`this`);
//      call Activar() at the end of the constructor, once the controls
//      exist (it runs again by itself every time the dialog is shown, so
//      controls added later are covered too):
//          class FrmOpciones : public QDialog {
//              ...
//              brumaria::AyudaDeDialogo ayuda_{this};
//          };
//          FrmOpciones::FrmOpciones(...) { ...build controls...; ayuda_.Activar(); }
//
// While such a dialog exists the help-file string points at the popup
// topics; when the last one goes it is back exactly as before, whatever
// the order in which nested dialogs close. Shift+F1 (and the title-bar
// button where the window manager offers one) enters What's This mode.
//
// The main window's help menu calls MostrarAyuda(this) for "&Ayuda..." and
// MostrarAcercaDe(this) for "A&cerca de Brumaria...".
#include <QPointer>
#include <QString>

class QWidget;
class QObject;

namespace brumaria {

// The name of the dynamic property that carries a control's popup number.
inline constexpr char kPropiedadAyudaEmergente[] = "ayudaEmergente";

// Suffix that addresses the popup topics inside the help.
inline const QString kTemasEmergentes = QStringLiteral("::/popups.txt");

// The application help-file string. Initially "ayuda/index.html", relative
// to the program's folder; an absolute path is used as it stands.
QString& strArchivoAyuda();

// The help file named by `archivoAyuda` (anything after "::/" dropped),
// as an absolute path: relative names are taken from strRutaPrograma().
QString RutaArchivoAyuda(const QString& archivoAyuda);

// The text of popup `numero` from the topic file that `archivoAyuda`
// addresses ("<help>::/popups.txt"); the topic file is looked for beside
// the help file. Empty when the file or the topic is missing.
QString TextoEmergente(const QString& archivoAyuda, int numero);
// The same, from the current help-file string.
QString TextoEmergente(int numero);

// "&Ayuda...": opens the help window at its default topic (one window,
// brought forward when it is already open).
void MostrarAyuda(QWidget* propietario);

// "A&cerca de Brumaria...": the about box, without blocking `propietario`;
// asking again while it is open brings the same box forward.
void MostrarAcercaDe(QWidget* propietario);

// What's This help for one dialog (see the comment at the top).
class AyudaDeDialogo {
public:
    explicit AyudaDeDialogo(QWidget* dialogo);
    ~AyudaDeDialogo();
    AyudaDeDialogo(const AyudaDeDialogo&) = delete;
    AyudaDeDialogo& operator=(const AyudaDeDialogo&) = delete;

    // Sets the What's This text of every child of the dialog that carries
    // "ayudaEmergente" (and of the dialog itself when it carries one).
    void Activar();

    // The help-file string as it was when this dialog opened.
    const QString& strArchivoAyudaGuardado() const { return strArchivoAyuda_; }

private:
    QPointer<QWidget> dialogo_;
    QPointer<QObject> filtro_;
    QString strArchivoAyuda_;
};

} // namespace brumaria
