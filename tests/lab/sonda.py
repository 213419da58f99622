#!/usr/bin/env python3
"""UDP probes for the lab's own tests of its routers, each bounded in time
and in packets:

  sonda.py eco DIR PUERTO...      answers each datagram with "ip:port" of its
                                  sender, on DIR and every port given, for
                                  30 s (bound to DIR: answered from there),
                                  after a line "escuchando" once bound
  sonda.py pedir LOCAL DIR PUERTO...  from local port LOCAL, one datagram to
                                  each DIR:PUERTO; prints what each answered
  sonda.py esperar PUERTO S       prints the sender of the first datagram
                                  on PUERTO within S seconds, or "nada",
                                  after a line "escuchando" once bound
  sonda.py enviar DIR PUERTO DESDE  one datagram to DIR:PUERTO from port DESDE
"""
import select
import socket
import sys
import time


def udp(puerto, dir_=""):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind((dir_, puerto))
    return s


def eco(dir_, puertos):
    socks = [udp(int(p), dir_) for p in puertos]
    print("escuchando", flush=True)
    fin = time.monotonic() + 30
    for _ in range(200):
        quedan = fin - time.monotonic()
        if quedan <= 0:
            break
        listos, _, _ = select.select(socks, [], [], quedan)
        for s in listos:
            _, de = s.recvfrom(512)
            s.sendto(f"{de[0]}:{de[1]}".encode(), de)


def pedir(local, dir_, puertos):
    s = udp(int(local))
    for p in puertos:
        respuesta = "nada"
        for _ in range(10):
            s.sendto(b"hola", (dir_, int(p)))
            if select.select([s], [], [], 0.3)[0]:
                respuesta = s.recvfrom(512)[0].decode()
                break
        print(respuesta, flush=True)


def esperar(puerto, segundos):
    s = udp(int(puerto))
    print("escuchando", flush=True)
    if select.select([s], [], [], float(segundos))[0]:
        de = s.recvfrom(512)[1]
        print(f"{de[0]}:{de[1]}")
    else:
        print("nada")


def enviar(dir_, puerto, desde):
    s = udp(int(desde))
    for _ in range(3):
        s.sendto(b"hola", (dir_, int(puerto)))
        time.sleep(0.05)


ordenes = {"eco": lambda a: eco(a[0], a[1:]), "pedir": lambda a: pedir(a[0], a[1], a[2:]),
           "esperar": lambda a: esperar(*a), "enviar": lambda a: enviar(*a)}
ordenes[sys.argv[1]](sys.argv[2:])
