#!/usr/bin/env python3
"""Writes tools/mutantes_generados.txt: faults made mechanically over the
rules, the match, the options, the network and the history (src/core,
src/match, src/options, src/net, src/logs), in the format of
tools/mutantes.txt, for tools/mutantes.py --lista to put in one at a time.

  tools/generar_mutantes.py [--todos] [--cuantos N] [--semilla S] [--salida FILE]

The rules, applied to the code with comments, string and character literals
and preprocessor lines blanked out first:
  cmp-invertir  every comparison turned into its opposite:
                < and >=, <= and >, == and !=
  cmp-borde     every order comparison moved by one: < and <=, > and >=
  logico        every && (spaced as a binary operator) made || and back
  retorno       every `return true;` made `return false;` and back
  llamada       every statement that is only a call, `f(...);`,
                `a.f(...);`, `a->b.f(...);`, `A::f(...);`, `emit f(...);`
                (on one line or several), replaced by an empty block
  fila          every row of a brace-initialised table (one row a line) and
                every element of a one-line array initialiser removed
A `<` or `>` that opens or closes a template argument list is not a
comparison: after a name, a `<` whose closing `>` comes before anything but
names, numbers, `::`, `,`, `*`, `&`, brackets and parentheses is taken for
one.

Each fault's `antes` is the changed line, widened by whole lines before and
after until it occurs once in all of src/ (which tools/mutantes.py asks).
Its id is the file, the rule and a short hash of `antes` and `despues`, so
it stays the same while that code does not change.

The full set is larger than one afternoon's run allows, so by default a
sample is written: each file gets a share of --cuantos (default 400)
proportional to its faults, at least one, drawn with random.Random(--semilla,
default 28) from that file's faults; the sample is then written in an order
shuffled with the same seed, so that the first part of a run cut short is
itself spread over every file and rule. The same code and the same seed give
the same list. --todos writes every fault, in file and line order."""
import argparse
import hashlib
import pathlib
import random
import re

RAIZ = pathlib.Path(__file__).resolve().parent.parent
AREAS = ("src/core", "src/match", "src/options", "src/net", "src/logs")


def enmascarar(texto):
    """The text with comments, literals and preprocessor lines turned into
    blanks, newlines kept, so that offsets stay the same."""
    fuera = list(texto)
    i, n = 0, len(texto)

    def blanquear(a, b):
        for k in range(a, b):
            if fuera[k] != "\n":
                fuera[k] = " "

    inicio_linea = True
    while i < n:
        ch = texto[i]
        if inicio_linea and ch == "#":
            j = i
            while j < n and texto[j] != "\n":
                j = j + 2 if texto[j] == "\\" else j + 1
            blanquear(i, min(j, n))
            i = j
            continue
        if ch == "\n":
            inicio_linea = True
            i += 1
            continue
        if not ch.isspace():
            inicio_linea = False
        if texto.startswith("//", i):
            j = texto.find("\n", i)
            j = n if j < 0 else j
            blanquear(i, j)
            i = j
        elif texto.startswith("/*", i):
            j = texto.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blanquear(i, j)
            i = j
        elif ch == "R" and texto.startswith('"', i + 1) and (i == 0 or not (texto[i - 1].isalnum() or texto[i - 1] == "_")):
            m = re.match(r'R"([^(\s]*)\(', texto[i:])
            fin = texto.find(")" + m.group(1) + '"', i) if m else -1
            j = n if fin < 0 else fin + len(m.group(1)) + 2
            blanquear(i, j)
            i = j
        elif ch == '"' or (ch == "'" and not (i > 0 and texto[i - 1].isalnum() and i + 1 < n and texto[i + 1].isalnum())):
            j = i + 1
            while j < n and texto[j] != ch and texto[j] != "\n":
                j += 2 if texto[j] == "\\" else 1
            blanquear(i, j + 1)
            i = j + 1
        else:
            i += 1
    return "".join(fuera)


