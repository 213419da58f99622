#!/usr/bin/env python3
"""Puts each fault of a list into the code, one at a time, rebuilds, runs
the tests that can see it and tells which caught it. The code is restored
after each one, also on Ctrl+C or a kill.

  tools/mutantes.py [--lista FILE] [--build DIR] [--json FILE [--seguir]]
                    [--vivos FILE] [--primera [--antes FILE]] [-j N] [--lab]
                    [--sin REGEX] [id ...]

--lista is tools/mutantes.txt (written by hand) unless told otherwise, e.g.
tools/mutantes_generados.txt (written by tools/generar_mutantes.py).

-j is how many tests ctest runs at once (2 unless told): most of the
network tests wait more than they compute, and two runs over two clones
of the tree can go side by side, each given part of the ids.

The library holding the changed file is built first: if it fails, or a
program using it does, the fault is "NO COMPILA", neither caught nor alive.
Then only the test programs built from that library are rebuilt and their
tests run, the fault's own area first (or, with --antes, the tests that
caught it in that earlier --json run), the rest only if those miss it.
--lab also runs the network lab's tests (root, a few minutes each round),
the only ones that see the port mapping through a real router.
--primera stops at the first failing test: enough to know a fault is caught,
not to know every test that catches it. The packaging check, which no
rule's change reaches, is not run.

--sin leaves out the tests whose names the regular expression finds: a
fault still caught without them is caught by some other test, which is how
to learn whether a test is the only one that sees a fault before cutting it.

--json writes the results after each fault; with --seguir the faults
already in that file are not run again, so a stopped run goes on where it
was. --vivos writes the faults no test caught so far, with where they are
and what they change, after each fault.

A fault no test catches is "VIVO"; one whose block says `equivalente:` (why
no test can see it) is "EQUIVALENTE" when alive. The exit status is 1 if
any fault is alive."""
import json
import os
import pathlib
import re
import signal
import subprocess
import sys
import time

RAIZ = pathlib.Path(__file__).resolve().parent.parent


def leer_mutantes(lista):
    bloques = []
    actual = {}
    clave = None
    for linea in pathlib.Path(lista).read_text(encoding="utf-8").split("\n"):
        if linea.startswith("#"):
            continue
        if not linea.strip():
            if actual:
                bloques.append(actual)
            actual, clave = {}, None
            continue
        m = re.match(r"^(id|regla|lugar|equivalente|antes|despues): ?(.*)$", linea)
        if m:
            clave = m.group(1)
            actual[clave] = m.group(2)
        elif clave:
            actual[clave] += "\n" + linea
    if actual:
        bloques.append(actual)
    return bloques


def buscar(antes):
    encontrados = []
    for p in sorted((RAIZ / "src").rglob("*")):
        if p.suffix in (".cpp", ".h") and p.is_file():
            n = p.read_text(encoding="utf-8").count(antes)
            if n:
                encontrados.append((p, n))
    if len(encontrados) != 1 or encontrados[0][1] != 1:
        return None
    return encontrados[0][0]



def que_fallan(salida):
    """The tests under ctest's "FAILED" list only: its "did not run" list
    (skipped tests) looks the same line by line and catches nothing."""
    _, _, resto = salida.partition("The following tests FAILED:")
    # A parameterised test's name goes on with "  # GetParam() = ...".
    return [nombre for nombre, estado in
            re.findall(r"^\s*\d+ - (.+?) \(([^()]*)\)\s*$", resto, re.M)
            if estado not in ("Skipped", "Disabled")]


# Programs a test starts besides its own, by the program ctest runs.
AYUDANTES = {"ui_main_tests": ["brumaria", "brumaria_red"],
             "test_net_ui_partida": ["conductor_red"],
             "dbus-run-session": ["brumaria", "brumaria_red"]}
# The lab's scripts (ctest starts bash), run only when asked for.
AYUDANTES_LAB = {"bash": ["brumaria", "brumaria_red", "conductor_red", "abrir_puerto",
                          "test_net_transporte"]}


# Where a fault with no earlier catcher is looked for first.
PRIMERO_POR_AREA = [("src/core", "core_tests"), ("src/match", "test_match"),
                    ("src/logs", "test_match"), ("src/options", "brumaria_options_tests"),
                    ("src/platform/cp1252", "brumaria_options_tests"),
                    ("src/net", "test_net_protocolo"), ("src/ui/main", "ui_main_tests"),
                    ("src/ui/placement", "placement_tests"), ("src/ui/help", "help_tests"),
                    ("src/ui/options", "brumaria_options_ui_tests"),
                    ("src/ui/net", "test_net_ui"), ("src/platform", "ui_main_tests")]


