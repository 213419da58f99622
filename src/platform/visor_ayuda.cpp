#include "platform/visor_ayuda.h"

#include "platform/enlaces.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QListWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace brumaria {
namespace {

QPointer<VisorAyuda>& visor() {
    static QPointer<VisorAyuda> v;
    return v;
}

QString LeerTexto(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

QString TituloDePagina(const QString& ruta) {
    static const QRegularExpression re(QStringLiteral("<title>(.*?)</title>"),
                                       QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(LeerTexto(ruta));
    if (!m.hasMatch()) return QFileInfo(ruta).completeBaseName();
    return m.captured(1).simplified();
}

bool EsExterno(const QUrl& url) {
    const QString esquema = url.scheme().toLower();
    return !esquema.isEmpty() && esquema != QLatin1String("file") &&
           esquema != QLatin1String("qrc");
}

} // namespace

VisorAyuda::VisorAyuda(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmAyuda"));
    setWindowTitle(kTituloAyuda);

    auto* barra = new QToolBar(this);
    barra->setObjectName(QStringLiteral("tbrAyuda"));
    barra->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    accAtras_ =
        barra->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Atrás"));
    accAtras_->setObjectName(QStringLiteral("accAtras"));
    accAtras_->setShortcut(QKeySequence::Back);
    accAdelante_ = barra->addAction(style()->standardIcon(QStyle::SP_ArrowForward),
                                    QStringLiteral("Adelante"));
    accAdelante_->setObjectName(QStringLiteral("accAdelante"));
    accAdelante_->setShortcut(QKeySequence::Forward);
    accInicio_ = barra->addAction(
        QIcon::fromTheme(QStringLiteral("go-home"), style()->standardIcon(QStyle::SP_DirHomeIcon)),
        QStringLiteral("Inicio"));
    accInicio_->setObjectName(QStringLiteral("accInicio"));
    accInicio_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));

    auto* divisor = new QSplitter(Qt::Horizontal, this);
    lstTemas_ = new QListWidget(divisor);
    lstTemas_->setObjectName(QStringLiteral("lstTemas"));
    lstTemas_->setAccessibleName(QStringLiteral("Temas de la ayuda"));
    lstTemas_->setSpacing(2);
    lstTemas_->setTextElideMode(Qt::ElideNone);
    txtTema_ = new QTextBrowser(divisor);
    txtTema_->setObjectName(QStringLiteral("txtTema"));
    txtTema_->setAccessibleName(QStringLiteral("Página de la ayuda"));
    // Links are followed by hand: pages of the help here, the rest outside.
    txtTema_->setOpenLinks(false);
    txtTema_->document()->setDocumentMargin(12);
    divisor->addWidget(lstTemas_);
    divisor->addWidget(txtTema_);
    divisor->setStretchFactor(0, 0);
    divisor->setStretchFactor(1, 1);
    divisor->setSizes({240, 600});

    auto* capas = new QVBoxLayout(this);
    capas->setContentsMargins(0, 0, 0, 0);
    capas->setSpacing(0);
    capas->addWidget(barra);
    capas->addWidget(divisor, 1);

    accAtras_->setEnabled(false);
    accAdelante_->setEnabled(false);
    connect(accAtras_, &QAction::triggered, txtTema_, &QTextBrowser::backward);
    connect(accAdelante_, &QAction::triggered, txtTema_, &QTextBrowser::forward);
    connect(accInicio_, &QAction::triggered, this, [this] {
        if (encontrada_) txtTema_->setSource(QUrl::fromLocalFile(principal_));
    });
    connect(txtTema_, &QTextBrowser::backwardAvailable, accAtras_, &QAction::setEnabled);
    connect(txtTema_, &QTextBrowser::forwardAvailable, accAdelante_, &QAction::setEnabled);
    connect(txtTema_, &QTextBrowser::anchorClicked, this, &VisorAyuda::SeguirEnlace);
    connect(txtTema_, &QTextBrowser::sourceChanged, this, &VisorAyuda::SincronizarIndice);
    connect(lstTemas_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { MostrarTema(item->data(Qt::UserRole).toString()); });
    connect(lstTemas_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { MostrarTema(item->data(Qt::UserRole).toString()); });

    resize(860, 600);
}

