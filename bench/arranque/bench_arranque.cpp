// Start-up cost of the game: time from launch to the first painted main
// window, and peak resident memory, each against a bare Qt window
// measured in the same run. The game runs from a copy of its folder so
// its Config.dat never lands beside the built binary.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct Medida {
    double segundos = 0;
    long rssKb = 0;
    bool ok = false;
};

// Launches one program with the quit-after-first-paint option and waits for it.
Medida Lanzar(const std::string& programa, const std::string& carpeta) {
    std::vector<std::string> entorno;
    for (char** e = environ; *e; ++e)
        entorno.emplace_back(*e);
    if (!getenv("QT_QPA_PLATFORM") && !getenv("DISPLAY"))
        entorno.emplace_back("QT_QPA_PLATFORM=offscreen");
    std::vector<char*> env;
    for (auto& s : entorno)
        env.push_back(s.data());
    env.push_back(nullptr);
    std::string prog = programa;
    std::string salir = "--salir-tras-pintar";
    char* argv[] = {prog.data(), salir.data(), nullptr};

    Medida m;
    const std::string anterior = QDir::currentPath().toStdString();
    QDir::setCurrent(QString::fromStdString(carpeta));
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, prog.c_str(), nullptr, nullptr, argv, env.data()) != 0) {
        QDir::setCurrent(QString::fromStdString(anterior));
        return m;
    }
    int estado = 0;
    rusage uso{};
    wait4(pid, &estado, 0, &uso);
    m.segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    m.rssKb = uso.ru_maxrss;
    m.ok = WIFEXITED(estado) && WEXITSTATUS(estado) == 0;
    QDir::setCurrent(QString::fromStdString(anterior));
    return m;
}

// A private copy of the game's folder (binary, pictures, sound).
struct CarpetaJuego {
    QTemporaryDir dir;
    std::string binario;
    CarpetaJuego() {
        const QString origen = QStringLiteral(BRUMARIA_BIN_DIR);
        QDirIterator it(origen, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString ruta = it.next();
            const QString destino = dir.filePath(QDir(origen).relativeFilePath(ruta));
            QDir().mkpath(QFileInfo(destino).path());
            QFile::copy(ruta, destino);
        }
        const QString b = dir.filePath(QFileInfo(QStringLiteral(BRUMARIA_BINARIO)).fileName());
        QFile::setPermissions(b, QFile::permissions(b) | QFileDevice::ExeOwner);
        binario = b.toStdString();
    }
};

void BM_VentanaVacia(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state) {
        const Medida m = Lanzar(VENTANA_VACIA, dir.path().toStdString());
        if (!m.ok) state.SkipWithError("la ventana vacía no arrancó");
        state.SetIterationTime(m.segundos);
        state.counters["rss_kb"] = double(m.rssKb);
    }
}
BENCHMARK(BM_VentanaVacia)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_Brumaria(benchmark::State& state) {
    CarpetaJuego juego;
    for (auto _ : state) {
        const Medida m = Lanzar(juego.binario, juego.dir.path().toStdString());
        if (!m.ok) state.SkipWithError("el juego no arrancó");
        state.SetIterationTime(m.segundos);
        state.counters["rss_kb"] = double(m.rssKb);
    }
}
BENCHMARK(BM_Brumaria)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Both, alternated, so machine load falls on both alike; reports the
// ratios (goals: time <= 1.15, memory <= 1.25), also against a bare window
// showing one line of text.
void BM_Relacion(benchmark::State& state) {
    CarpetaJuego juego;
    QTemporaryDir vacia;
    double tJuego = 0, tVacia = 0, rJuego = 0, rVacia = 0, tTexto = 0, rTexto = 0;
    int n = 0;
    for (auto _ : state) {
        const Medida a = Lanzar(VENTANA_VACIA, vacia.path().toStdString());
        setenv("VENTANA_CON_TEXTO", "1", 1);
        const Medida t = Lanzar(VENTANA_VACIA, vacia.path().toStdString());
        unsetenv("VENTANA_CON_TEXTO");
        const Medida b = Lanzar(juego.binario, juego.dir.path().toStdString());
        if (!a.ok || !b.ok || !t.ok) {
            state.SkipWithError("un arranque falló");
            break;
        }
        tVacia += a.segundos;
        tTexto += t.segundos;
        rTexto += double(t.rssKb);
        tJuego += b.segundos;
        rVacia += double(a.rssKb);
        rJuego += double(b.rssKb);
        ++n;
        state.SetIterationTime(a.segundos + b.segundos);
    }
    if (n > 0) {
        state.counters["relacion_tiempo"] = tJuego / tVacia;
        state.counters["relacion_memoria"] = rJuego / rVacia;
        state.counters["juego_ms"] = 1000 * tJuego / n;
        state.counters["vacia_ms"] = 1000 * tVacia / n;
        // Against a bare window that shows one line of text (fonts loaded).
        state.counters["relacion_tiempo_texto"] = tJuego / tTexto;
        state.counters["relacion_memoria_texto"] = rJuego / rTexto;
        state.counters["texto_ms"] = 1000 * tTexto / n;
    }
}
BENCHMARK(BM_Relacion)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
