#include "ui/options/frm_opciones.h"

#include "platform/mensajes.h"
#include "ui/options/frm_color.h"

#include "ui/help/ayuda.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <algorithm>
#include <cmath>

namespace brumaria {

struct FrmOpciones::Ayuda {
    explicit Ayuda(QWidget* dialogo) : ayuda(dialogo) {}
    AyudaDeDialogo ayuda;
};

namespace {

const QString kTituloError = QStringLiteral("Error");
const QString kMensajeTiempo =
    QStringLiteral("Tienes que introducir un número entre 0,001 y 65,534");
constexpr std::int32_t kTiempoMaximo = 65535;
const char* const kPropiedadColor = "lngColor";

QString ElegirArchivoConDialogo(QWidget* padre, const QString& titulo, const QString& filtro,
                                const QString& inicial, bool debeExistir) {
    QFileDialog dialogo(padre, titulo);
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    dialogo.setFileMode(debeExistir ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialogo.setNameFilter(filtro);
    dialogo.setOption(QFileDialog::ReadOnly, true);
    if (!inicial.isEmpty()) {
        const QFileInfo info(inicial);
        dialogo.setDirectory(info.absolutePath());
        dialogo.selectFile(info.fileName());
    }
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) return {};
    return dialogo.selectedFiles().constFirst();
}

bool ElegirColorConFrmColor(QWidget* padre, std::int32_t& color) {
    EstadoColor estado{color, false};
    FrmColor dialogo(estado, padre);
    dialogo.Mostrar();
    if (estado.blnColorElegido) color = estado.lngColorElegido;
    return estado.blnColorElegido;
}

// Seconds typed by the player (an optional fraction after "," or ".") as
// milliseconds; false when the text is not such a number. No signs,
// exponents or group separators, whatever the locale.
bool LeerMilisegundos(const QString& texto, double& milisegundos) {
    static const QRegularExpression formato(QStringLiteral("^\\s*(\\d*)(?:[.,](\\d*))?\\s*$"));
    const auto m = formato.match(texto);
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty())) return false;
    const QString entero = m.captured(1);
    const QString fraccion = m.captured(2);
    if (entero.size() > 12) return false;
    const double segundos =
        (entero.isEmpty() ? 0.0 : entero.toDouble()) +
        (fraccion.isEmpty() ? 0.0 : (QStringLiteral("0.") + fraccion.left(12)).toDouble());
    milisegundos = segundos * 1000.0;
    return true;
}

} // namespace

