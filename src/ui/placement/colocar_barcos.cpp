#include "ui/placement/colocar_barcos.h"

#include "platform/mensajes.h"
#include "platform/rutas.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <algorithm>
#include <cmath>

#include "ui/escala/escala_twips.h"
#include "ui/help/ayuda.h"
#include "ui/placement/tablero_colocacion.h"

namespace brumaria {

using namespace colocacion;

namespace {

constexpr std::int32_t kColorPrevia = 0xC0C0C0;
// The editor's group in the remembered window sizes.
const QString kClaveTamaño = QStringLiteral("colocar_barcos");
const QColor kVerdeCompleto(0, 192, 0);

QColor ColorDe(std::int32_t lng) {
    return QColor(lng & 0xFF, (lng >> 8) & 0xFF, (lng >> 16) & 0xFF);
}

enum class EstadoLongitud { SinEmpezar, EnCurso, Completa };

void FijarEstado(QLabel* etiqueta, EstadoLongitud estado) {
    QFont fuente = etiqueta->font();
    fuente.setBold(estado != EstadoLongitud::SinEmpezar);
    etiqueta->setFont(fuente);
    QPalette paleta = etiqueta->palette();
    paleta.setColor(QPalette::WindowText,
                    estado == EstadoLongitud::Completa
                        ? kVerdeCompleto
                        : QApplication::palette().color(QPalette::ButtonText));
    etiqueta->setPalette(paleta);
}

bool blnEnCurso(const QLabel* etiqueta) {
    return etiqueta->font().bold() &&
           etiqueta->palette().color(QPalette::WindowText) != kVerdeCompleto;
}

// Picture of square i of a ship of length n.
ImagenCasilla ImagenPieza(int n, int i, bool blnHorizontal) {
    if (n == 1) return ImagenCasilla::BarcoH4;
    if (i == 0) return blnHorizontal ? ImagenCasilla::BarcoH1 : ImagenCasilla::BarcoV1;
    if (i == n - 1) return blnHorizontal ? ImagenCasilla::BarcoH3 : ImagenCasilla::BarcoV3;
    return blnHorizontal ? ImagenCasilla::BarcoH2 : ImagenCasilla::BarcoV2;
}

} // namespace

FrmColocarBarcos::FrmColocarBarcos(ModPrincipal& principal, const RegistroOpciones& opciones,
                                   QWidget* parent)
    : QDialog(parent), principal_(principal), opciones_(opciones),
      ventanaPadre_(parent ? parent->window() : nullptr) {
    setObjectName(QStringLiteral("frmColocarBarcos"));
    setWindowTitle(QStringLiteral("Colocar barcos"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    const QSize diseño(Px(4950), Px(3870));
    setMinimumSize(diseño);
    resize(diseño);

    // Left column: what is being placed, and the orientation.
    const int x = Px(240);
    int y = Px(120);
    auto etiqueta = [&](const char* nombre, const QString& texto) {
        auto* l = new QLabel(texto, this);
        l->setObjectName(QString::fromLatin1(nombre));
        l->setGeometry(x, y, Px(1605) - x, Px(255));
        y += Px(255);
        return l;
    };
    auto casillas = [&](const QString& base, int n, QCheckBox** destino) {
        for (int i = 0; i < n; ++i) {
            auto* c = new QCheckBox(this);
            c->setObjectName(n == 1 ? base : QStringLiteral("%1_%2").arg(base).arg(i + 1));
            c->setEnabled(false);
            c->setFocusPolicy(Qt::NoFocus);
            c->setGeometry(x + i * Px(240), y, Px(240), Px(255));
            destino[i] = c;
        }
        y += Px(405);
    };
    lblBarcoDe4 = etiqueta("lblBarcoDe4", QStringLiteral("Barco de 4:"));
    casillas(QStringLiteral("chkBarcoDe4"), 1, &chkBarcoDe4);
    lblBarcosDe3 = etiqueta("lblBarcosDe3", QStringLiteral("Barcos de 3:"));
    casillas(QStringLiteral("chkBarcosDe3"), 2, chkBarcosDe3.data());
    lblBarcosDe2 = etiqueta("lblBarcosDe2", QStringLiteral("Barcos de 2:"));
    casillas(QStringLiteral("chkBarcosDe2"), 3, chkBarcosDe2.data());
    lblBarcosDe1 = etiqueta("lblBarcosDe1", QStringLiteral("Barcos de 1:"));
    casillas(QStringLiteral("chkBarcosDe1"), 4, chkBarcosDe1.data());
    // The ticks have no caption of their own: a screen reader reads these.
    chkBarcoDe4->setAccessibleName(QStringLiteral("Barco de 4 colocado"));
    for (int l = 1; l <= 3; ++l)
        for (int i = 0; i < 5 - l; ++i) {
            QCheckBox* c = l == 3 ? chkBarcosDe3[i] : l == 2 ? chkBarcosDe2[i] : chkBarcosDe1[i];
            c->setAccessibleName(QStringLiteral("Barco de %1 número %2 colocado").arg(l).arg(i + 1));
        }

    optHorizontal = new QRadioButton(QStringLiteral("Horizontal"), this);
    optHorizontal->setObjectName(QStringLiteral("optHorizontal"));
    optHorizontal->setGeometry(x, y, Px(1605) - x, Px(285));
    y += Px(300);
    optVertical = new QRadioButton(QStringLiteral("Vertical"), this);
    optVertical->setObjectName(QStringLiteral("optVertical"));
    optVertical->setGeometry(x, y, Px(1605) - x, Px(285));
    optHorizontal->setChecked(true);
    // R turns the ship in hand, so the keyboard player need not leave the board.
    auto* girar = new QShortcut(QKeySequence(Qt::Key_R), this);
    connect(girar, &QShortcut::activated, this, [this] {
        (optHorizontal->isChecked() ? optVertical : optHorizontal)->click();
        const QWidget* foco = QApplication::focusWidget();
        if (foco && foco->property("indice").isValid())
            imgCelda_MouseMove(foco->property("indice").toInt());
    });
    optHorizontal->setProperty("ayudaEmergente", 1000);
    optVertical->setProperty("ayudaEmergente", 1000);

    // The board.
    fraPanelOrdenador = new QGroupBox(QStringLiteral("Coloca tus barcos"), this);
    fraPanelOrdenador->setObjectName(QStringLiteral("fraPanelOrdenador"));
    fraPanelOrdenador->setGeometry(Px(1605), Px(50), Px(3135), Px(3135));
    for (int i = 0; i < kLado; ++i) {
        auto* fila = new QLabel(strNumeroFila(i), fraPanelOrdenador);
        fila->setObjectName(QStringLiteral("lblFila_%1").arg(i));
        fila->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        fila->setGeometry(Px(120), kOrigenCeldas + i * kPaso - 2, kOrigenCeldas - Px(120) - 4,
                          kLadoCelda + 4);
        auto* columna = new QLabel(strLetraColumna(i), fraPanelOrdenador);
        columna->setObjectName(QStringLiteral("lblColumna_%1").arg(i));
        columna->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        columna->setGeometry(kOrigenCeldas + i * kPaso - 2, Px(300), kLadoCelda + 4,
                             kOrigenCeldas - Px(300) - 2);
    }
    tablero_ = new TableroColocacion(fraPanelOrdenador);
    tablero_->setGeometry(kOrigenCeldas, kOrigenCeldas, kLado * kPaso + (kLadoCelda - kPaso),
                          kLado * kPaso + (kLadoCelda - kPaso));
    const QColor borde = ColorDe(opciones_.lngColorRejilla);
    for (int k = 0; k < 100; ++k) {
        auto* c = new CeldaColocacion(*this, k, tablero_);
        c->setGeometry((k % kLado) * kPaso, (k / kLado) * kPaso, kLadoCelda, kLadoCelda);
        c->borde = borde;
        c->setProperty("ayudaEmergente", 1010);
        celdas_[k] = c;
    }

    cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setGeometry(Px(2400), Px(3360), Px(1095), Px(375));
    cmdAceptar->setProperty("ayudaEmergente", 1020);
    cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar->setGeometry(Px(3600), Px(3360), Px(1095), Px(375));
    cmdCancelar->setProperty("ayudaEmergente", 1030);
    // The default button is chosen here, not by whichever button has the focus.
    cmdAceptar->setAutoDefault(false);
    cmdCancelar->setAutoDefault(false);
    cmdCancelar->setDefault(true);
    cmdAceptar->setEnabled(false);
    connect(cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] { cmdCancelar_Click(); });

    // Opening state.
    FijarEstado(lblBarcoDe4, EstadoLongitud::EnCurso);
    FijarEstado(lblBarcosDe3, EstadoLongitud::SinEmpezar);
    FijarEstado(lblBarcosDe2, EstadoLongitud::SinEmpezar);
    FijarEstado(lblBarcosDe1, EstadoLongitud::SinEmpezar);
    intTamañoActual_ = 4;
    intNumeroBarco_ = 1;
    blnTransparente_ = opciones_.blnImagenAgua;
    lngColor_.fill(opciones_.lngColorAgua);
    if (blnTransparente_) // missing: no picture
        tablero_->fondo = ImagenNitida::Cargar(opciones_.strRutaAgua);
    for (int k = 0; k < 100; ++k)
        Redibujar(k);

    // The twips layout is the design; it grows with the window, whose size
    // is remembered from one placement to the next.
    (new EscalaTwips(this, [diseño] { return diseño; }))->Registrar();
    RestaurarTamaño(*this, kClaveTamaño);

    auto ayuda = std::make_shared<AyudaDeDialogo>(this);
    ayuda->Activar();
    ayuda_ = ayuda;

    // The editor never outlives the program's end: it closes itself, placing
    // nothing, once the program is closing or its owner window has closed.
    if (ventanaPadre_) ventanaPadre_->installEventFilter(this);
    tmrCierre_.setInterval(50);
    connect(&tmrCierre_, &QTimer::timeout, this, [this] {
        if (principal_.blnCerrando || (ventanaPadre_.isNull() && tenidoPadre_)) CerrarSinColocar();
    });
    tenidoPadre_ = !ventanaPadre_.isNull();
    tmrCierre_.start();
}

FrmColocarBarcos::~FrmColocarBarcos() {
    if (ventanaPadre_) ventanaPadre_->removeEventFilter(this);
}

bool FrmColocarBarcos::blnHorizontal() const {
    return optHorizontal->isChecked();
}

bool FrmColocarBarcos::blnCabe(int n, int intFila, int intColumna) const {
    if (intFila < 0 || intColumna < 0 || intFila >= kLado || intColumna >= kLado) return false;
    return blnHorizontal() ? intColumna <= kLado - n : intFila <= kLado - n;
}

bool FrmColocarBarcos::blnBloqueLibre(int n, int intFila, int intColumna) const {
    const int filas = blnHorizontal() ? 1 : n;
    const int columnas = blnHorizontal() ? n : 1;
    for (int f = intFila - 1; f <= intFila + filas; ++f)
        for (int c = intColumna - 1; c <= intColumna + columnas; ++c)
            if (principal_.intLeerCasilla(f, c, 0) == CASILLA_BARCO) return false;
    return true;
}

void FrmColocarBarcos::Mostrar(int intTamaño, int intFila, int intColumna, bool blnPrueba) {
    // A complete fleet (or any length outside the fleet) draws nothing.
    if (intTamaño < 1 || intTamaño > 4) return;
    const std::int32_t color = blnPrueba ? kColorPrevia : opciones_.lngColorAgua;
    if (!blnCabe(intTamaño, intFila, intColumna)) return; // the last preview stays

    // The preview is known by the squares recorded for it, not by their
    // colour: a grey water colour must not make placed pieces look previewed.
    for (int k = 0; k < 100; ++k) {
        if (!previa_.test(k)) continue;
        previa_.reset(k);
        lngColor_[k] = opciones_.lngColorAgua;
        strImagen_[k].clear();
        Redibujar(k);
    }

    const bool hor = blnHorizontal();
    if (intTamaño != 4 && !blnBloqueLibre(intTamaño, intFila, intColumna)) return;
    for (int i = 0; i < intTamaño; ++i) {
        const int f = intFila + (hor ? 0 : i);
        const int c = intColumna + (hor ? i : 0);
        if (intTamaño == 4 && principal_.intLeerCasilla(f, c, 0) == CASILLA_BARCO) continue;
        const int k = f * kLado + c;
        lngColor_[k] = color;
        strImagen_[k] = strArchivoImagen(ImagenPieza(intTamaño, i, hor), blnPrueba);
        previa_.set(k, blnPrueba);
        Redibujar(k);
    }
}

bool FrmColocarBarcos::blnColocarBarco(int intFila, int intColumna, int intTamaño) {
    if (intTamaño < 1 || intTamaño > 4) return false;
    if (!blnCabe(intTamaño, intFila, intColumna)) return false;
    if (intTamaño != 4 && !blnBloqueLibre(intTamaño, intFila, intColumna)) return false;
    const bool hor = blnHorizontal();
    for (int i = 0; i < intTamaño; ++i)
        principal_.blnEscribirCasilla(intFila + (hor ? 0 : i), intColumna + (hor ? i : 0), 0,
                                      CASILLA_BARCO);
    return true;
}

void FrmColocarBarcos::imgCelda_MouseMove(int k) {
    if (blnTerminado_ || k < 0 || k >= 100) return;
    Mostrar(intTamañoActual_, k / kLado, k % kLado, true);
}

void FrmColocarBarcos::imgCelda_Click(int k) {
    if (blnTerminado_ || k < 0 || k >= 100) return;
    const int fila = k / kLado;
    const int columna = k % kLado;
    Mostrar(intTamañoActual_, fila, columna, false);

    // The length being placed is the one whose label is bold and not yet green.
    if (!blnEnCurso(lblBarcoDe4) && !blnEnCurso(lblBarcosDe3) && !blnEnCurso(lblBarcosDe2) &&
        !blnEnCurso(lblBarcosDe1))
        return;
    if (!blnColocarBarco(fila, columna, intTamañoActual_)) return;

    QCheckBox* marcada = nullptr;
    QLabel* etiqueta = nullptr;
    int ultimo = 0;
    switch (intTamañoActual_) {
    case 4:
        marcada = chkBarcoDe4;
        etiqueta = lblBarcoDe4;
        ultimo = 1;
        break;
    case 3:
        marcada = chkBarcosDe3[intNumeroBarco_ - 1];
        etiqueta = lblBarcosDe3;
        ultimo = 2;
        break;
    case 2:
        marcada = chkBarcosDe2[intNumeroBarco_ - 1];
        etiqueta = lblBarcosDe2;
        ultimo = 3;
        break;
    default:
        marcada = chkBarcosDe1[intNumeroBarco_ - 1];
        etiqueta = lblBarcosDe1;
        ultimo = 4;
        break;
    }
    marcada->setChecked(true);
    if (intNumeroBarco_ < ultimo) {
        ++intNumeroBarco_;
        return;
    }

    FijarEstado(etiqueta, EstadoLongitud::Completa);
    intNumeroBarco_ = 1;
    switch (intTamañoActual_) {
    case 4:
        FijarEstado(lblBarcosDe3, EstadoLongitud::EnCurso);
        intTamañoActual_ = 3;
        break;
    case 3:
        FijarEstado(lblBarcosDe2, EstadoLongitud::EnCurso);
        intTamañoActual_ = 2;
        break;
    case 2:
        // A one-square ship has no orientation.
        FijarEstado(lblBarcosDe1, EstadoLongitud::EnCurso);
        intTamañoActual_ = 1;
        optHorizontal->setChecked(true);
        optHorizontal->setEnabled(false);
        optVertical->setEnabled(false);
        break;
    default:
        intTamañoActual_ = 0;
        intNumeroBarco_ = 0;
        cmdAceptar->setEnabled(true);
        QWidget::setTabOrder(cmdAceptar, cmdCancelar);
        cmdCancelar->setDefault(false);
        cmdAceptar->setDefault(true);
        cmdAceptar->setFocus();
        break;
    }
}

void FrmColocarBarcos::cmdAceptar_Click() {
    if (blnTerminado_) return;
    if (principal_.blnCerrando) {
        CerrarSinColocar();
        return;
    }
    if (intTamañoActual_ != 0) {
        MsgBox(QStringLiteral("No están todos los barcos colocados"), QStringLiteral("Error"),
               Icono::Critico);
        return;
    }
    blnTerminado_ = true;
    tmrCierre_.stop();
    QDialog::accept();
    emit flotaColocada();
}

// "&Cancelar", Escape and the close box: the hand-placed ships go, a random
// fleet takes their place.
void FrmColocarBarcos::ColocarAlAzar() {
    // Set first: the random placement lets events run, and a second click or
    // the close box must not start it again.
    blnTerminado_ = true;
    tmrCierre_.stop();
    principal_.PrepararBarcos(0);
    // A placement cut short by the program ending is no fleet.
    if (!principal_.blnCerrando) emit flotaColocada();
}

void FrmColocarBarcos::cmdCancelar_Click() {
    if (blnTerminado_) return;
    if (principal_.blnCerrando) {
        CerrarSinColocar();
        return;
    }
    QPointer<FrmColocarBarcos> vivo(this);
    ColocarAlAzar();
    if (vivo && isVisible()) QDialog::reject();
}

void FrmColocarBarcos::reject() {
    if (blnTerminado_)
        QDialog::reject();
    else
        cmdCancelar_Click();
}

void FrmColocarBarcos::closeEvent(QCloseEvent* event) {
    // The player's close box comes from the window system; the program
    // closes the editor through CerrarSinColocar, placing nothing.
    if (!blnTerminado_ && !principal_.blnCerrando && event->spontaneous()) {
        setResult(QDialog::Rejected);
        ColocarAlAzar();
    }
    blnTerminado_ = true;
    tmrCierre_.stop();
    GuardarTamaño(*this, kClaveTamaño);
    event->accept();
}

bool FrmColocarBarcos::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ventanaPadre_ && event->type() == QEvent::Close) {
        // Whether the owner really closes is known only once its handler has run.
        QTimer::singleShot(0, this, [this] {
            if (!ventanaPadre_ || !ventanaPadre_->isVisible() || principal_.blnCerrando)
                CerrarSinColocar();
        });
    }
    return QDialog::eventFilter(watched, event);
}

