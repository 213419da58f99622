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
  sonda.py televisor DIR S        a UPnP device that is no router (a TV) on the
                                  LAN address DIR: answers searches and serves
                                  its description for S seconds, at most 20
                                  of each; prints "descripcion" when it is read
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


TELEVISOR = b"""<?xml version="1.0"?>
<root xmlns="urn:schemas-upnp-org:device-1-0"><specVersion><major>1</major><minor>0</minor></specVersion>
<device><deviceType>urn:schemas-upnp-org:device:MediaRenderer:1</deviceType>
<friendlyName>Televisor del salon</friendlyName><UDN>uuid:televisor</UDN>
<serviceList><service><serviceType>urn:schemas-upnp-org:service:RenderingControl:1</serviceType>
<serviceId>urn:upnp-org:serviceId:RenderingControl</serviceId><controlURL>/rc</controlURL>
<eventSubURL>/rc/ev</eventSubURL><SCPDURL>/rc.xml</SCPDURL></service></serviceList>
</device></root>"""


def televisor(dir_, segundos):
    ssdp = udp(1900)
    ssdp.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP,
                    socket.inet_aton("239.255.255.250") + socket.inet_aton(dir_))
    http = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    http.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    http.bind((dir_, 0))
    http.listen(4)
    lugar = f"http://{dir_}:{http.getsockname()[1]}/desc.xml"
    print("escuchando", flush=True)
    fin = time.monotonic() + float(segundos)
    busquedas = pedidos = 0
    while busquedas < 20 and pedidos < 20:
        quedan = fin - time.monotonic()
        if quedan <= 0:
            break
        listos, _, _ = select.select([ssdp, http], [], [], quedan)
        if ssdp in listos:
            datos, de = ssdp.recvfrom(2048)
            st = next((l.split(b":", 1)[1].strip() for l in datos.split(b"\r\n")
                       if l.upper().startswith(b"ST:")), b"ssdp:all")
            if datos.startswith(b"M-SEARCH"):
                busquedas += 1
                ssdp.sendto(b"HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=60\r\nEXT:\r\n"
                            b"LOCATION: " + lugar.encode() + b"\r\nSERVER: Linux UPnP/1.0\r\n"
                            b"ST: " + st + b"\r\nUSN: uuid:televisor::" + st + b"\r\n\r\n", de)
        if http in listos:
            c, _ = http.accept()
            c.settimeout(2)
            try:
                c.recv(2048)
                c.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: "
                          + str(len(TELEVISOR)).encode() + b"\r\nConnection: close\r\n\r\n"
                          + TELEVISOR)
                pedidos += 1
                print("descripcion", flush=True)
            except OSError:
                pass
            c.close()


ordenes = {"televisor": lambda a: televisor(*a), "eco": lambda a: eco(a[0], a[1:]), "pedir": lambda a: pedir(a[0], a[1], a[2:]),
           "esperar": lambda a: esperar(*a), "enviar": lambda a: enviar(*a)}
ordenes[sys.argv[1]](sys.argv[2:])