def construir(build, objetivos):
    """None when built, else the end of the compiler's complaint."""
    r = subprocess.run(["cmake", "--build", build, "--target", *sorted(objetivos)],
                       capture_output=True, text=True)
    return None if r.returncode == 0 else (r.stdout + r.stderr)[-600:]


class Suite:
    """The tests, the program each runs (the one ctest starts, or for the
    screen-reader test its launcher) and the sources each program is built
    from, read once."""

    def __init__(self, build, trabajos=2, lab=False, sin=None):
        self.build = build
        ayudantes = {**AYUDANTES, **(AYUDANTES_LAB if lab else {})}
        self.trabajos = trabajos
        r = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                           capture_output=True, text=True)
        self.pruebas = [(i + 1, t["name"], pathlib.Path(t.get("command", [""])[0]).name)
                        for i, t in enumerate(json.loads(r.stdout)["tests"])
                        if not (sin and re.search(sin, t["name"]))]
        r = subprocess.run(["ninja", "-C", build, "-t", "targets", "all"],
                           capture_output=True, text=True)
        hechos = {pathlib.Path(l.split(":")[0]).name for l in r.stdout.splitlines()}
        self.objetivos, self.fuentes = {}, {}
        for prog in {p for _, _, p in self.pruebas}:
            objs = ([prog] if prog in hechos else []) + ayudantes.get(prog, [])
            if not objs:
                continue  # the packaging and tree checks: no rule of the code reaches them
            self.objetivos[prog] = objs
            r = subprocess.run(["ninja", "-C", build, "-t", "inputs", *objs],
                               capture_output=True, text=True)
            self.fuentes[prog] = set(r.stdout.split())

    def que_programas(self, archivo):
        """The programs built from the file, or for a header from its folder."""
        carpeta = [str(p) for p in archivo.parent.glob("*.cpp")]
        return {prog for prog, f in self.fuentes.items()
                if str(archivo) in f or (archivo.suffix == ".h" and any(c in f for c in carpeta))}

    def ejecutar(self, programas, nombres, primera):
        numeros = [n for n, nombre, prog in self.pruebas
                   if prog in programas and (nombres is None or nombre in nombres)]
        if not numeros:
            return []
        r = subprocess.run(["ctest", "--test-dir", self.build, f"-j{self.trabajos}", "--timeout", "120",
                            "-I", "0,0,0," + ",".join(map(str, numeros))]
                           + (["--stop-on-failure"] if primera else []),
                           capture_output=True, text=True)
        return que_fallan(r.stdout)


def biblioteca(archivo):
    """The first library its folder's CMakeLists.txt builds."""
    cm = archivo.parent / "CMakeLists.txt"
    m = re.search(r"add_library\(\s*(\w+)", cm.read_text(encoding="utf-8")) if cm.exists() else None
    return m.group(1) if m else None


def probar(suite, m, primera=False, antes=()):
    archivo = buscar(m["antes"])
    if archivo is None:
        return {"id": m["id"], "estado": "NO ENCONTRADO", "pruebas": []}
    original = archivo.read_text(encoding="utf-8")
    donde = original.index(m["antes"])
    cambio = next((k for k, (a, b) in enumerate(zip(m["antes"], m["despues"])) if a != b),
                  min(len(m["antes"]), len(m["despues"])))
    lugar = f"{archivo.relative_to(RAIZ)}:{original.count(chr(10), 0, donde + cambio) + 1}"
    resultado = {"id": m["id"], "archivo": str(archivo.relative_to(RAIZ)), "lugar": lugar}
    try:
        archivo.write_text(original.replace(m["antes"], m["despues"]), encoding="utf-8")
        lib = biblioteca(archivo)
        queja = construir(suite.build, [lib]) if lib else None
        if queja:
            return {**resultado, "estado": "NO COMPILA", "pruebas": [], "queja": queja}
        progs = suite.que_programas(archivo)
        area = next((prog for carpeta, prog in PRIMERO_POR_AREA
                     if resultado["archivo"].startswith(carpeta)), None)
        if primera:
            # The earlier catchers alone, else the area's program; then all
            # the other programs, built in one go and run together (with
            # most faults alive, one build and one ctest cost least).
            previas = {prog for _, nombre, prog in suite.pruebas if nombre in antes} & progs
            etapas = [(previas, set(antes)), (progs, None)] if previas else \
                [({area} & progs, None), (progs - {area}, None)]
        else:
            etapas = [(progs, None)]
        fallan, hechos = [], set()
        for programas, nombres in etapas:
            if not programas:
                continue
            objs = {o for p in programas for o in suite.objetivos[p]}
            queja = construir(suite.build, objs - hechos) if objs - hechos else None
            if queja:
                return {**resultado, "estado": "NO COMPILA", "pruebas": [], "queja": queja}
            hechos |= objs
            fallan += [f for f in suite.ejecutar(programas, nombres, primera) if f not in fallan]
            if fallan and primera:
                break
        estado = "CAZADO" if fallan else ("EQUIVALENTE" if m.get("equivalente") else "VIVO")
        return {**resultado, "estado": estado, "pruebas": fallan}
    finally:
        archivo.write_text(original, encoding="utf-8")


