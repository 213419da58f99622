// One save of Config.dat followed by one load, as the options dialog and a
// later start-up do it.
#include "options/opciones.h"
#include "platform/rutas.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_GuardarYCargarConfig(benchmark::State& estado) {
    QTemporaryDir carpeta;
    brumaria::FijarRutaPrograma(carpeta.path());
    brumaria::ModOpciones m;
    m.Opciones = brumaria::RegistroOpciones::PorDefecto();
    m.Opciones.strAlertaMensajeMsgBox = QStringLiteral("¡Más rápido, capitán!");
    for (auto _ : estado) {
        if (!m.blnGuardarOpcionesEnArchivo() || !m.blnCargarOpcionesDeArchivo())
            estado.SkipWithError("Config.dat no se pudo guardar o cargar");
    }
    brumaria::FijarRutaPrograma(QString());
}
BENCHMARK(BM_GuardarYCargarConfig)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_CodificarYDecodificar(benchmark::State& estado) {
    const auto o = brumaria::RegistroOpciones::PorDefecto();
    brumaria::RegistroOpciones leido;
    for (auto _ : estado) {
        const QByteArray d = brumaria::CodificarOpciones(o);
        benchmark::DoNotOptimize(brumaria::DecodificarOpciones(d, leido));
    }
}
BENCHMARK(BM_CodificarYDecodificar)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