FICHA = re.compile(r"\s*(?:([A-Za-z_]\w*)|(\d[\w.']*)|(<=>|<<=|>>=|\.\.\.|<<|>>|<=|>=|==|!=|->|&&|\|\||::|\+\+|--|[-+*/%&|^!~=<>?:;,.(){}\[\]]))")


def fichas(mascara):
    """(text, offset) of every token of the blanked text."""
    salida = []
    i = 0
    while True:
        m = FICHA.match(mascara, i)
        if not m:
            break
        inicio = m.start(m.lastindex)
        salida.append((m.group(m.lastindex), inicio))
        i = m.end()
    return salida


DENTRO_DE_PLANTILLA = re.compile(r"^(?:[A-Za-z_]\w*|\d[\w.']*|::|,|\*|&|\.\.\.|\(|\)|\[|\]|<|>|>>)$")
NO_NOMBRE = {"return", "if", "while", "for", "switch", "case", "and", "or", "not"}


def comparaciones(fs):
    """Offsets and texts of the comparison tokens, template brackets left out."""
    plantilla = set()
    for k, (t, _) in enumerate(fs):
        if t != "<" or k in plantilla or k == 0:
            continue
        previo = fs[k - 1][0]
        if previo == "operator":
            continue
        if not re.match(r"^[A-Za-z_]\w*$", previo) or previo in NO_NOMBRE:
            continue
        hondo, j, abiertos = 1, k + 1, [k]
        while j < len(fs) and hondo > 0:
            u = fs[j][0]
            if not DENTRO_DE_PLANTILLA.match(u):
                break
            if u == "<":
                hondo += 1
                abiertos.append(j)
            elif u == ">":
                hondo -= 1
            elif u == ">>":
                hondo -= 2
            if hondo <= 0:
                break
            j += 1
        if hondo <= 0:
            plantilla.update(range(k, j + 1))
    return [(fs[k][1], t) for k, (t, _) in enumerate(fs)
            if t in ("<", ">", "<=", ">=", "==", "!=") and k not in plantilla
            and not (k > 0 and fs[k - 1][0] == "operator")]


INVERTIR = {"<": ">=", ">=": "<", "<=": ">", ">": "<=", "==": "!=", "!=": "=="}
BORDE = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}


def fin_parentesis(mascara, i):
    """The offset just past the parenthesis that closes the one at i."""
    hondo = 0
    for j in range(i, len(mascara)):
        if mascara[j] in "([{":
            hondo += 1
        elif mascara[j] in ")]}":
            hondo -= 1
            if hondo == 0:
                return j + 1
    return -1


LLAMADA = re.compile(r"(?m)^[ \t]*((?:emit\s+)?[A-Za-z_]\w*(?:\s*(?:\.|->|::)\s*~?[A-Za-z_]\w*)*)\s*\(")
NO_LLAMADA = {"if", "while", "for", "switch", "return", "sizeof", "static_assert", "delete",
              "catch", "alignas", "decltype", "using", "throw"}


def llamadas(mascara):
    """(start, end) of every statement that is only a call."""
    salida = []
    for m in LLAMADA.finditer(mascara):
        nombre = m.group(1)
        primero = re.match(r"(?:emit\s+)?(\w+)", nombre).group(1)
        if primero in NO_LLAMADA or re.fullmatch(r"[A-Z][A-Z0-9_]+", primero):
            continue
        if primero == nombre and re.search(rf"\b(?:class|struct)\s+{primero}\b", mascara):
            continue  # a constructor's declaration
        antes = mascara[:m.start(1)].rstrip()
        if not (antes.endswith((";", "{", "}", ")", ":")) or re.search(r"\belse$", antes)) \
                or antes.endswith("::"):
            continue
        fin = fin_parentesis(mascara, m.end() - 1)
        while fin > 0:
            resto = re.match(r"\s*(?:\.|->)\s*[A-Za-z_]\w*\s*\(", mascara[fin:])
            if not resto:
                break
            fin = fin_parentesis(mascara, fin + resto.end() - 1)
        if fin < 0:
            continue
        punto = re.match(r"\s*;", mascara[fin:])
        if punto:
            salida.append((m.start(1), fin + punto.end()))
    return salida


