#!/usr/bin/env python3
"""Puts each fault of tools/mutantes.txt into the code, one at a time,
rebuilds, runs the test suite and tells which tests caught it. The code is
restored after each one, also on Ctrl+C.

  tools/mutantes.py [--build DIR] [--json FILE] [--primera [--antes FILE]] [id ...]

Only the tests whose program the fault made rebuild are run. --primera stops
at the first failing test: enough to know a fault is caught, not to know
every test that catches it. With it, the programs of the tests that caught
the fault in an earlier run (--antes, that run's --json) are built and those
tests run first, alone; with no earlier catchers, the tests of the fault's
own area.

A fault no test catches is "VIVO"; the exit status is 1 if any is."""
import json
import os
import pathlib
import re
import signal
import subprocess
import sys

RAIZ = pathlib.Path(__file__).resolve().parent.parent


def leer_mutantes():
    bloques = []
    actual = {}
    clave = None
    for linea in (RAIZ / "tools" / "mutantes.txt").read_text(encoding="utf-8").split("\n"):
        if linea.startswith("#"):
            continue
        if not linea.strip():
            if actual:
                bloques.append(actual)
            actual, clave = {}, None
            continue
        m = re.match(r"^(id|antes|despues): ?(.*)$", linea)
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
    return re.findall(r"^\s*\d+ - (\S+) \((?!Skipped|Disabled)", resto, re.M)


# Programs that tests start as their own processes, and the test program that
# does; any other rebuilt program that no test runs makes the whole suite run.
AYUDANTES = {"hijo_fin_de_sesion": "ui_main_tests", "brumaria": "ui_main_tests",
             "conductor_red": "test_net_ui_partida"}


# Where a fault with no earlier catcher is looked for first.
PRIMERO_POR_AREA = [("src/core", "core_tests"), ("src/match", "test_match"),
                    ("src/logs", "test_match"), ("src/options", "brumaria_options_tests"),
                    ("src/platform/cp1252", "brumaria_options_tests"),
                    ("src/net", "test_net_protocolo"), ("src/ui/main", "ui_main_tests"),
                    ("src/ui/placement", "placement_tests"), ("src/ui/help", "help_tests"),
                    ("src/ui/options", "brumaria_options_ui_tests"),
                    ("src/ui/net", "test_net_ui"), ("src/platform", "ui_main_tests")]


def programas(build):
    b = pathlib.Path(build)
    return {p.name: p.stat().st_mtime_ns for d in (b / "tests", b / "bin") if d.is_dir()
            for p in d.iterdir() if p.is_file() and os.access(p, os.X_OK)}


def pruebas(build):
    r = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                       capture_output=True, text=True)
    return [(i + 1, t["name"], pathlib.Path(t.get("command", [""])[0]).name)
            for i, t in enumerate(json.loads(r.stdout)["tests"])]


def ctest(build, numeros, primera):
    r = subprocess.run(["ctest", "--test-dir", build, "-j2", "--timeout", "120",
                        "-I", "0,0,0," + ",".join(map(str, numeros))]
                       + (["--stop-on-failure"] if primera else []),
                       capture_output=True, text=True)
    return que_fallan(r.stdout)


def probar(build, m, primera=False, antes=(), conocidas=()):
    archivo = buscar(m["antes"])
    if archivo is None:
        return {"id": m["id"], "estado": "NO ENCONTRADO", "pruebas": []}
    original = archivo.read_text(encoding="utf-8")
    try:
        archivo.write_text(original.replace(m["antes"], m["despues"]), encoding="utf-8")
        hechos = programas(build)
        if primera and conocidas:
            # Only the programs of the earlier catchers (or else of the tests
            # of the fault's own area), built and run first.
            area = next((prog for carpeta, prog in PRIMERO_POR_AREA
                         if str(archivo.relative_to(RAIZ)).startswith(carpeta)), None)
            primero = [(n, prog) for n, nombre, prog in conocidas if nombre in antes]
            if not primero:  # none then, or all since renamed or merged
                primero = [(n, prog) for n, _, prog in conocidas if prog == area]
            progs = {prog for _, prog in primero}
            progs |= {a for a, usuario in AYUDANTES.items() if usuario in progs}
            if primero and subprocess.run(["cmake", "--build", build, "--target", *sorted(progs)],
                                          capture_output=True).returncode == 0:
                fallan = ctest(build, [n for n, _ in primero], True)
                if fallan:
                    return {"id": m["id"], "estado": "CAZADO",
                            "archivo": str(archivo.relative_to(RAIZ)), "pruebas": fallan}
        r = subprocess.run(["cmake", "--build", build], capture_output=True, text=True)
        if r.returncode != 0:
            return {"id": m["id"], "estado": "NO COMPILA", "pruebas": []}
        ahora = programas(build)
        cambiados = {n for n, t in ahora.items() if hechos.get(n) != t}
        todas = pruebas(build)
        con_prueba = {prog for _, _, prog in todas}
        if cambiados - con_prueba - set(AYUDANTES):
            elegidas = [n for n, _, _ in todas]
        else:
            cambiados |= {AYUDANTES[c] for c in cambiados if c in AYUDANTES}
            elegidas = [n for n, _, prog in todas if prog in cambiados]
        fallan = ctest(build, elegidas, primera) if elegidas else []
        return {"id": m["id"], "estado": "CAZADO" if fallan else "VIVO",
                "archivo": str(archivo.relative_to(RAIZ)), "pruebas": fallan}
    finally:
        archivo.write_text(original, encoding="utf-8")


def main():
    # A kill still restores the code (the finally blocks run).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    args = sys.argv[1:]
    build, salida = "build", None
    if "--build" in args:
        i = args.index("--build")
        build = args[i + 1]
        del args[i:i + 2]
    if "--json" in args:
        i = args.index("--json")
        salida = args[i + 1]
        del args[i:i + 2]
    primera = "--primera" in args
    if primera:
        args.remove("--primera")
    anteriores = {}
    if "--antes" in args:
        i = args.index("--antes")
        anteriores = {r["id"]: set(r["pruebas"])
                      for r in json.loads(pathlib.Path(args[i + 1]).read_text(encoding="utf-8"))}
        del args[i:i + 2]
    todos = {m["id"]: m for m in leer_mutantes()}
    mutantes = [todos[i] for i in args if i in todos] if args else list(todos.values())
    conocidas = ()
    if primera:
        subprocess.run(["cmake", "--build", build], capture_output=True)
        conocidas = pruebas(build)
    resultados = []
    for m in mutantes:
        r = probar(build, m, primera, anteriores.get(m["id"], ()), conocidas)
        resultados.append(r)
        print(f"{r['id']}: {r['estado']} {len(r['pruebas'])} {' '.join(r['pruebas'][:6])}",
              flush=True)
        if salida:
            pathlib.Path(salida).write_text(json.dumps(resultados, indent=1), encoding="utf-8")
    subprocess.run(["cmake", "--build", build], capture_output=True)
    vivos = [r["id"] for r in resultados if r["estado"] != "CAZADO"]
    print(f"{len(resultados) - len(vivos)} de {len(resultados)} cazados; sin cazar: {' '.join(vivos)}")
    return 1 if vivos else 0


if __name__ == "__main__":
    sys.exit(main())
