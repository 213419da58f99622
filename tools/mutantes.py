#!/usr/bin/env python3
"""Puts each fault of tools/mutantes.txt into the code, one at a time,
rebuilds, runs the test suite and tells which tests caught it. The code is
restored after each one, also on Ctrl+C.

  tools/mutantes.py [--build DIR] [--json FILE] [--primera] [id ...]

--primera stops each run at the first failing test: enough to know a fault
is caught, not to know every test that catches it.

A fault no test catches is "VIVO"; the exit status is 1 if any is."""
import json
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


def probar(build, m, primera=False):
    archivo = buscar(m["antes"])
    if archivo is None:
        return {"id": m["id"], "estado": "NO ENCONTRADO", "pruebas": []}
    original = archivo.read_text(encoding="utf-8")
    try:
        archivo.write_text(original.replace(m["antes"], m["despues"]), encoding="utf-8")
        r = subprocess.run(["cmake", "--build", build], capture_output=True, text=True)
        if r.returncode != 0:
            return {"id": m["id"], "estado": "NO COMPILA", "pruebas": []}
        r = subprocess.run(["ctest", "--test-dir", build, "-j2", "--timeout", "120"]
                           + (["--stop-on-failure"] if primera else []),
                           capture_output=True, text=True)
        fallan = que_fallan(r.stdout)
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
    mutantes = [m for m in leer_mutantes() if not args or m["id"] in args]
    resultados = []
    for m in mutantes:
        r = probar(build, m, primera)
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
