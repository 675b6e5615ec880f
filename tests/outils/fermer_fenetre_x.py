#!/usr/bin/python3
"""Asks an X window to close, as a window manager's close button does.

    fermer_fenetre_x.py <window id>

Sends WM_DELETE_WINDOW to the window on the display named by DISPLAY.
Exits 0 when the request was sent.
"""

import ctypes
import sys


class EvenementClient(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class Evenement(ctypes.Union):
    # XEvent is padded to 24 longs.
    _fields_ = [("client", EvenementClient), ("remplissage", ctypes.c_long * 24)]


CLIENT_MESSAGE = 33


def main():
    fenetre = int(sys.argv[1], 0)
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(Evenement)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    affichage = x11.XOpenDisplay(None)
    if not affichage:
        return 1
    ev = Evenement()
    ev.client.type = CLIENT_MESSAGE
    ev.client.window = fenetre
    ev.client.message_type = x11.XInternAtom(affichage, b"WM_PROTOCOLS", 0)
    ev.client.format = 32
    ev.client.data[0] = x11.XInternAtom(affichage, b"WM_DELETE_WINDOW", 0)
    ev.client.data[1] = 0  # CurrentTime
    envoye = x11.XSendEvent(affichage, fenetre, 0, 0, ctypes.byref(ev))
    x11.XFlush(affichage)
    x11.XCloseDisplay(affichage)
    return 0 if envoye else 1


if __name__ == "__main__":
    sys.exit(main())