void FrmColocarBarcos::CerrarSinColocar() {
    if (blnTerminado_) return;
    blnTerminado_ = true;
    tmrCierre_.stop();
    if (isVisible())
        close();
    else if (testAttribute(Qt::WA_DeleteOnClose))
        deleteLater();
}

void FrmColocarBarcos::Redibujar(int k) {
    CeldaColocacion* c = celdas_[k];
    c->relleno = blnTransparente_ ? QColor() : ColorDe(lngColor_[k]);
    c->pieza = strImagen_[k].isEmpty() ? ImagenNitida() : Imagen(strImagen_[k]);
    const QString contenido = previa_.test(k)           ? QStringLiteral("vista previa")
                              : strImagen_[k].isEmpty() ? QStringLiteral("agua")
                                                        : QStringLiteral("barco");
    c->setAccessibleName(strCasilla(k / kLado, k % kLado) + QStringLiteral(": ") + contenido);
    c->setAccessibleDescription(contenido);
    c->update();
}

ImagenNitida FrmColocarBarcos::Imagen(const QString& relativa) {
    auto it = imagenes_.find(relativa);
    if (it == imagenes_.end())
        it = imagenes_.insert(
            relativa, ImagenNitida::Cargar(UnirRuta(strRutaPrograma(), relativa), true));
    return *it; // a missing or unreadable picture is a null picture: nothing drawn
}

// Kept when the editor is left, by a button, Escape or the close box; not
// when it is merely destroyed with the program.
void FrmColocarBarcos::done(int resultado) {
    GuardarTamaño(*this, kClaveTamaño);
    QDialog::done(resultado);
}

std::int32_t FrmColocarBarcos::lngColorCelda(int k) const {
    return k >= 0 && k < 100 ? lngColor_[k] : 0;
}
QString FrmColocarBarcos::strImagenCelda(int k) const {
    return k >= 0 && k < 100 ? strImagen_[k] : QString();
}
bool FrmColocarBarcos::blnCeldaPrevia(int k) const {
    return k >= 0 && k < 100 && previa_.test(k);
}
QWidget* FrmColocarBarcos::celda(int k) const {
    return k >= 0 && k < 100 ? celdas_[k] : nullptr;
}

} // namespace brumaria
