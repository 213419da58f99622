// Brumaria: builds the game and runs it.
#include "platform/mensajes_qt.h"
#include "platform/solo_local.h"
#include "platform/traducciones.h"
#include "ui/escala/imagen_nitida.h"
#include "ui/main/aplicacion.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGroupBox>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleOption>
#include <algorithm>
#include <memory>
#include <qdrawutil.h>

namespace {

struct Argumentos {
    bool blnSoloLocal = false;
    bool blnSalirTrasPintar = false;
};

// The program's options. The help's headings ("Uso:", "Opciones:") are
// Qt's, in Spanish once its catalogue is loaded; the help and version
// options are the program's own, as Qt's catalogue lacks their texts.
struct Opciones {
    QCommandLineParser parser;
    QCommandLineOption ayuda{{QStringLiteral("h"), QStringLiteral("help")},
                             QStringLiteral("Muestra esta ayuda y sale.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Muestra la versión del programa y sale.")};
    QCommandLineOption soloLocal{
        QStringLiteral("solo-local"),
        QStringLiteral("Juega en red solo con este equipo (127.0.0.1 y ::1): no busca ni "
                       "se conecta fuera, no abre enlaces.")};
    QCommandLineOption salirTrasPintar{
        QStringLiteral("salir-tras-pintar"),
        QStringLiteral("Sale en cuanto la ventana se ha dibujado una vez (para medir el "
                       "arranque).")};

    Opciones() {
        // Also the manual page's description, its first line the summary.
        parser.setApplicationDescription(QStringLiteral(
            "Brumaria: la batalla naval.\n\n"
            "Coloca tu flota y hunde la del contrincante, que puede ser el ordenador u\n"
            "otra persona en la red local o por Internet. Sin opciones abre la ventana\n"
            "del juego; el menú «Ayuda» lo explica todo."));
        parser.addOption(ayuda);
        parser.addOption(version);
        parser.addOption(soloLocal);
        parser.addOption(salirTrasPintar);
    }
};

// Read before the window system is touched, so --help and --version work
// without a display.
Argumentos LeerArgumentos(int argc, char** argv) {
    QStringList lista;
    for (int i = 0; i < argc; ++i)
        lista << QString::fromLocal8Bit(argv[i]);
    Opciones opciones;
    // Qt's own options (-platform, -style...) are for the window system.
    opciones.parser.parse(lista);
    if (opciones.parser.isSet(opciones.ayuda) || opciones.parser.isSet(opciones.version)) {
        // Only these two need an application, for its name, its version
        // and Qt's Spanish texts. The manual page is made from this help.
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Brumaria"));
        QCoreApplication::setApplicationVersion(QStringLiteral(BRUMARIA_VERSION));
        if (!opciones.parser.isSet(opciones.ayuda)) opciones.parser.showVersion();
        brumaria::CargarTraduccionesQt(app);
        Opciones().parser.showHelp();
    }
    return {opciones.parser.isSet(opciones.soloLocal),
            opciones.parser.isSet(opciones.salirTrasPintar)};
}

// Qt's style reads the group box frame and the menu bar's overflow arrows
// from picture files whose format it probes with every picture plugin
// installed, loading each one (and with the svg one the whole SVG library)
// at start-up. The frame's picture is read here as the PNG it is, and the
// arrows are drawn.
class EstiloJuego : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement cual, const QStyleOption* opcion, QPainter* pintor,
                       const QWidget* widget) const override {
        if (cual != PE_FrameGroupBox || baseStyle()->name() != QLatin1String("fusion"))
            return QProxyStyle::drawPrimitive(cual, opcion, pintor, widget);
        if (marco_.isNull())
            marco_ = QPixmap::fromImage(brumaria::LeerPng(
                QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png")));
        // As the style itself lays it: below the title, if there is one.
        constexpr int kMargenSuperior = 3;
        const auto* caja = qobject_cast<const QGroupBox*>(widget);
        const int arriba =
            caja && !caja->isCheckable() && caja->title().isEmpty()
                ? kMargenSuperior
                : std::max(pixelMetric(PM_ExclusiveIndicatorHeight), opcion->fontMetrics.height()) +
                      kMargenSuperior;
        qDrawBorderPixmap(pintor, opcion->rect.adjusted(0, arriba, 0, 0), QMargins(6, 6, 6, 6),
                          marco_);
    }

    QIcon standardIcon(StandardPixmap cual, const QStyleOption* opcion,
                       const QWidget* widget) const override {
        if (cual != SP_ToolBarHorizontalExtensionButton &&
            cual != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(cual, opcion, widget);
        const QColor color =
            (widget ? widget->palette() : QApplication::palette()).color(QPalette::ButtonText);
        QIcon icono;
        for (const int lado : {16, 32}) {
            QPixmap p(lado, lado);
            p.fill(Qt::transparent);
            QPainter pintor(&p);
            pintor.setRenderHint(QPainter::Antialiasing);
            pintor.setPen(QPen(color, lado / 10.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            if (cual == SP_ToolBarVerticalExtensionButton) {
                // Pointing down: the right-pointing arrows turned a quarter.
                pintor.translate(lado, 0);
                pintor.rotate(90);
            }
            const double u = lado / 16.0;
            for (const double x : {4.0, 9.0})
                pintor.drawPolyline(QPolygonF{QPointF(x * u, 4 * u), QPointF((x + 3.5) * u, 8 * u),
                                              QPointF(x * u, 12 * u)});
            pintor.end();
            icono.addPixmap(p);
        }
        return icono;
    }

private:
    mutable QPixmap marco_;
};

} // namespace

int main(int argc, char** argv) {
    const Argumentos args = LeerArgumentos(argc, argv);
    brumaria::FijarSoloLocal(args.blnSoloLocal);
    QApplication app(argc, argv);
    QApplication::setStyle(new EstiloJuego);
    QApplication::setApplicationName(QStringLiteral("Brumaria"));
    QApplication::setApplicationVersion(QStringLiteral(BRUMARIA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.brumaria.Brumaria"));
    brumaria::CargarTraduccionesQt(app);
    brumaria::InstalarMensajesQt();

    auto juego = std::make_unique<brumaria::Aplicacion>();
    auto fin = std::make_unique<brumaria::FinDeSesion>(*juego);
    if (args.blnSalirTrasPintar)
        QObject::connect(&juego->ventana, &brumaria::FrmPrincipal::primerPintado, &app,
                         &QCoreApplication::quit, Qt::QueuedConnection);
    juego->ventana.Cargar();
    // A signal while a start-up box was open has closed the game already.
    int resultado = 0;
    if (!juego->principal.blnCerrando) {
        juego->ventana.show();
        resultado = app.exec();
    }
    fin.reset();
    juego.reset();
    return resultado;
}