def escribir_vivos(ruta, lista, resultados, mutantes):
    vivos = [r for r in resultados if r["estado"] == "VIVO"]
    lineas = [f"# Faults of {lista} no test catches yet ({len(vivos)}), "
              "updated after each fault by tools/mutantes.py.", ""]
    for r in vivos:
        m = mutantes[r["id"]]
        lineas += [f"id: {r['id']}", f"lugar: {r.get('lugar', '')}",
                   f"antes: {m['antes']}", f"despues: {m['despues']}", ""]
    pathlib.Path(ruta).write_text("\n".join(lineas), encoding="utf-8")


def opcion(args, nombre, defecto=None):
    if nombre not in args:
        return defecto
    i = args.index(nombre)
    valor = args[i + 1]
    del args[i:i + 2]
    return valor


def main():
    # A kill still restores the code (the finally blocks run).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    args = sys.argv[1:]
    if {"-h", "--help"} & set(args):
        print(__doc__)
        return 0
    build = opcion(args, "--build", "build")
    salida = opcion(args, "--json")
    lista = opcion(args, "--lista", str(RAIZ / "tools" / "mutantes.txt"))
    ruta_vivos = opcion(args, "--vivos")
    previo = opcion(args, "--antes")
    trabajos = int(opcion(args, "-j", "2"))
    sin = opcion(args, "--sin")
    anteriores = {r["id"]: set(r["pruebas"])
                  for r in json.loads(pathlib.Path(previo).read_text(encoding="utf-8"))} \
        if previo else {}
    banderas = {b for b in ("--primera", "--seguir", "--lab") if b in args}
    args = [a for a in args if a not in banderas]
    primera = "--primera" in banderas
    todos = {m["id"]: m for m in leer_mutantes(lista)}
    desconocidos = [i for i in args if i not in todos]
    if desconocidos:  # a misspelt option would otherwise run nothing
        sys.exit(f"not in {lista}: {' '.join(desconocidos)}")
    mutantes = [todos[i] for i in args] if args else list(todos.values())
    resultados = []
    if "--seguir" in banderas and salida and pathlib.Path(salida).exists():
        elegidos = {m["id"] for m in mutantes}
        resultados = [r for r in json.loads(pathlib.Path(salida).read_text(encoding="utf-8"))
                      if r["id"] in elegidos]
        hechos = {r["id"] for r in resultados}
        mutantes = [m for m in mutantes if m["id"] not in hechos]
    subprocess.run(["cmake", "--build", build], capture_output=True)
    suite = Suite(build, trabajos, "--lab" in banderas, sin)
    for m in mutantes:
        inicio = time.monotonic()
        r = probar(suite, m, primera, anteriores.get(m["id"], ()))
        r["segundos"] = round(time.monotonic() - inicio, 1)
        resultados.append(r)
        print(f"{r['id']}: {r['estado']} {len(r['pruebas'])} {' '.join(r['pruebas'][:6])}",
              flush=True)
        if salida:
            pathlib.Path(salida).write_text(json.dumps(resultados, indent=1), encoding="utf-8")
        if ruta_vivos:
            escribir_vivos(ruta_vivos, lista, resultados, todos)
    subprocess.run(["cmake", "--build", build], capture_output=True)
    cuenta = {e: sum(r["estado"] == e for r in resultados)
              for e in ("CAZADO", "VIVO", "EQUIVALENTE", "NO COMPILA", "NO ENCONTRADO")}
    cuenta["EQUIVALENTE"] += sum(r["estado"] == "VIVO" and bool(todos[r["id"]].get("equivalente"))
                                 for r in resultados)
    cuenta["VIVO"] -= cuenta["EQUIVALENTE"] - sum(r["estado"] == "EQUIVALENTE" for r in resultados)
    vivos = [r["id"] for r in resultados if r["estado"] == "VIVO" and not todos[r["id"]].get("equivalente")]
    validos = len(resultados) - cuenta["NO COMPILA"] - cuenta["NO ENCONTRADO"] - cuenta["EQUIVALENTE"]
    print(f"{cuenta['CAZADO']} de {validos} cazados"
          f" ({100 * cuenta['CAZADO'] / max(validos, 1):.1f} %); "
          f"{cuenta['EQUIVALENTE']} equivalentes, {cuenta['NO COMPILA']} no compilan, "
          f"{cuenta['NO ENCONTRADO']} no encontrados; sin cazar: {' '.join(vivos)}")
    return 1 if vivos else 0


if __name__ == "__main__":
    sys.exit(main())