def partir(mascara, a, b):
    """The top-level comma-separated pieces of mascara[a:b] as (start, end)."""
    piezas, hondo, inicio = [], 0, a
    for j in range(a, b):
        c = mascara[j]
        if c in "([{":
            hondo += 1
        elif c in ")]}":
            hondo -= 1
        elif c == "," and hondo == 0:
            piezas.append((inicio, j))
            inicio = j + 1
    piezas.append((inicio, b))
    return [(x + len(mascara[x:y]) - len(mascara[x:y].lstrip()), y - (len(mascara[x:y]) - len(mascara[x:y].rstrip())))
            for x, y in piezas if mascara[x:y].strip()]


TABLA = re.compile(r"(?m)^[ \t]*(?:static\s+)?(?:constexpr|const)\b[^;{}()]*?(?:=\s*|\b[A-Za-z_]\w*)\{")


def filas(mascara):
    """(start, end, keep_comma) of every row to remove: the rows of a table
    written one a line, and the elements of a one-line array initialiser."""
    salida = []
    for m in TABLA.finditer(mascara):
        linea = mascara[m.start():m.end()]
        if re.search(r"\b(struct|class|enum|union|namespace)\b", linea):
            continue
        abre = m.end() - 1
        cierra = fin_parentesis(mascara, abre) - 1
        if cierra < 0:
            continue
        piezas = partir(mascara, abre + 1, cierra)
        if len(piezas) < 2:
            continue
        una_linea = "\n" not in mascara[abre:cierra]
        por_lineas = all("\n" not in mascara[x:y] for x, y in piezas) and \
            len({mascara.count("\n", 0, x) for x, _ in piezas}) == len(piezas)
        if not (una_linea or por_lineas) or any(mascara[x] == "[" for x, _ in piezas):
            continue
        for k, (x, y) in enumerate(piezas):
            if por_lineas and not una_linea:
                # The row with its comma.
                z = y + 1 if mascara[y:y + 1] == "," else y
                salida.append((x, z))
            elif k + 1 < len(piezas):
                salida.append((x, piezas[k + 1][0]))
            else:
                salida.append((piezas[k - 1][1], y))
    return salida


def generar():
    archivos = [p for area in AREAS for p in sorted((RAIZ / area).rglob("*"))
                if p.suffix in (".cpp", ".h") and p.is_file()]
    todo_src = [p.read_text(encoding="utf-8") for p in sorted((RAIZ / "src").rglob("*"))
                if p.suffix in (".cpp", ".h") and p.is_file()]

    def veces(s):
        return sum(t.count(s) for t in todo_src)

    por_archivo = {}
    for p in archivos:
        texto = p.read_text(encoding="utf-8")
        mascara = enmascarar(texto)
        cambios = []  # (rule, start, end, new text)
        for pos, op in comparaciones(fichas(mascara)):
            cambios.append(("cmp-invertir", pos, pos + len(op), INVERTIR[op]))
            if op in BORDE:
                cambios.append(("cmp-borde", pos, pos + len(op), BORDE[op]))
        for t, pos in fichas(mascara):
            if t in ("&&", "||"):
                if t == "&&" and not (texto[pos - 1:pos].isspace() and texto[pos + 2:pos + 3].isspace()):
                    continue  # an rvalue reference, not a logical and
                cambios.append(("logico", pos, pos + 2, "||" if t == "&&" else "&&"))
        for m in re.finditer(r"\breturn\s+(true|false)\s*;", mascara):
            cambios.append(("retorno", m.start(1), m.end(1), "false" if m.group(1) == "true" else "true"))
        for a, b in llamadas(mascara):
            cambios.append(("llamada", a, b, "{}"))
        for a, b in filas(mascara):
            cambios.append(("fila", a, b, ""))
        rel = str(p.relative_to(RAIZ))
        fallos, vistos = [], set()
        for regla, a, b, nuevo in cambios:
            # Whole lines around the change, widened until they occur once.
            ini = texto.rfind("\n", 0, a) + 1
            fin = texto.find("\n", b)
            fin = len(texto) if fin < 0 else fin
            # A blank line would end the block in the list: never cross one.
            while True:
                sangria = len(texto[ini:fin]) - len(texto[ini:fin].lstrip())
                antes = texto[ini + sangria:fin]
                if veces(antes) == 1:
                    break
                arriba = texto.rfind("\n", 0, ini - 1) + 1 if ini > 0 else -1
                siguiente = texto.find("\n", fin + 1) if fin < len(texto) else -2
                siguiente = len(texto) if siguiente == -1 else siguiente
                if arriba >= 0 and texto[arriba:ini].strip():
                    ini = arriba
                elif siguiente >= 0 and texto[fin:siguiente].strip():
                    fin = siguiente
                else:
                    break
            if veces(antes) != 1:
                continue
            desde = ini + sangria
            despues = texto[desde:a] + nuevo + texto[b:fin]
            if (antes, despues) in vistos or antes == despues:
                continue
            vistos.add((antes, despues))
            firma = hashlib.sha1((antes + "\0" + despues).encode("utf-8")).hexdigest()[:6]
            fallos.append({"id": f"g-{p.stem}-{regla}-{firma}", "regla": regla,
                           "lugar": f"{rel}:{texto.count(chr(10), 0, a) + 1}",
                           "antes": antes, "despues": despues, "orden": a})
        fallos.sort(key=lambda f: f["orden"])
        por_archivo[rel] = fallos
    return por_archivo