bool VisorAyuda::Abrir(const QString& archivo) {
    QString pagina = archivo;
    QString tema;
    const qsizetype corte = archivo.indexOf(QStringLiteral("::/"));
    if (corte >= 0) {
        pagina = archivo.left(corte);
        tema = archivo.mid(corte + 3);
    }
    const QFileInfo info(pagina);
    if (!info.isFile() || !info.isReadable()) {
        MostrarFalta(pagina);
        return false;
    }
    principal_ = info.absoluteFilePath();
    carpeta_ = info.absolutePath();
    encontrada_ = true;
    txtTema_->setSearchPaths({carpeta_});
    const QString estilo = LeerTexto(QDir(carpeta_).filePath(QStringLiteral("estilo.css")));
    txtTema_->document()->setDefaultStyleSheet(estilo);
    CargarIndice();
    txtTema_->clearHistory();
    // Only pages are topics; anything else (the popup texts) opens the default page.
    if (tema.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) && MostrarTema(tema))
        return true;
    txtTema_->setSource(QUrl::fromLocalFile(principal_));
    return true;
}

bool VisorAyuda::MostrarTema(const QString& tema) {
    if (!encontrada_) return false;
    const QUrl relativa(tema);
    const QString ruta = QDir(carpeta_).filePath(relativa.path());
    if (!QFileInfo(ruta).isFile()) return false;
    QUrl url = QUrl::fromLocalFile(ruta);
    url.setFragment(relativa.fragment());
    txtTema_->setSource(url);
    return true;
}

QString VisorAyuda::temaActual() const {
    if (!encontrada_) return {};
    return QFileInfo(txtTema_->source().toLocalFile()).fileName();
}

void VisorAyuda::CargarIndice() {
    lstTemas_->clear();
    auto anadir = [this](const QString& ruta) {
        auto* item = new QListWidgetItem(TituloDePagina(ruta), lstTemas_);
        item->setData(Qt::UserRole, QFileInfo(ruta).fileName());
    };
    anadir(principal_);
    // The other pages in the order of their names (they carry a number).
    const QStringList paginas =
        QDir(carpeta_).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    for (const QString& p : paginas) {
        const QString ruta = QDir(carpeta_).filePath(p);
        if (QFileInfo(ruta).absoluteFilePath() != principal_) anadir(ruta);
    }
}

void VisorAyuda::SincronizarIndice(const QUrl& fuente) {
    const QString actual = QFileInfo(fuente.toLocalFile()).fileName();
    for (int i = 0; i < lstTemas_->count(); ++i) {
        if (lstTemas_->item(i)->data(Qt::UserRole).toString() == actual) {
            const QSignalBlocker bloqueo(lstTemas_);
            lstTemas_->setCurrentRow(i);
            return;
        }
    }
}

void VisorAyuda::SeguirEnlace(const QUrl& url) {
    if (EsExterno(url)) {
        AbrirEnlace(url.toString());
        return;
    }
    const QUrl destino = txtTema_->source().resolved(url);
    if (destino.isLocalFile() && !QFileInfo(destino.toLocalFile()).isFile()) return;
    txtTema_->setSource(destino);
}

void VisorAyuda::MostrarFalta(const QString& archivo) {
    encontrada_ = false;
    principal_.clear();
    carpeta_.clear();
    lstTemas_->clear();
    txtTema_->clearHistory();
    txtTema_->setHtml(
        QStringLiteral("<h2>No se encuentra la ayuda</h2>"
                       "<p>No se ha podido abrir el archivo de ayuda:</p>"
                       "<p><tt>%1</tt></p>"
                       "<p>Es posible que la instalación del programa esté incompleta. "
                       "El juego funciona igualmente; vuelva a instalarlo para recuperar "
                       "la ayuda.</p>")
            .arg(archivo.toHtmlEscaped()));
}

VisorAyuda* HtmlHelp(QWidget* ventana, const QString& archivo) {
    VisorAyuda* v = visor();
    if (!v) {
        v = new VisorAyuda(ventana ? ventana->window() : nullptr);
        v->setAttribute(Qt::WA_DeleteOnClose);
        visor() = v;
    }
    v->Abrir(archivo);
    v->show();
    v->setWindowState(v->windowState() & ~Qt::WindowMinimized);
    v->raise();
    v->activateWindow();
    return v;
}

VisorAyuda* VisorAyudaAbierto() {
    return visor();
}

} // namespace brumaria
