// Appending history lines the way the window does: to a QPlainTextEdit pane,
// and with the history file on, to the file (opened and closed per line).
#include "options/opciones.h"
#include "logs/cuadros_de_texto.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace brumaria;

namespace {

constexpr int kLineas = 10000;

class PanelesReales : public PanelesTexto {
public:
    QPlainTextEdit historial;
    QPlainTextEdit chat;
    void AnadirLineaHistorial(const QString& linea) override { historial.appendPlainText(linea); }
    void AnadirLineaChat(const QString& linea) override { chat.appendPlainText(linea); }
    void EscribirEstado(int, const QString&) override {}
    void ParpadearSTB(int, int) override {}
    void MostrarAviso(const QString&) override {}
};

void Escribir(benchmark::State& state, bool blnArchivo) {
    QTemporaryDir carpeta;
    ModOpciones opciones;
    opciones.Opciones.blnHistorialMovimientosActivar = blnArchivo;
    opciones.Opciones.strRutaArchivoHistorial = carpeta.filePath(QStringLiteral("Historial.txt"));
    const QString linea = QStringLiteral("Ordenador\tC5\tHundido");
    for (auto _ : state) {
        state.PauseTiming();
        auto paneles = std::make_unique<PanelesReales>();
        ModCuadrosDeTexto cuadros(opciones);
        cuadros.FijarPaneles(paneles.get());
        QFile::remove(opciones.Opciones.strRutaArchivoHistorial);
        state.ResumeTiming();
        for (int i = 0; i < kLineas; ++i)
            cuadros.EscribirEnHistorial(linea);
        benchmark::DoNotOptimize(paneles->historial.blockCount());
        state.PauseTiming();
        paneles.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kLineas);
}

void BM_DiezMilLineasAlPanel(benchmark::State& state) {
    Escribir(state, false);
}
void BM_DiezMilLineasAlPanelYAlArchivo(benchmark::State& state) {
    Escribir(state, true);
}

BENCHMARK(BM_DiezMilLineasAlPanel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiezMilLineasAlPanelYAlArchivo)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
