#include "ui/options/frm_opciones.h"

#include "ui/options/frm_color.h"
#include "platform/mensajes.h"

#include "ui/help/ayuda.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QVBoxLayout>
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
const char* const kPropiedadAyuda = "ayudaEmergente";

const QString kTituloTexto = QStringLiteral("Abrir o crear archivo de texto");
const QString kFiltroTexto = QStringLiteral("Archivo de texto (*.txt)");
const QString kTituloImagen = QStringLiteral("Abrir imagen");
const QString kFiltroImagen = QStringLiteral("Imágenes (*.bmp *.gif *.jpeg *.jpg)");
const QString kTituloSonido = QStringLiteral("Abrir sonido");
const QString kFiltroSonido = QStringLiteral("Sonidos (*.wav)");

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

template <typename T> T* Nombrar(T* control, const char* nombre, int ayuda = 0) {
    control->setObjectName(QString::fromLatin1(nombre));
    if (ayuda) control->setProperty(kPropiedadAyuda, ayuda);
    return control;
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

void FrmOpciones::Construir() {
    tabSeparador = Nombrar(new QTabWidget(this), "tabSeparador");

    // Page 1: response time, attack method, history file.
    fraMarco1 = Nombrar(new QWidget, "fraMarco1");
    {
        auto* fraTiempo =
            Nombrar(new QGroupBox(QStringLiteral("Tiempo de respuesta")), "fraTiempoRespuesta");
        chkTiempoRespuesta = Nombrar(new QCheckBox(QStringLiteral("Tiempo de respuesta")),
                                     "chkTiempoRespuesta", 1260);
        txtTiempoRespuesta = Nombrar(new QLineEdit, "txtTiempoRespuesta", 1270);
        txtTiempoRespuesta->setMaxLength(12);
        txtTiempoRespuesta->setMaximumWidth(90);
        txtTiempoRespuesta->setAlignment(Qt::AlignRight);
        lblTiempoRespuesta = Nombrar(new QLabel(QStringLiteral("segundos")), "lblTiempoRespuesta");
        lblTiempoRespuesta->setBuddy(txtTiempoRespuesta);
        auto* l = new QHBoxLayout(fraTiempo);
        l->addWidget(chkTiempoRespuesta);
        l->addSpacing(12);
        l->addWidget(txtTiempoRespuesta);
        l->addWidget(lblTiempoRespuesta);
        l->addStretch();

        auto* fraMetodos =
            Nombrar(new QGroupBox(QStringLiteral("Métodos de juego")), "fraMetodosDeJuego");
        auto* lblMetodos =
            Nombrar(new QLabel(QStringLiteral("Selecciona una opción:")), "lblMetodos");
        optMetodoRaton =
            Nombrar(new QRadioButton(QStringLiteral("Haciendo clic con el ratón en la casilla")),
                    "optMetodoRaton", 1200);
        optMetodoRatonFilaYColumna =
            Nombrar(new QRadioButton(
                        QStringLiteral("Haciendo clic con el ratón en la fila y en la columna")),
                    "optMetodoRatonFilaYColumna", 1210);
        optMetodoTeclado =
            Nombrar(new QRadioButton(QStringLiteral("Escribiendo la fila y la columna")),
                    "optMetodoTeclado", 1220);
        auto* m = new QVBoxLayout(fraMetodos);
        m->addWidget(lblMetodos);
        m->addWidget(optMetodoRaton);
        m->addWidget(optMetodoRatonFilaYColumna);
        m->addWidget(optMetodoTeclado);

        auto* fraHistorial = Nombrar(new QGroupBox(QStringLiteral("Historial de movimientos")),
                                     "fraHistorialMovimientos");
        chkHistorialMovimientosActivar =
            Nombrar(new QCheckBox(QStringLiteral("Historial de movimientos")),
                    "chkHistorialMovimientosActivar", 1230);
        auto* lblRuta = Nombrar(new QLabel(QStringLiteral("Ruta del archivo de destino:")),
                                "lblRutaArchivoHistorial");
        txtRutaArchivoHistorial = Nombrar(new QLineEdit, "txtRutaArchivoHistorial", 1240);
        txtRutaArchivoHistorial->setMaxLength(256);
        lblRuta->setBuddy(txtRutaArchivoHistorial);
        cmdExaminarArchivoHistorial = Nombrar(new QPushButton(QStringLiteral("Examinar...")),
                                              "cmdExaminarArchivoHistorial", 1250);
        auto* h = new QGridLayout(fraHistorial);
        h->addWidget(chkHistorialMovimientosActivar, 0, 0, 1, 2);
        h->addWidget(lblRuta, 1, 0, 1, 2);
        h->addWidget(txtRutaArchivoHistorial, 2, 0);
        h->addWidget(cmdExaminarArchivoHistorial, 2, 1);

        auto* p = new QVBoxLayout(fraMarco1);
        p->addWidget(fraTiempo);
        p->addWidget(fraMetodos);
        p->addWidget(fraHistorial);
        p->addStretch();
    }

    // Page 2: colours and pictures.
    fraMarco2 = Nombrar(new QWidget, "fraMarco2");
    {
        auto* fraColores = Nombrar(new QGroupBox(QStringLiteral("Colores")), "fraColores");
        auto* c = new QGridLayout(fraColores);
        const struct {
            QPushButton** boton;
            const char* nombre;
            const char* etiqueta;
            QString texto;
            int ayuda;
        } colores[] = {
            {&cmdColorAgua, "cmdColorAgua", "lblColorAgua", QStringLiteral("Color del agua"), 1280},
            {&cmdColorNoDescubiertas, "cmdColorNoDescubiertas", "lblColorNoDescubiertas",
             QStringLiteral("Color de las casillas no descubiertas"), 1290},
            {&cmdColorIndicadorAtaque, "cmdColorIndicadorAtaque", "lblColorIndicadorAtaque",
             QStringLiteral("Color del indicador de ataque"), 1300},
            {&cmdColorMarcadoresExterior, "cmdColorMarcadoresExterior",
             "lblColorMarcadoresExterior", QStringLiteral("Color exterior de los marcadores"),
             1310},
            {&cmdColorMarcadoresInterior, "cmdColorMarcadoresInterior",
             "lblColorMarcadoresInterior", QStringLiteral("Color interior de los marcadores"),
             1320},
            {&cmdColorRejilla, "cmdColorRejilla", "lblColorRejilla",
             QStringLiteral("Color de la rejilla"), 1330},
        };
        int fila = 0;
        for (const auto& d : colores) {
            auto* boton = Nombrar(new QPushButton, d.nombre, d.ayuda);
            boton->setFixedSize(40, 22);
            boton->setAccessibleName(d.texto);
            boton->setToolTip(d.texto);
            auto* etiqueta = Nombrar(new QLabel(d.texto), d.etiqueta);
            etiqueta->setBuddy(boton);
            // Three rows in each of two columns.
            const int columna = (fila / 3) * 2;
            c->addWidget(boton, fila % 3, columna);
            c->addWidget(etiqueta, fila % 3, columna + 1);
            connect(boton, &QPushButton::clicked, this, [this, boton] { CambiarColor(boton); });
            *d.boton = boton;
            ++fila;
        }
        c->setColumnStretch(1, 1);
        c->setColumnStretch(3, 1);

        auto* fraImagen =
            Nombrar(new QGroupBox(QStringLiteral("Imagen de fondo")), "fraImagenDeFondo");
        chkImagenAgua = Nombrar(new QCheckBox(QStringLiteral("Usar una imagen para el agua")),
                                "chkImagenAgua", 1340);
        auto* lblAgua = Nombrar(new QLabel(QStringLiteral("Ruta de la imagen:")), "lblRutaAgua");
        txtRutaAgua = Nombrar(new QLineEdit, "txtRutaAgua", 1350);
        lblAgua->setBuddy(txtRutaAgua);
        cmdExaminarAgua =
            Nombrar(new QPushButton(QStringLiteral("Examinar...")), "cmdExaminarAgua", 1360);
        chkImagenNoDescubierto =
            Nombrar(new QCheckBox(QStringLiteral("Usar imagen para las casillas no descubiertas")),
                    "chkImagenNoDescubierto", 1370);
        auto* lblNoDescubierto =
            Nombrar(new QLabel(QStringLiteral("Ruta de la imagen:")), "lblRutaNoDescubierto");
        txtRutaNoDescubierto = Nombrar(new QLineEdit, "txtRutaNoDescubierto", 1380);
        lblNoDescubierto->setBuddy(txtRutaNoDescubierto);
        cmdExaminarNoDescubierto = Nombrar(new QPushButton(QStringLiteral("Examinar...")),
                                           "cmdExaminarNoDescubierto", 1390);
        auto* i = new QGridLayout(fraImagen);
        i->addWidget(chkImagenAgua, 0, 0, 1, 2);
        i->addWidget(lblAgua, 1, 0, 1, 2);
        i->addWidget(txtRutaAgua, 2, 0);
        i->addWidget(cmdExaminarAgua, 2, 1);
        i->setRowMinimumHeight(3, 8);
        i->addWidget(chkImagenNoDescubierto, 4, 0, 1, 2);
        i->addWidget(lblNoDescubierto, 5, 0, 1, 2);
        i->addWidget(txtRutaNoDescubierto, 6, 0);
        i->addWidget(cmdExaminarNoDescubierto, 6, 1);

        auto* p = new QVBoxLayout(fraMarco2);
        p->addWidget(fraColores);
        p->addWidget(fraImagen);
        p->addStretch();
    }

    // Page 3: sounds.
    fraMarco3 = Nombrar(new QWidget, "fraMarco3");
    {
        auto* p = new QGridLayout(fraMarco3);
        const struct {
            QCheckBox** casilla;
            QLineEdit** texto;
            QPushButton** boton;
            const char* nCasilla;
            const char* nTexto;
            const char* nBoton;
            QString titulo;
            int ayuda;
        } sonidos[] = {
            {&chkSonidosAgua, &txtSonidoAgua, &cmdExaminarSonidoAgua, "chkSonidosAgua",
             "txtSonidoAgua", "cmdExaminarSonidoAgua",
             QStringLiteral("Sonido cuando se descubre agua"), 1400},
            {&chkSonidosBarco, &txtSonidoBarco, &cmdExaminarSonidoBarco, "chkSonidosBarco",
             "txtSonidoBarco", "cmdExaminarSonidoBarco",
             QStringLiteral("Sonido cuando se ataca un barco"), 1430},
            {&chkSonidosHundido, &txtSonidoHundido, &cmdExaminarSonidoHundido, "chkSonidosHundido",
             "txtSonidoHundido", "cmdExaminarSonidoHundido",
             QStringLiteral("Sonido cuando se hunde un barco"), 1460},
        };
        int fila = 0;
        for (const auto& s : sonidos) {
            *s.casilla = Nombrar(new QCheckBox(s.titulo), s.nCasilla, s.ayuda);
            *s.texto = Nombrar(new QLineEdit, s.nTexto, s.ayuda + 10);
            *s.boton =
                Nombrar(new QPushButton(QStringLiteral("Examinar...")), s.nBoton, s.ayuda + 20);
            p->addWidget(*s.casilla, fila, 0, 1, 2);
            p->addWidget(*s.texto, fila + 1, 0);
            p->addWidget(*s.boton, fila + 1, 1);
            p->setRowMinimumHeight(fila + 2, 12);
            fila += 3;
        }
        p->setRowStretch(fila, 1);
    }

    // Page 4: alerts.
    fraMarco4 = Nombrar(new QWidget, "fraMarco4");
    {
        chkAlertaSonido =
            Nombrar(new QCheckBox(QStringLiteral("Alerta por sonido")), "chkAlertaSonido", 1490);
        txtAlertaSonido = Nombrar(new QLineEdit, "txtAlertaSonido", 1500);
        cmdExaminarSonidoAlerta = Nombrar(new QPushButton(QStringLiteral("Examinar...")),
                                          "cmdExaminarSonidoAlerta", 1510);
        chkAlertaMsgBox = Nombrar(new QCheckBox(QStringLiteral("Alerta por cuadro de mensaje")),
                                  "chkAlertaMsgBox", 1520);
        auto* lblMsgBox =
            Nombrar(new QLabel(QStringLiteral("Mensaje que envías:")), "lblAlertaMensajeMsgBox");
        txtAlertaMensajeMsgBox = Nombrar(new QLineEdit, "txtAlertaMensajeMsgBox", 1530);
        txtAlertaMensajeMsgBox->setMaxLength(1024);
        lblMsgBox->setBuddy(txtAlertaMensajeMsgBox);
        chkAlertaHistorial =
            Nombrar(new QCheckBox(QStringLiteral("Alerta por mensaje en el historial")),
                    "chkAlertaHistorial", 1540);
        auto* lblHistorial =
            Nombrar(new QLabel(QStringLiteral("Mensaje que envías:")), "lblAlertaMensajeHistorial");
        txtAlertaMensajeHistorial = Nombrar(new QLineEdit, "txtAlertaMensajeHistorial", 1550);
        txtAlertaMensajeHistorial->setMaxLength(1024);
        lblHistorial->setBuddy(txtAlertaMensajeHistorial);

        auto* p = new QGridLayout(fraMarco4);
        p->addWidget(chkAlertaSonido, 0, 0, 1, 2);
        p->addWidget(txtAlertaSonido, 1, 0);
        p->addWidget(cmdExaminarSonidoAlerta, 1, 1);
        p->setRowMinimumHeight(2, 12);
        p->addWidget(chkAlertaMsgBox, 3, 0, 1, 2);
        p->addWidget(lblMsgBox, 4, 0, 1, 2);
        p->addWidget(txtAlertaMensajeMsgBox, 5, 0, 1, 2);
        p->setRowMinimumHeight(6, 12);
        p->addWidget(chkAlertaHistorial, 7, 0, 1, 2);
        p->addWidget(lblHistorial, 8, 0, 1, 2);
        p->addWidget(txtAlertaMensajeHistorial, 9, 0, 1, 2);
        p->setRowStretch(10, 1);
    }

    // Paths fit their field in Config.dat.
    for (QLineEdit* t : {txtRutaAgua, txtRutaNoDescubierto, txtSonidoAgua, txtSonidoBarco,
                         txtSonidoHundido, txtAlertaSonido})
        t->setMaxLength(256);

    tabSeparador->addTab(fraMarco1, QStringLiteral("&General"));
    tabSeparador->addTab(fraMarco2, QStringLiteral("&Colores e imágenes"));
    tabSeparador->addTab(fraMarco3, QStringLiteral("&Sonidos"));
    tabSeparador->addTab(fraMarco4, QStringLiteral("&Alertas"));

    cmdAceptar = Nombrar(new QPushButton(QStringLiteral("Aceptar")), "cmdAceptar", 1560);
    cmdCancelar = Nombrar(new QPushButton(QStringLiteral("Cancelar")), "cmdCancelar", 1570);
    cmdAceptar->setDefault(true);
    connect(cmdAceptar, &QPushButton::clicked, this, &FrmOpciones::Aceptar);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdCancelar);

    auto* todo = new QVBoxLayout(this);
    todo->addWidget(tabSeparador);
    todo->addLayout(botones);

    // Each check box enables what it governs.
    for (QCheckBox* c :
         {chkTiempoRespuesta, chkHistorialMovimientosActivar, chkImagenAgua, chkImagenNoDescubierto,
          chkSonidosAgua, chkSonidosBarco, chkSonidosHundido, chkAlertaSonido})
        connect(c, &QCheckBox::toggled, this, &FrmOpciones::ActualizarHabilitados);

    const struct {
        QPushButton* boton;
        QLineEdit* texto;
        QString titulo;
        QString filtro;
        bool debeExistir;
    } examinar[] = {
        {cmdExaminarArchivoHistorial, txtRutaArchivoHistorial, kTituloTexto, kFiltroTexto, false},
        {cmdExaminarAgua, txtRutaAgua, kTituloImagen, kFiltroImagen, true},
        {cmdExaminarNoDescubierto, txtRutaNoDescubierto, kTituloImagen, kFiltroImagen, true},
        {cmdExaminarSonidoAgua, txtSonidoAgua, kTituloSonido, kFiltroSonido, true},
        {cmdExaminarSonidoBarco, txtSonidoBarco, kTituloSonido, kFiltroSonido, true},
        {cmdExaminarSonidoHundido, txtSonidoHundido, kTituloSonido, kFiltroSonido, true},
        {cmdExaminarSonidoAlerta, txtAlertaSonido, kTituloSonido, kFiltroSonido, true},
    };
    for (const auto& e : examinar) {
        connect(e.boton, &QPushButton::clicked, this,
                [this, e] { Examinar(e.texto, e.titulo, e.filtro, e.debeExistir); });
    }

    txtTiempoRespuesta->installEventFilter(this);
}

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

    opciones_.blnGuardarOpcionesEnArchivo();
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
