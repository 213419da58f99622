// The options dialog's four pages and its buttons, built and wired.
#include "ui/options/frm_opciones.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brumaria {

namespace {

const char* const kPropiedadAyuda = "ayudaEmergente";

const QString kTituloTexto = QStringLiteral("Abrir o crear archivo de texto");
const QString kFiltroTexto = QStringLiteral("Archivo de texto (*.txt)");
const QString kTituloImagen = QStringLiteral("Abrir imagen");
const QString kFiltroImagen = QStringLiteral("Imágenes (*.bmp *.gif *.jpeg *.jpg)");
const QString kTituloSonido = QStringLiteral("Abrir sonido");
const QString kFiltroSonido = QStringLiteral("Sonidos (*.wav)");

template <typename T> T* Nombrar(T* control, const char* nombre, int ayuda = 0) {
    control->setObjectName(QString::fromLatin1(nombre));
    if (ayuda) control->setProperty(kPropiedadAyuda, ayuda);
    return control;
}

} // namespace

void FrmOpciones::Construir() {
    tabSeparador = Nombrar(new QTabWidget(this), "tabSeparador");
    tabSeparador->setAccessibleName(QStringLiteral("Páginas de opciones"));
    ConstruirGeneral();
    ConstruirColores();
    ConstruirSonidos();
    ConstruirAlertas();

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

    Conectar();
}

// Page 1: response time, attack method, history file.
void FrmOpciones::ConstruirGeneral() {
    fraMarco1 = Nombrar(new QWidget, "fraMarco1");
    auto* fraTiempo =
        Nombrar(new QGroupBox(QStringLiteral("Tiempo de respuesta")), "fraTiempoRespuesta");
    chkTiempoRespuesta =
        Nombrar(new QCheckBox(QStringLiteral("Tiempo de respuesta")), "chkTiempoRespuesta", 1260);
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
    auto* lblMetodos = Nombrar(new QLabel(QStringLiteral("Selecciona una opción:")), "lblMetodos");
    optMetodoRaton =
        Nombrar(new QRadioButton(QStringLiteral("Haciendo clic con el ratón en la casilla")),
                "optMetodoRaton", 1200);
    optMetodoRatonFilaYColumna = Nombrar(
        new QRadioButton(QStringLiteral("Haciendo clic con el ratón en la fila y en la columna")),
        "optMetodoRatonFilaYColumna", 1210);
    optMetodoTeclado = Nombrar(new QRadioButton(QStringLiteral("Escribiendo la fila y la columna")),
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
void FrmOpciones::ConstruirColores() {
    fraMarco2 = Nombrar(new QWidget, "fraMarco2");
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
        {&cmdColorMarcadoresExterior, "cmdColorMarcadoresExterior", "lblColorMarcadoresExterior",
         QStringLiteral("Color exterior de los marcadores"), 1310},
        {&cmdColorMarcadoresInterior, "cmdColorMarcadoresInterior", "lblColorMarcadoresInterior",
         QStringLiteral("Color interior de los marcadores"), 1320},
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

    auto* fraImagen = Nombrar(new QGroupBox(QStringLiteral("Imagen de fondo")), "fraImagenDeFondo");
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
    cmdExaminarNoDescubierto =
        Nombrar(new QPushButton(QStringLiteral("Examinar...")), "cmdExaminarNoDescubierto", 1390);
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
void FrmOpciones::ConstruirSonidos() {
    fraMarco3 = Nombrar(new QWidget, "fraMarco3");
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
        {&chkSonidosAgua, &txtSonidoAgua, &cmdExaminarSonidoAgua, "chkSonidosAgua", "txtSonidoAgua",
         "cmdExaminarSonidoAgua", QStringLiteral("Sonido cuando se descubre agua"), 1400},
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
        (*s.texto)->setAccessibleName(QStringLiteral("Archivo: ") + s.titulo);
        *s.boton = Nombrar(new QPushButton(QStringLiteral("Examinar...")), s.nBoton, s.ayuda + 20);
        p->addWidget(*s.casilla, fila, 0, 1, 2);
        p->addWidget(*s.texto, fila + 1, 0);
        p->addWidget(*s.boton, fila + 1, 1);
        p->setRowMinimumHeight(fila + 2, 12);
        fila += 3;
    }
    p->setRowStretch(fila, 1);
}

// Page 4: alerts.
void FrmOpciones::ConstruirAlertas() {
    fraMarco4 = Nombrar(new QWidget, "fraMarco4");
    chkAlertaSonido =
        Nombrar(new QCheckBox(QStringLiteral("Alerta por sonido")), "chkAlertaSonido", 1490);
    txtAlertaSonido = Nombrar(new QLineEdit, "txtAlertaSonido", 1500);
    txtAlertaSonido->setAccessibleName(QStringLiteral("Archivo: Alerta por sonido"));
    cmdExaminarSonidoAlerta =
        Nombrar(new QPushButton(QStringLiteral("Examinar...")), "cmdExaminarSonidoAlerta", 1510);
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

void FrmOpciones::Conectar() {
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

} // namespace brumaria
