// The game on the desktop: Qt's own dialogs speak Spanish, and the help
// tells the truth about the program's captions.
#include "platform/traducciones.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>
#include <QSet>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(Escritorio, LosDialogosDeQtHablanEspanol) {
    // The test main has loaded the catalogue already, as the game's main does.
    QFileDialog d(nullptr, QStringLiteral("Examinar"));
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    d.show();
    QStringList textos;
    for (auto* b : d.findChildren<QPushButton*>())
        textos << b->text().remove(u'&');
    for (auto* l : d.findChildren<QLabel*>())
        textos << l->text().remove(u'&');
    EXPECT_TRUE(textos.contains(QStringLiteral("Cancelar"))) << textos.join(u'|').toStdString();
    EXPECT_FALSE(textos.contains(QStringLiteral("Cancel")));
    EXPECT_FALSE(textos.contains(QStringLiteral("Look in:")));
    EXPECT_FALSE(textos.contains(QStringLiteral("File name:")));
}

namespace {

QString LeerTexto(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

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
    QDirIterator fuentes(QStringLiteral(BRUMARIA_FUENTES "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                         QDir::Files, QDirIterator::Subdirectories);
    while (fuentes.hasNext()) {
        const QString codigo = LeerTexto(fuentes.next());
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
        const QString html = LeerTexto(ayuda.filePath(pagina));
        QStringList nombrados;
        for (auto it = negrita.globalMatch(html); it.hasNext();)
            nombrados << it.next().captured(1).split(QStringLiteral("→"));
        for (auto it = cita.globalMatch(html); it.hasNext();)
            nombrados << it.next().captured(1);
        for (const QString& n : nombrados) {
            const QString t = Normalizar(n);
            ++intNombrados;
            if (casilla.match(t).hasMatch()) continue;
            EXPECT_TRUE(textos.contains(t)) << pagina.toStdString() << ": «" << t.toStdString() << "»";
        }
    }
    EXPECT_GT(intNombrados, 100);
}
