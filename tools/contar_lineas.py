#!/usr/bin/env python3
"""Counts code lines (not blank, not comment-only) of the program and of its
tests, and the tests' share. Exit status 1 when the share is outside
25-40 % or a source file is over 600 lines (pass --informe to only print)."""
import pathlib
import re
import sys

RAIZ = pathlib.Path(__file__).resolve().parent.parent
EXTENSIONES = {".cpp", ".h"}
LIMITE_ARCHIVO = 600


def lineas_de_codigo(texto):
    n = 0
    en_bloque = False
    for linea in texto.splitlines():
        s = linea.strip()
        if en_bloque:
            if "*/" in s:
                en_bloque = False
                s = s.split("*/", 1)[1].strip()
            else:
                continue
        if s.startswith("/*"):
            if "*/" not in s:
                en_bloque = True
            continue
        if not s or s.startswith("//"):
            continue
        n += 1
    return n


def contar(carpeta):
    total = 0
    for p in sorted((RAIZ / carpeta).rglob("*")):
        if p.suffix in EXTENSIONES and p.is_file():
            total += lineas_de_codigo(p.read_text(encoding="utf-8", errors="replace"))
    return total


def main():
    programa = contar("src")
    pruebas = contar("tests")
    parte = 100.0 * pruebas / programa if programa else 0.0
    print(f"programa (src/): {programa} líneas de código")
    print(f"pruebas (tests/): {pruebas} líneas de código ({parte:.1f} % del programa)")
    # Benchmarks, fuzzers and tools are code we keep too; the share against
    # all of it, for whoever counts that way.
    resto = sum(contar(c) for c in ("bench", "fuzz", "tools"))
    print(f"con bench/, fuzz/ y tools/: {programa + resto} líneas de código "
          f"({100.0 * pruebas / (programa + resto):.1f} %)")
    largos = [
        (p.relative_to(RAIZ), sum(1 for _ in p.open(encoding="utf-8", errors="replace")))
        for carpeta in ("src", "tests", "bench", "fuzz", "tools")
        for p in (RAIZ / carpeta).rglob("*")
        if p.suffix in EXTENSIONES and p.is_file()
    ]
    largos = [(p, n) for p, n in largos if n > LIMITE_ARCHIVO]
    for p, n in largos:
        print(f"más de {LIMITE_ARCHIVO} líneas: {p} ({n})")
    if "--informe" in sys.argv:
        return 0
    return 0 if 25.0 <= parte <= 40.0 and not largos else 1


if __name__ == "__main__":
    sys.exit(main())