def muestra(por_archivo, cuantos, semilla):
    total = sum(len(f) for f in por_archivo.values())
    azar = random.Random(semilla)
    elegidos = []
    for rel in sorted(por_archivo):
        fallos = por_archivo[rel]
        if not fallos:
            continue
        cupo = min(len(fallos), max(1, round(cuantos * len(fallos) / total)))
        indices = sorted(azar.sample(range(len(fallos)), cupo))
        elegidos += [fallos[i] for i in indices]
    azar.shuffle(elegidos)
    return elegidos


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--todos", action="store_true")
    ap.add_argument("--cuantos", type=int, default=400)
    ap.add_argument("--semilla", type=int, default=28)
    ap.add_argument("--salida", default=str(RAIZ / "tools" / "mutantes_generados.txt"))
    a = ap.parse_args()
    por_archivo = generar()
    total = sum(len(f) for f in por_archivo.values())
    fallos = [f for rel in sorted(por_archivo) for f in por_archivo[rel]] if a.todos \
        else muestra(por_archivo, a.cuantos, a.semilla)
    cabecera = [
        "# Faults made by tools/generar_mutantes.py; do not edit by hand, run it again.",
        f"# {len(fallos)} of {total} faults" + ("" if a.todos else f", sample of seed {a.semilla}") + ".",
        "# Each block: id, the rule, where it was, the text as it is in src/ and what",
        "# it becomes; `equivalente:` says why a fault no test can see is left alive.",
        ""]
    # The reasons already given for faults no test can see stay with them.
    razones = {}
    if pathlib.Path(a.salida).exists():
        actual = None
        for linea in pathlib.Path(a.salida).read_text(encoding="utf-8").split("\n"):
            if linea.startswith("id: "):
                actual = linea[4:]
            elif linea.startswith("equivalente: ") and actual:
                razones[actual] = linea[13:]
    bloques = []
    for f in fallos:
        razon = [f"equivalente: {razones[f['id']]}"] if f["id"] in razones else []
        bloques.append("\n".join([f"id: {f['id']}", f"regla: {f['regla']}", f"lugar: {f['lugar']}",
                                  *razon, f"antes: {f['antes']}", f"despues: {f['despues']}"]))
    pathlib.Path(a.salida).write_text("\n".join(cabecera) + "\n" + "\n\n".join(bloques) + "\n",
                                      encoding="utf-8")
    cuenta = {}
    for f in fallos:
        cuenta[f["regla"]] = cuenta.get(f["regla"], 0) + 1
    print(f"{len(fallos)} de {total}: " + ", ".join(f"{k} {v}" for k, v in sorted(cuenta.items())))


if __name__ == "__main__":
    main()
