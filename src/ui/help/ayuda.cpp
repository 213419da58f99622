#include "ui/help/ayuda.h"

#include "platform/rutas.h"
#include "platform/visor_ayuda.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QKeyEvent>
#include <QTextDocument>
#include <QWhatsThis>
#include <QWidget>

namespace brumaria {
namespace {

// How many dialogs with popups are open, and the string before the first.
int& dialogosAbiertos() {
    static int n = 0;
    return n;
}
QString& archivoAntesDeDialogos() {
    static QString s;
    return s;
}

// Splits "<help>::/<topics>" into the help file and the topic file.
void Partir(const QString& archivoAyuda, QString& ayuda, QString& temas) {
    const qsizetype corte = archivoAyuda.indexOf(QStringLiteral("::/"));
    if (corte < 0) {
        ayuda = archivoAyuda;
        temas.clear();
    } else {
        ayuda = archivoAyuda.left(corte);
        temas = archivoAyuda.mid(corte + 3);
    }
}

// Reads a topic file: ".topic <n>" lines start a topic; its text runs to
// the next one. Lines of one paragraph are joined; blank lines separate
// paragraphs. Lines before the first topic and lines starting with ";"
// are comments.
QHash<int, QString> LeerTemas(const QString& ruta) {
    QHash<int, QString> temas;
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return temas;
    const QStringList lineas = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    int actual = -1;
    QStringList parrafos;
    QString parrafo;
    auto cerrarParrafo = [&] {
        if (!parrafo.isEmpty()) parrafos << parrafo;
        parrafo.clear();
    };
    auto cerrarTema = [&] {
        cerrarParrafo();
        if (actual >= 0) temas.insert(actual, parrafos.join(QStringLiteral("\n\n")));
        parrafos.clear();
    };
    for (const QString& bruta : lineas) {
        const QString linea = bruta.trimmed();
        if (linea.startsWith(QStringLiteral(".topic"))) {
            cerrarTema();
            bool ok = false;
            const int n = linea.mid(6).trimmed().toInt(&ok);
            actual = ok ? n : -1;
            continue;
        }
        if (actual < 0 || linea.startsWith(QLatin1Char(';'))) continue;
        if (linea.isEmpty()) {
            cerrarParrafo();
            continue;
        }
        parrafo += parrafo.isEmpty() ? linea : QLatin1Char(' ') + linea;
    }
    cerrarTema();
    return temas;
}

QString RutaTemas(const QString& archivoAyuda) {
    QString ayuda, temas;
    Partir(archivoAyuda, ayuda, temas);
    if (temas.isEmpty()) return {};
    const QFileInfo info(RutaArchivoAyuda(ayuda));
    return QFileInfo(info.absolutePath() + QLatin1Char('/') + temas).absoluteFilePath();
}

class FiltroAyuda : public QObject {
public:
    FiltroAyuda(QWidget* dialogo, AyudaDeDialogo* ayuda) : QObject(dialogo), ayuda_(ayuda) {}
    void Soltar() { ayuda_ = nullptr; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (!ayuda_ || objeto != parent()) return false;
        if (evento->type() == QEvent::Show) {
            ayuda_->Activar();
        } else if (evento->type() == QEvent::KeyPress) {
            // A focused control with a text answers Shift+F1 itself; the key
            // reaches the dialog only when it has none, so pick a control.
            const auto* tecla = static_cast<QKeyEvent*>(evento);
            if (tecla->matches(QKeySequence::WhatsThis) ||
                (tecla->key() == Qt::Key_F1 && (tecla->modifiers() & Qt::ShiftModifier))) {
                QWhatsThis::enterWhatsThisMode();
                return true;
            }
        }
        return false;
    }

private:
    AyudaDeDialogo* ayuda_;
};

} // namespace

QString& strArchivoAyuda() {
    static QString s = QStringLiteral("ayuda/index.html");
    return s;
}

QString RutaArchivoAyuda(const QString& archivoAyuda) {
    QString ayuda, temas;
    Partir(archivoAyuda, ayuda, temas);
    if (ayuda.isEmpty() || QFileInfo(ayuda).isAbsolute()) return ayuda;
    return UnirRuta(strRutaPrograma(), ayuda);
}

QString TextoEmergente(const QString& archivoAyuda, int numero) {
    const QString ruta = RutaTemas(archivoAyuda);
    if (ruta.isEmpty()) return {};
    return LeerTemas(ruta).value(numero);
}

QString TextoEmergente(int numero) {
    return TextoEmergente(strArchivoAyuda(), numero);
}

void MostrarAyuda(QWidget* propietario) {
    HtmlHelp(propietario, RutaArchivoAyuda(strArchivoAyuda()));
}

AyudaDeDialogo::AyudaDeDialogo(QWidget* dialogo) : dialogo_(dialogo) {
    strArchivoAyuda_ = strArchivoAyuda();
    // Two dialogs open together must not extend the string twice; the last
    // one to close puts back what was there before the first.
    if (dialogosAbiertos()++ == 0) {
        archivoAntesDeDialogos() = strArchivoAyuda();
        if (!strArchivoAyuda().contains(QStringLiteral("::/")))
            strArchivoAyuda() += kTemasEmergentes;
    }
    if (dialogo) {
        auto* filtro = new FiltroAyuda(dialogo, this);
        dialogo->installEventFilter(filtro);
        filtro_ = filtro;
    }
}

AyudaDeDialogo::~AyudaDeDialogo() {
    if (filtro_) {
        static_cast<FiltroAyuda*>(filtro_.data())->Soltar();
        delete filtro_.data();
    }
    if (--dialogosAbiertos() == 0) strArchivoAyuda() = archivoAntesDeDialogos();
}

void AyudaDeDialogo::Activar() {
    if (!dialogo_) return;
    const QString ruta = RutaTemas(strArchivoAyuda());
    const QHash<int, QString> temas = ruta.isEmpty() ? QHash<int, QString>() : LeerTemas(ruta);
    QList<QWidget*> controles = dialogo_->findChildren<QWidget*>();
    controles.prepend(dialogo_);
    for (QWidget* control : controles) {
        const QVariant numero = control->property(kPropiedadAyudaEmergente);
        if (!numero.isValid()) continue;
        bool ok = false;
        const int n = numero.toInt(&ok);
        const QString texto = ok ? temas.value(n) : QString();
        control->setWhatsThis(
            texto.isEmpty() ? QString() : Qt::convertFromPlainText(texto, Qt::WhiteSpaceNormal));
    }
}

} // namespace brumaria
