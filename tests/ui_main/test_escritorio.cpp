// The game on the desktop: Qt's own dialogs speak Spanish, and the help
// tells the truth about the program's captions.
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "platform/traducciones.h"
#include "ui/main/aplicacion.h"
#include "ui/main/frm_empezar_partida.h"
#include "platform/rutas.h"
#include "platform/visor_ayuda.h"
#include "ui/options/frm_color.h"
#include "ui/options/frm_opciones.h"
#include "ui/placement/colocar_barcos.h"
#include "ventana_prueba.h"

#include <QAccessible>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace brumaria;

TEST(Escritorio, LosDialogosDeQtHablanEspanol) {
    // The test main has loaded Qt's catalogue, as the game's main does.
    QFileDialog d(nullptr, QStringLiteral("Examinar"));
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    QStringList textos;
    for (auto* b : d.findChildren<QPushButton*>())
        textos << b->text().remove(u'&');
    EXPECT_TRUE(textos.contains(QStringLiteral("Cancelar"))) << textos.join(u'|').toStdString();
}

namespace {

// A caption as the user reads it: no access-key mark, no closing colon.
QString Normalizar(QString t) {
    t.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    t = t.simplified().remove(u'&');
    while (t.endsWith(u':'))
        t.chop(1);
    return t;
}

} // namespace

// The help names the program's captions in bold and its status and history
// texts as «quoted» texts: each one must be a text the program has.
TEST(Escritorio, LaAyudaSoloNombraTextosQueElProgramaTiene) {
    QSet<QString> textos;
    static const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    QDirIterator fuentes(QStringLiteral(BRUMARIA_FUENTES "/src"),
                         {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                         QDirIterator::Subdirectories);
    while (fuentes.hasNext()) {
        const QString codigo = QString::fromUtf8(prueba::LeerArchivo(fuentes.next()));
        for (auto it = literal.globalMatch(codigo); it.hasNext();)
            textos.insert(Normalizar(it.next().captured(1)));
    }
    ASSERT_GT(textos.size(), 300);

    static const QRegularExpression negrita(QStringLiteral("<b>(.*?)</b>"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cita(QStringLiteral("<span class=\"texto\">«(.*?)»</span>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    // Squares and their row and column names are drawn, not written out.
    static const QRegularExpression casilla(QStringLiteral("^[A-J]?(10|[1-9])?$"));
    const QDir ayuda(QStringLiteral(BRUMARIA_FUENTES "/assets/ayuda"));
    int intNombrados = 0;
    for (const QString& pagina : ayuda.entryList({QStringLiteral("*.html")})) {
        const QString html = QString::fromUtf8(prueba::LeerArchivo(ayuda.filePath(pagina)));
        QStringList nombrados;
        for (auto it = negrita.globalMatch(html); it.hasNext();)
            nombrados << it.next().captured(1).split(QStringLiteral("→"));
        for (auto it = cita.globalMatch(html); it.hasNext();)
            nombrados << it.next().captured(1);
        for (const QString& n : nombrados) {
            const QString t = Normalizar(n);
            ++intNombrados;
            if (casilla.match(t).hasMatch()) continue;
            EXPECT_TRUE(textos.contains(t))
                << pagina.toStdString() << ": «" << t.toStdString() << "»";
        }
    }
    EXPECT_GT(intNombrados, 100);
}

namespace {

// Every control a screen reader can land on, with no name to read: its
// role and object path.
void SinNombre(QAccessibleInterface* a, const QString& camino, QStringList& faltan, int& vistos) {
    if (!a || !a->isValid()) return;
    static const QSet<QAccessible::Role> controles = {
        QAccessible::PushButton,   QAccessible::CheckBox,  QAccessible::RadioButton,
        QAccessible::EditableText, QAccessible::ComboBox,  QAccessible::Slider,
        QAccessible::SpinBox,      QAccessible::List,      QAccessible::Table,
        QAccessible::Cell,         QAccessible::PageTab,   QAccessible::MenuItem,
        QAccessible::Graphic,      QAccessible::StatusBar, QAccessible::StaticText};
    const QWidget* w = qobject_cast<const QWidget*>(a->object());
    if (w && !w->isVisibleTo(w->window())) return;
    const QString nombre = camino + u'/' +
                           (a->object() ? a->object()->objectName() : QStringLiteral("#")) +
                           QStringLiteral("(%1)").arg(a->role());
    if (controles.contains(a->role()) || a->state().focusable) {
        ++vistos;
        if (a->text(QAccessible::Name).trimmed().isEmpty()) faltan << nombre;
    }
    for (int i = 0; i < a->childCount(); ++i)
        SinNombre(a->child(i), nombre, faltan, vistos);
}

// Walks every page of a dialog with tabs; one text per nameless control.
std::string ControlesSinNombre(QWidget& w, int intMinimo) {
    QStringList faltan;
    int vistos = 0;
    auto* pestanas = w.findChild<QTabWidget*>();
    for (int i = 0; i < (pestanas ? pestanas->count() : 1); ++i) {
        if (pestanas) pestanas->setCurrentIndex(i);
        SinNombre(QAccessible::queryAccessibleInterface(&w), w.objectName(), faltan, vistos);
    }
    EXPECT_GE(vistos, intMinimo) << w.objectName().toStdString();
    faltan.removeDuplicates();
    return faltan.join(u'\n').toStdString();
}

} // namespace

// A screen reader finds a name for every control and every square of the
// main window, the new-game dialog, the placement editor and the options.
TEST(Escritorio, CadaControlYCasillaTieneNombreParaElLectorDePantalla) {
    prueba::CarpetaTemporal carpeta;
    carpeta.CopiarRecursos();
    prueba::GrabadorMensajes cajas;
    auto app = prueba::VentanaLista(3); // the typed attack line shown too
    FrmPrincipal& v = app->ventana;
    EXPECT_EQ(ControlesSinNombre(v, 240), "");

    FrmEmpezarPartida nueva(&v);
    nueva.show();
    EXPECT_EQ(ControlesSinNombre(nueva, 6), "");

    FrmColocarBarcos editor(app->principal, app->opciones.Opciones, &v);
    editor.show();
    EXPECT_EQ(ControlesSinNombre(editor, 100), "");

    FrmOpciones opciones(app->opciones, &v, &v);
    opciones.show();
    EXPECT_EQ(ControlesSinNombre(opciones, 30), "");

    EstadoColor color;
    FrmColor picker(color, &v);
    picker.show();
    EXPECT_EQ(ControlesSinNombre(picker, 8), "");

    VisorAyuda ayuda;
    ayuda.Abrir(UnirRuta(strRutaPrograma(), QStringLiteral("ayuda/index.html")));
    ayuda.show();
    EXPECT_EQ(ControlesSinNombre(ayuda, 5), "");
}