FrmOpciones::FrmOpciones(ModOpciones& opciones, DestinoOpciones* destino, QWidget* parent)
    : QDialog(parent), opciones_(opciones), destino_(destino),
      elegirArchivo_(ElegirArchivoConDialogo), elegirColor_(ElegirColorConFrmColor) {
    setObjectName(QStringLiteral("frmOpciones"));
    setWindowTitle(QStringLiteral("Opciones"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setModal(true);
    Construir();
    CargarOpciones();
    tabSeparador->setCurrentIndex(0);
    ayuda_ = std::make_unique<Ayuda>(this);
    ayuda_->ayuda.Activar();
}

FrmOpciones::~FrmOpciones() = default;

void FrmOpciones::CargarOpciones() {
    const RegistroOpciones& o = opciones_.Opciones;
    chkTiempoRespuesta->setChecked(o.blnTiempoRespuesta);
    txtTiempoRespuesta->setText(TextoSegundos(o.intTiempoRespuesta));
    optMetodoRaton->setChecked(o.intMetodoAtaque == 1 || o.intMetodoAtaque < 1 ||
                               o.intMetodoAtaque > 3);
    optMetodoRatonFilaYColumna->setChecked(o.intMetodoAtaque == 2);
    optMetodoTeclado->setChecked(o.intMetodoAtaque == 3);
    chkHistorialMovimientosActivar->setChecked(o.blnHistorialMovimientosActivar);
    txtRutaArchivoHistorial->setText(o.strRutaArchivoHistorial);

    PonerColor(cmdColorAgua, o.lngColorAgua);
    PonerColor(cmdColorNoDescubiertas, o.lngColorNoDescubiertas);
    PonerColor(cmdColorIndicadorAtaque, o.lngColorIndicadorAtaque);
    PonerColor(cmdColorMarcadoresExterior, o.lngColorMarcadoresExterior);
    PonerColor(cmdColorMarcadoresInterior, o.lngColorMarcadoresInterior);
    PonerColor(cmdColorRejilla, o.lngColorRejilla);
    chkImagenAgua->setChecked(o.blnImagenAgua);
    txtRutaAgua->setText(o.strRutaAgua);
    chkImagenNoDescubierto->setChecked(o.blnImagenNoDescubierto);
    txtRutaNoDescubierto->setText(o.strRutaNoDescubierto);

    chkSonidosAgua->setChecked(o.blnSonidosAgua);
    txtSonidoAgua->setText(o.strSonidoAgua);
    chkSonidosBarco->setChecked(o.blnSonidosBarco);
    txtSonidoBarco->setText(o.strSonidoBarco);
    chkSonidosHundido->setChecked(o.blnSonidosHundido);
    txtSonidoHundido->setText(o.strSonidoHundido);

    chkAlertaSonido->setChecked(o.blnAlertaSonido);
    txtAlertaSonido->setText(o.strAlertaSonido);
    chkAlertaMsgBox->setChecked(o.blnAlertaMsgBox);
    txtAlertaMensajeMsgBox->setText(o.strAlertaMensajeMsgBox);
    chkAlertaHistorial->setChecked(o.blnAlertaHistorial);
    txtAlertaMensajeHistorial->setText(o.strAlertaMensajeHistorial);

    ActualizarHabilitados();
}

void FrmOpciones::ActualizarHabilitados() {
    txtTiempoRespuesta->setEnabled(chkTiempoRespuesta->isChecked());
    lblTiempoRespuesta->setEnabled(chkTiempoRespuesta->isChecked());
    const struct {
        QCheckBox* casilla;
        QLineEdit* texto;
        QPushButton* boton;
    } pares[] = {
        {chkHistorialMovimientosActivar, txtRutaArchivoHistorial, cmdExaminarArchivoHistorial},
        {chkImagenAgua, txtRutaAgua, cmdExaminarAgua},
        {chkImagenNoDescubierto, txtRutaNoDescubierto, cmdExaminarNoDescubierto},
        {chkSonidosAgua, txtSonidoAgua, cmdExaminarSonidoAgua},
        {chkSonidosBarco, txtSonidoBarco, cmdExaminarSonidoBarco},
        {chkSonidosHundido, txtSonidoHundido, cmdExaminarSonidoHundido},
        {chkAlertaSonido, txtAlertaSonido, cmdExaminarSonidoAlerta},
    };
    for (const auto& p : pares) {
        p.texto->setEnabled(p.casilla->isChecked());
        p.boton->setEnabled(p.casilla->isChecked());
    }
    // The captions above the path boxes follow them.
    const QPair<const char*, QCheckBox*> etiquetas[] = {
        {"lblRutaArchivoHistorial", chkHistorialMovimientosActivar},
        {"lblRutaAgua", chkImagenAgua},
        {"lblRutaNoDescubierto", chkImagenNoDescubierto},
    };
    for (const auto& [nombre, casilla] : etiquetas)
        if (auto* etiqueta = findChild<QLabel*>(QLatin1String(nombre)))
            etiqueta->setEnabled(casilla->isChecked());
}

int FrmOpciones::intPagina() const {
    return tabSeparador->currentIndex() + 1;
}

int FrmOpciones::Mostrar() {
    tabSeparador->setCurrentIndex(0);
    return exec();
}

int FrmOpciones::Abrir(const QString& strEnfoque) {
    Enfocar(strEnfoque);
    return exec();
}

void FrmOpciones::Enfocar(const QString& strEnfoque) {
    struct Destino {
        const char* nombre;
        int pagina;
        QWidget* texto;
        QCheckBox* casilla; // null: the text box is always editable
    };
    const Destino destinos[] = {
        {"txtAlertaMensajeHistorial", 4, txtAlertaMensajeHistorial, nullptr},
        {"txtAlertaMensajeMsgBox", 4, txtAlertaMensajeMsgBox, nullptr},
        {"txtAlertaSonido", 4, txtAlertaSonido, chkAlertaSonido},
        {"txtSonidoHundido", 3, txtSonidoHundido, chkSonidosHundido},
        {"txtSonidoBarco", 3, txtSonidoBarco, chkSonidosBarco},
        {"txtSonidoAgua", 3, txtSonidoAgua, chkSonidosAgua},
        {"txtRutaNoDescubierto", 2, txtRutaNoDescubierto, chkImagenNoDescubierto},
        {"txtRutaAgua", 2, txtRutaAgua, chkImagenAgua},
        // The response time is checked on "Aceptar" too, so it can be sent back to.
        {"txtTiempoRespuesta", 1, txtTiempoRespuesta, chkTiempoRespuesta},
    };
    for (const auto& d : destinos) {
        if (strEnfoque != QLatin1String(d.nombre)) continue;
        tabSeparador->setCurrentIndex(d.pagina - 1);
        QWidget* objetivo = (d.casilla && !d.casilla->isChecked()) ? d.casilla : d.texto;
        objetivo->setFocus(Qt::OtherFocusReason);
        if (auto* linea = qobject_cast<QLineEdit*>(objetivo)) linea->selectAll();
        return;
    }
}

bool FrmOpciones::blnExisteArchivo(const QString& strNombreFichero) {
    if (strNombreFichero.isEmpty() || QFileInfo(strNombreFichero).isDir()) return false;
    QFile archivo(strNombreFichero);
    return archivo.open(QIODevice::ReadOnly);
}

bool FrmOpciones::blnComprobarArchivos() {
    const struct {
        QCheckBox* casilla;
        QLineEdit* texto;
        const char* enfoque;
        QString mensaje;
    } comprobaciones[] = {
        {chkImagenAgua, txtRutaAgua, "txtRutaAgua",
         QStringLiteral("El archivo de imagen del agua '%1' no existe")},
        {chkImagenNoDescubierto, txtRutaNoDescubierto, "txtRutaNoDescubierto",
         QStringLiteral("El archivo de imagen de casillas no descubiertas '%1' no existe")},
        {chkSonidosAgua, txtSonidoAgua, "txtSonidoAgua",
         QStringLiteral("El archivo de sonido de agua '%1' no existe")},
        {chkSonidosBarco, txtSonidoBarco, "txtSonidoBarco",
         QStringLiteral("El archivo de sonido de ataque a barco '%1' no existe")},
        {chkSonidosHundido, txtSonidoHundido, "txtSonidoHundido",
         QStringLiteral("El archivo de sonido de barco hundido '%1' no existe")},
        {chkAlertaSonido, txtAlertaSonido, "txtAlertaSonido",
         QStringLiteral("El archivo de sonido de alerta '%1' no existe")},
    };
    for (const auto& c : comprobaciones) {
        if (!c.casilla->isChecked() || blnExisteArchivo(c.texto->text())) continue;
        // Not .arg(): a path may itself hold "%1".
        QString mensaje = c.mensaje;
        mensaje.replace(QStringLiteral("%1"), c.texto->text());
        MsgBox(mensaje, kTituloError, Icono::Critico);
        Enfocar(QString::fromLatin1(c.enfoque));
        return false;
    }
    return true;
}

bool FrmOpciones::blnLeerSegundos(const QString& texto, std::int32_t& milisegundos) {
    double ms = 0;
    if (!LeerMilisegundos(texto, ms)) return false;
    milisegundos = static_cast<std::int32_t>(std::min(std::llround(ms), 2147483647LL));
    return true;
}

QString FrmOpciones::TextoSegundos(std::int32_t milisegundos) {
    QLocale local;
    local.setNumberOptions(QLocale::OmitGroupSeparator);
    QString texto = local.toString(milisegundos / 1000.0, 'f', 3);
    const QString coma = local.decimalPoint();
    if (texto.contains(coma)) {
        while (texto.endsWith(QLatin1Char('0')))
            texto.chop(1);
        if (texto.endsWith(coma)) texto.chop(coma.size());
    }
    return texto;
}

// `blnAlAceptar`: the check runs for "Aceptar" rather than on leaving the box.
bool FrmOpciones::blnComprobarTiempo(bool blnAlAceptar) {
    const QString texto = txtTiempoRespuesta->text();
    double ms = 0;
    const bool numero = LeerMilisegundos(texto, ms);
    // No pause at all means the pause is not wanted.
    if (texto.trimmed().isEmpty() || (numero && ms == 0)) {
        chkTiempoRespuesta->setChecked(false);
        return true;
    }
    if (numero && ms >= 1 && ms <= kTiempoMaximo) return true;
    if (blnAlAceptar && !chkTiempoRespuesta->isChecked())
        return true; // not in use: the record keeps its previous pause
    MsgBox(kMensajeTiempo, kTituloError, Icono::Critico);
    if (blnAlAceptar) Enfocar(QStringLiteral("txtTiempoRespuesta"));
    return false;
}

bool FrmOpciones::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == txtTiempoRespuesta && evento->type() == QEvent::FocusOut) {
        const auto razon = static_cast<QFocusEvent*>(evento)->reason();
        // Leaving for another window is not leaving the box; "Cancelar" needs
        // no check and "Aceptar" makes its own (one message, not two).
        const QWidget* nuevo = QApplication::focusWidget();
        if (razon != Qt::ActiveWindowFocusReason && razon != Qt::PopupFocusReason &&
            nuevo != cmdCancelar && nuevo != cmdAceptar && isVisible())
            blnComprobarTiempo(false);
    }
    return QDialog::eventFilter(objeto, evento);
}

