// The popups of the game's own dialogs, built as the game builds them.
#include "carpeta_temporal.h"
#include "grabador_mensajes.h"
#include "impresion.h"
#include "ui/help/ayuda.h"

#include <QTextDocumentFragment>
#include <QWidget>
#include <gtest/gtest.h>

#include "core/modprincipal.h"
#include "ui/main/frm_empezar_partida.h"
#include "ui/options/frm_opciones.h"
#include "ui/placement/colocar_barcos.h"

using namespace brumaria;

namespace {

QList<int> Serie(int desde, int hasta) {
    QList<int> r;
    for (int n = desde; n <= hasta; n += 10)
        r << n;
    return r;
}

// Every control with a popup number shows that popup's text, the numbers
// found are exactly the expected ones, and the help-file string points at
// the popups only while the dialog exists.
TEST(DialogosReales, CadaControlMuestraSuEmergente) {
    prueba::CarpetaTemporal carpeta;
    carpeta.CopiarRecursos();
    prueba::GrabadorMensajes mensajes;
    const QString antes = strArchivoAyuda();
    ModOpciones opciones;
    opciones.Opciones = RegistroOpciones::PorDefecto();
    ModPrincipal principal;
    const std::pair<std::function<QWidget*()>, QList<int>> dialogos[] = {
        {[&] { return new FrmOpciones(opciones, nullptr); }, Serie(1200, 1570)},
        {[&] { return new FrmColocarBarcos(principal, opciones.Opciones); },
         {1000, 1010, 1020, 1030}},
        {[] { return new FrmEmpezarPartida; }, Serie(1100, 1160)}};
    for (const auto& [crear, esperados] : dialogos) {
        std::unique_ptr<QWidget> d(crear());
        EXPECT_EQ(strArchivoAyuda(), antes + kTemasEmergentes);
        EXPECT_TRUE(d->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        QMap<int, int> vistos;
        for (QWidget* w : d->findChildren<QWidget*>()) {
            const QVariant n = w->property(kPropiedadAyudaEmergente);
            if (!n.isValid()) continue;
            ++vistos[n.toInt()];
            const QString texto = TextoEmergente(n.toInt());
            EXPECT_FALSE(texto.isEmpty()) << n.toInt();
            EXPECT_EQ(QTextDocumentFragment::fromHtml(w->whatsThis()).toPlainText(),
                      QString(texto).replace(QStringLiteral("\n\n"), QStringLiteral("\n")))
                << w->objectName().toStdString();
        }
        EXPECT_EQ(vistos.keys(), esperados);
        if (esperados.contains(1010)) {
            EXPECT_EQ(vistos.value(1010), 100); // every square
        }
        d.reset();
        EXPECT_EQ(strArchivoAyuda(), antes);
    }
}

} // namespace
