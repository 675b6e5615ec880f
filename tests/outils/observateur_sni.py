#!/usr/bin/python3
"""Stands in for a desktop's notification area on a private session bus.

Owns org.kde.StatusNotifierWatcher at /StatusNotifierWatcher, the way a
desktop's tray does, so that Qt exports its icon as a StatusNotifierItem.
Writes to stdout, one line each:
    pret                   once the name is owned
    item <service> <path>  for each item that registers
With --sans-hote it says that no host displays items (no notification area).
"""

import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NOM = "org.kde.StatusNotifierWatcher"
CHEMIN = "/StatusNotifierWatcher"
PROPRIETES = "org.freedesktop.DBus.Properties"

# Qt reads the properties through a QDBusInterface, which only knows what the
# introspection data lists: the properties must be in it.
INTROSPECTION = """<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg name="xml" type="s" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface" type="s" direction="in"/>
      <arg name="property" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="GetAll">
      <arg name="interface" type="s" direction="in"/>
      <arg name="properties" type="a{sv}" direction="out"/>
    </method>
    <method name="Set">
      <arg name="interface" type="s" direction="in"/>
      <arg name="property" type="s" direction="in"/>
      <arg name="value" type="v" direction="in"/>
    </method>
    <signal name="PropertiesChanged">
      <arg name="interface" type="s"/>
      <arg name="changed" type="a{sv}"/>
      <arg name="invalidated" type="as"/>
    </signal>
  </interface>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""


def dire(ligne):
    sys.stdout.write(ligne + "\n")
    sys.stdout.flush()


class Observateur(dbus.service.Object):
    def __init__(self, bus, hote):
        super().__init__(bus, CHEMIN)
        self.hote = hote
        self.items = []

    def proprietes(self):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(self.hote),
            "ProtocolVersion": dbus.Int32(0),
        }

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s",
                         path_keyword="object_path", connection_keyword="connection")
    def Introspect(self, object_path, connection):
        return INTROSPECTION

    @dbus.service.method(PROPRIETES, in_signature="ss", out_signature="v")
    def Get(self, interface, nom):
        valeurs = self.proprietes()
        if interface != NOM or nom not in valeurs:
            raise dbus.exceptions.DBusException(
                "org.freedesktop.DBus.Error.UnknownProperty", nom)
        return valeurs[nom]

    @dbus.service.method(PROPRIETES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.proprietes() if interface == NOM else {}

    @dbus.service.method(PROPRIETES, in_signature="ssv")
    def Set(self, interface, nom, valeur):
        raise dbus.exceptions.DBusException(
            "org.freedesktop.DBus.Error.PropertyReadOnly", nom)

    @dbus.service.signal(PROPRIETES, signature="sa{sv}as")
    def PropertiesChanged(self, interface, changees, invalidees):
        pass

    @dbus.service.method(NOM, in_signature="s", sender_keyword="expediteur")
    def RegisterStatusNotifierItem(self, service, expediteur=None):
        # An item names either its bus name or only its object path.
        if service.startswith("/"):
            nom, chemin = expediteur, service
        else:
            nom, chemin = service, "/StatusNotifierItem"
        self.items.append(nom + chemin)
        dire("item %s %s" % (nom, chemin))
        self.StatusNotifierItemRegistered(nom + chemin)

    @dbus.service.method(NOM, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(NOM, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(NOM, signature="s")
    def StatusNotifierItemUnregistered(self, service):
        pass

    @dbus.service.signal(NOM, signature="")
    def StatusNotifierHostRegistered(self):
        pass


def main():
    DBusGMainLoop(set_as_default=True)
    boucle = GLib.MainLoop()
    bus = dbus.SessionBus()
    # The bus going away ends the double too.
    bus.call_on_disconnection(lambda _conn: boucle.quit())
    observateur = Observateur(bus, "--sans-hote" not in sys.argv[1:])
    nom = dbus.service.BusName(NOM, bus, do_not_queue=True)
    dire("pret")
    try:
        boucle.run()
    finally:
        del nom, observateur


if __name__ == "__main__":
    main()
