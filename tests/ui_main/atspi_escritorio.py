#!/usr/bin/python3
"""The game as a screen reader sees it, through the desktop's accessibility
bus (AT-SPI) under a virtual screen: every control and square of the main
window and of the new-game dialog has a name, and starting a match is
spoken. Run by CTest inside dbus-run-session and xvfb-run; exit 77 (skipped)
when the AT-SPI tools are not installed.

    atspi_escritorio.py <folder of the built program>
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
    from gi.repository import GLib
except ImportError:
    print("pyatspi no está instalado")
    sys.exit(77)

# Containers and parts that a screen reader names from what they hold.
SIN_NOMBRE = {"filler", "scroll bar", "popup menu", "separator", "menu bar", "notification",
              "application"}


def esperar(condicion, segundos=20):
    fin = time.monotonic() + segundos
    while time.monotonic() < fin:
        r = condicion()
        if r:
            return r
        time.sleep(0.2)
    return None


def aplicacion(pid):
    escritorio = pyatspi.Registry.getDesktop(0)
    for i in range(escritorio.childCount):
        a = escritorio.getChildAtIndex(i)
        if a is not None and a.get_process_id() == pid:
            return a
    return None


def recorrer(objeto, ruta, sin_nombre, roles):
    rol = objeto.getRoleName()
    roles[rol] = roles.get(rol, 0) + 1
    if not objeto.name and rol not in SIN_NOMBRE:
        sin_nombre.append(ruta + " (" + rol + ")")
    for i in range(min(objeto.childCount, 400)):
        hijo = objeto.getChildAtIndex(i)
        if hijo is not None:
            recorrer(hijo, ruta + "/" + (hijo.name or hijo.getRoleName()), sin_nombre, roles)


def buscar(objeto, rol, nombre):
    if objeto.getRoleName() == rol and objeto.name == nombre:
        return objeto
    for i in range(objeto.childCount):
        hijo = objeto.getChildAtIndex(i)
        hallado = hijo is not None and buscar(hijo, rol, nombre)
        if hallado:
            return hallado
    return None


def ventana(app, nombre):
    for i in range(app.childCount):
        v = app.getChildAtIndex(i)
        if v is not None and v.name == nombre:
            return v
    return None


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    fallos = []
    oido = []
    carpeta = tempfile.mkdtemp(prefix="brumaria-atspi-")
    # The game writes its options beside itself: it runs from a copy.
    programa = os.path.join(carpeta, "juego")
    shutil.copytree(sys.argv[1], programa)
    entorno = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    juego = subprocess.Popen([os.path.join(programa, "brumaria")], cwd=programa, env=entorno)
    try:
        app = esperar(lambda: aplicacion(juego.pid))
        if app is None:
            print("el juego no aparece en el bus de accesibilidad")
            return 1
        principal = esperar(lambda: ventana(app, "Brumaria"))
        roles = {}
        sin_nombre = []
        recorrer(principal, "Brumaria", sin_nombre, roles)
        if roles.get("table cell", 0) != 200:
            fallos.append("casillas: %d, no 200" % roles.get("table cell", 0))
        if roles.get("push button", 0) < 5:
            fallos.append("botones: %d" % roles.get("push button", 0))

        def mostrado(e):
            if e.detail1 == 1 and e.source.getRoleName() == "notification":
                e.source.clear_cache()  # the walk above read it while empty
                oido.append(e.source.name)

        # As a screen reader does: names followed as they change, and the
        # notifications read as they show.
        pyatspi.Registry.registerEventListener(lambda e: None,
                                               "object:property-change:accessible-name")
        pyatspi.Registry.registerEventListener(mostrado, "object:state-changed:showing")
        # F10 opens the game menu, E is "Empezar": the new-game dialog.
        ident = subprocess.check_output(
            ["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Brumaria$"]).split()[0]
        subprocess.call(["xdotool", "windowfocus", "--sync", ident])
        subprocess.call(["xdotool", "key", "F10", "Down", "e"])
        estado = {"dialogo": False}

        def paso():
            dialogo = ventana(app, "Empezar la partida")
            if dialogo is None:
                return True
            if not estado["dialogo"]:
                estado["dialogo"] = True
                recorrer(dialogo, "Empezar la partida", sin_nombre, {})
                boton = buscar(dialogo, "push button", "Empezar")
                if boton is None:
                    fallos.append("el diálogo no tiene «Empezar»")
                    pyatspi.Registry.stop()
                    return False
                boton.queryAction().doAction(0)
            return True

        def oir():
            if oido:
                pyatspi.Registry.stop()
                return False
            return True

        GLib.timeout_add(300, paso)
        GLib.timeout_add(300, oir)
        GLib.timeout_add(20000, lambda: pyatspi.Registry.stop())
        pyatspi.Registry.start()
        if not estado["dialogo"]:
            fallos.append("no se abrió el diálogo de nueva partida")
        elif not any("turno" in t for t in oido):
            fallos.append("no se anunció el turno: %r" % oido)
        fallos += ["sin nombre: " + s for s in sin_nombre]
    finally:
        juego.kill()
        juego.wait()
        shutil.rmtree(carpeta, ignore_errors=True)
    for f in fallos:
        print(f)
    print("anunciado:", oido)
    return 1 if fallos else 0


if __name__ == "__main__":
    sys.exit(main())