bool FrmOpciones::blnGuardarOpciones() {
    if (!blnComprobarArchivos()) return false;
    if (!blnComprobarTiempo(true)) return false;

    RegistroOpciones& o = opciones_.Opciones;
    o.intMetodoAtaque = optMetodoRaton->isChecked()               ? 1
                        : optMetodoRatonFilaYColumna->isChecked() ? 2
                                                                  : 3;
    o.blnTiempoRespuesta = chkTiempoRespuesta->isChecked();
    std::int32_t ms = 0;
    if (blnLeerSegundos(txtTiempoRespuesta->text(), ms) && ms >= 1 && ms <= kTiempoMaximo)
        o.intTiempoRespuesta = ms;
    o.blnHistorialMovimientosActivar = chkHistorialMovimientosActivar->isChecked();
    o.strRutaArchivoHistorial = txtRutaArchivoHistorial->text();

    o.lngColorAgua = lngColorDeBoton(cmdColorAgua);
    o.lngColorNoDescubiertas = lngColorDeBoton(cmdColorNoDescubiertas);
    o.lngColorIndicadorAtaque = lngColorDeBoton(cmdColorIndicadorAtaque);
    o.lngColorMarcadoresExterior = lngColorDeBoton(cmdColorMarcadoresExterior);
    o.lngColorMarcadoresInterior = lngColorDeBoton(cmdColorMarcadoresInterior);
    o.lngColorRejilla = lngColorDeBoton(cmdColorRejilla);
    o.blnImagenAgua = chkImagenAgua->isChecked();
    o.strRutaAgua = txtRutaAgua->text();
    o.blnImagenNoDescubierto = chkImagenNoDescubierto->isChecked();
    o.strRutaNoDescubierto = txtRutaNoDescubierto->text();

    o.blnSonidosAgua = chkSonidosAgua->isChecked();
    o.strSonidoAgua = txtSonidoAgua->text();
    o.blnSonidosBarco = chkSonidosBarco->isChecked();
    o.strSonidoBarco = txtSonidoBarco->text();
    o.blnSonidosHundido = chkSonidosHundido->isChecked();
    o.strSonidoHundido = txtSonidoHundido->text();

    o.blnAlertaSonido = chkAlertaSonido->isChecked();
    o.strAlertaSonido = txtAlertaSonido->text();
    o.blnAlertaMsgBox = chkAlertaMsgBox->isChecked();
    o.strAlertaMensajeMsgBox = txtAlertaMensajeMsgBox->text();
    o.blnAlertaHistorial = chkAlertaHistorial->isChecked();
    o.strAlertaMensajeHistorial = txtAlertaMensajeHistorial->text();

    opciones_.blnGuardarOpcionesEnArchivo(ModOpciones::Guardado::TalCual);
    return true;
}

void FrmOpciones::Aceptar() {
    if (!blnGuardarOpciones()) return;
    if (destino_) destino_->AplicarOpciones();
    accept();
}

void FrmOpciones::Examinar(QLineEdit* destino, const QString& titulo, const QString& filtro,
                           bool debeExistir) {
    const QString elegido = elegirArchivo_(this, titulo, filtro, destino->text(), debeExistir);
    if (!elegido.isEmpty()) destino->setText(elegido);
}

std::int32_t FrmOpciones::lngColorDeBoton(const QPushButton* boton) {
    return boton->property(kPropiedadColor).toInt();
}

void FrmOpciones::PonerColor(QPushButton* boton, std::int32_t color) {
    color &= 0xFFFFFF;
    boton->setProperty(kPropiedadColor, color);
    boton->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid "
                                        "#404040; } QPushButton:focus { border: 2px solid "
                                        "palette(highlight); }")
                             .arg(NombreColor(color)));
}

void FrmOpciones::CambiarColor(QPushButton* boton) {
    std::int32_t color = lngColorDeBoton(boton);
    if (elegirColor_(this, color)) PonerColor(boton, color);
}

} // namespace brumaria
