#pragma once
// The help window: our HTML help pages shown with back, forward, home and
// an index of topics. One window for the whole program.
#include <QPointer>
#include <QString>
#include <QWidget>

class QAction;
class QListWidget;
class QTextBrowser;
class QUrl;

namespace brumaria {

inline const QString kTituloAyuda = QStringLiteral("Ayuda de Brumaria");

class VisorAyuda : public QWidget {
    Q_OBJECT
public:
    explicit VisorAyuda(QWidget* parent = nullptr);

    // Opens the help whose default topic is the page `archivo` (absolute
    // path). "<archivo>::/<tema>.html" opens that topic instead. When the
    // help is missing the window says so in its page and returns false.
    bool Abrir(const QString& archivo);

    // Shows one page of the open help, by file name ("jugar.html#turnos").
    bool MostrarTema(const QString& tema);

    QString temaActual() const; // file name of the page shown, or empty
    QString archivoPrincipal() const { return principal_; }
    bool ayudaEncontrada() const { return encontrada_; }
    QTextBrowser* navegador() const { return txtTema_; }
    QListWidget* indice() const { return lstTemas_; }

private:
    void CargarIndice();
    void SeguirEnlace(const QUrl& url);
    void MostrarFalta(const QString& archivo);
    void SincronizarIndice(const QUrl& fuente);

    QTextBrowser* txtTema_;
    QListWidget* lstTemas_;
    QAction* accAtras_;
    QAction* accAdelante_;
    QAction* accInicio_;
    QString principal_; // absolute path of the default topic
    QString carpeta_;
    bool encontrada_ = false;
};

// Our stand-in for the system help viewer: shows the one help window of
// the program, opened at `archivo`, and brings it forward. The window
// belongs to `ventana` (closed with it) without blocking it.
VisorAyuda* HtmlHelp(QWidget* ventana, const QString& archivo);

// The help window when one is open, else nullptr.
VisorAyuda* VisorAyudaAbierto();

} // namespace brumaria
