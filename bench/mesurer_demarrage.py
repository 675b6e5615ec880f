#!/usr/bin/python3
"""Start-up time and resident memory of Zapo-TV, whole processes, beside the bare
Qt program (programme_nu) in the same run.

Everything runs on an X server of its own (Xvfb) and a private session bus where
a stand-in for the desktop's notification area takes the icons. Zapo-TV runs from
a temporary folder holding a copy of the delivered database filled with 30 000
programmes (300 channels of 100), stamped up to date, automatic update off: no
update starts and nothing leaves the machine.

  - time to the first painted main window: both programs are started in turn with
    ZAPO_TV_MESURE_DEMARRAGE=1 and timed from the launch to the line they write
    once their window is painted (they quit then); medians;
  - resident memory (VmRSS) two seconds after the window is shown; medians;
  - the same for Zapo-TV in agent mode (icon only, no window).

With --semaine the base holds the week as an update keeps it instead (eight days
of 300 channels with their details, filled by bench/remplir_semaine).

Usage: mesurer_demarrage.py BUILD_DIR [--runs N] [--memoire M] [--jours J | --semaine]
BUILD_DIR holds zapo-tv-essai (the program with the measure), db/programmes.mdb,
bench/programme_nu and bench/remplir_semaine (a Release build: cmake --preset bench &&
cmake --build build-bench --target zapo-tv-essai programme_nu remplir_semaine).
Exits with 1 when a goal is missed.
"""

import argparse
import datetime
import os
import shutil
import signal
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ICI = os.path.dirname(os.path.abspath(__file__))
OBSERVATEUR = os.path.join(ICI, "..", "tests", "outils", "observateur_sni.py")
TITRE_ZAPO = "^Zapo-TV  "
TITRE_NU = "^Programme nu$"
NB_CHAINES = 300
PAR_CHAINE = 100
OPTIONS_FENETRE = "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n"
OPTIONS_AGENT = "#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n#TRUE#\r\n"


def jours_depuis_1899(dt):
    return (dt - datetime.datetime(1899, 12, 30)).total_seconds() / 86400.0


def tampon_frais():
    """An update stamp that counts as fresh: one from before 10:00 today never
    counts; yesterday's lasts until 10:00."""
    maintenant = datetime.datetime.now()
    if maintenant.hour >= 10:
        return maintenant
    return (maintenant - datetime.timedelta(days=1)).replace(hour=23, minute=0)


def remplir_base(chemin, jours=1):
    """300 channels of 100 programmes from 06:00 today (the same again each next day
    for `jours` days), and a `maj` stamp that counts as fresh."""
    maintenant = datetime.datetime.now()
    tampon = tampon_frais()
    db = sqlite3.connect(chemin)
    db.execute("DELETE FROM chaines")
    db.execute("DELETE FROM liste")
    debut_jour = datetime.datetime.combine(maintenant.date(), datetime.time(6, 0))
    lignes = []
    for c in range(1, NB_CHAINES + 1):
        db.execute("INSERT INTO chaines (num_chaine, nom, adresse, num_image) VALUES (?, ?, ?, ?)",
                   (c, "Chaine %d" % c, "http://127.0.0.1/%d" % c, (c - 1) % 16 + 1))
        t = jours_depuis_1899(debut_jour)
        for i in range(PAR_CHAINE):
            d = (10 + (i * 7 + c) % 16) / 1440.0
            for j in range(jours):
                lignes.append((t + j, t + j + d, "Programme %d de la chaine %d" % (i, c), d, c))
            t += d
    db.executemany("INSERT INTO liste (hdeb, hfin, programme, duree, chaine) VALUES (?, ?, ?, ?, ?)", lignes)
    db.execute("UPDATE maj SET date_maj = ?", (jours_depuis_1899(tampon),))
    db.commit()
    db.close()


def remplir_semaine(chemin, construction):
    """The week as an update keeps it (bench/semaine_banc.h): 300 channels, eight days
    with their details in `semaine`, each channel's first rows (at most 100) in `liste`."""
    db = sqlite3.connect(chemin)
    db.execute("DELETE FROM chaines")
    db.execute("DELETE FROM liste")
    db.commit()
    db.close()
    sortie = subprocess.run([os.path.join(construction, "bench", "remplir_semaine"), chemin, str(NB_CHAINES)],
                            check=True, capture_output=True, text=True).stdout
    db = sqlite3.connect(chemin)
    db.execute("UPDATE maj SET date_maj = ?", (jours_depuis_1899(tampon_frais()),))
    db.commit()
    lignes = db.execute("SELECT count(*) FROM liste").fetchone()[0]
    db.close()
    return lignes, int(sortie.split()[0])


class Banc:
    def __init__(self, construction, dossier, jours=1, semaine=False):
        self.dossier = dossier
        self.daemons = []
        self.zapo = os.path.join(dossier, "zapo-tv")
        shutil.copy(os.path.join(construction, "zapo-tv-essai"), self.zapo)
        shutil.copy(os.path.join(construction, "db", "programmes.mdb"), os.path.join(dossier, "programmes.mdb"))
        if semaine:
            self.lignes = remplir_semaine(os.path.join(dossier, "programmes.mdb"), construction)
        else:
            remplir_base(os.path.join(dossier, "programmes.mdb"), jours)
            self.lignes = (NB_CHAINES * PAR_CHAINE * jours, 0)
        self.nu = os.path.join(construction, "bench", "programme_nu")
        for d in ("home", "config", "donnees", "run"):
            os.makedirs(os.path.join(dossier, d), exist_ok=True)
        os.chmod(os.path.join(dossier, "run"), 0o700)
        self.journal = os.path.join(dossier, "boites.jsonl")

        try:
            self.ecran = self.demarrer_xvfb()
            self.bus = self.demarrer_bus()
            self.observateur = self.demarrer_observateur()
        except BaseException:
            self.arreter()
            raise

        env = {k: v for k, v in os.environ.items()
               if k not in ("XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "QT_QPA_PLATFORMTHEME",
                            "WAYLAND_DISPLAY", "ZAPO_TV_MESURE_DEMARRAGE", "SESSION_MANAGER")}
        env.update({
            "DISPLAY": self.ecran,
            "QT_QPA_PLATFORM": "xcb",
            "DBUS_SESSION_BUS_ADDRESS": self.bus,
            "HOME": os.path.join(dossier, "home"),
            "XDG_CONFIG_HOME": os.path.join(dossier, "config"),
            "XDG_DATA_HOME": os.path.join(dossier, "donnees"),
            "XDG_RUNTIME_DIR": os.path.join(dossier, "run"),
            "ZAPO_TV_ADRESSE_TEST": "127.0.0.1",
            "ZAPO_TV_JOURNAL_BOITES": self.journal,
        })
        self.env = env

    def demon(self, arguments, **kw):
        p = subprocess.Popen(arguments, **kw)
        self.daemons.append(p)
        return p

    def demarrer_xvfb(self):
        lecture, ecriture = os.pipe()
        self.demon(["Xvfb", "-displayfd", str(ecriture), "-noreset", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                   pass_fds=(ecriture,), stderr=subprocess.DEVNULL)
        os.close(ecriture)
        numero = b""
        while not numero.endswith(b"\n"):
            morceau = os.read(lecture, 16)
            if not morceau:
                raise RuntimeError("Xvfb n'a pas démarré")
            numero += morceau
        os.close(lecture)
        return ":" + numero.decode().strip()

    def demarrer_bus(self):
        conf = os.path.join(self.dossier, "bus.conf")
        with open(conf, "w") as f:
            f.write('<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"\n'
                    ' "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">\n'
                    "<busconfig><type>session</type><listen>unix:dir=%s</listen><auth>EXTERNAL</auth>"
                    '<policy context="default"><allow send_destination="*" eavesdrop="true"/>'
                    '<allow eavesdrop="true"/><allow own="*"/></policy>'
                    "</busconfig>\n" % self.dossier)
        p = self.demon(["dbus-daemon", "--config-file=" + conf, "--print-address=1", "--nofork"],
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        return p.stdout.readline().strip()

    def demarrer_observateur(self):
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.bus)
        p = self.demon(["/usr/bin/python3", OBSERVATEUR], env=env, stdout=subprocess.PIPE, text=True)
        if p.stdout.readline().strip() != "pret":
            raise RuntimeError("le double de la zone de notification n'a pas démarré")
        # Icons registered so far, counted as the double reports them.
        self.icones = 0

        def lire():
            for ligne in p.stdout:
                if ligne.startswith("item "):
                    self.icones += 1

        threading.Thread(target=lire, daemon=True).start()
        return p

    def ecrire_options(self, options):
        with open(os.path.join(self.dossier, "config.ini"), "w", newline="") as f:
            f.write(options)

    def programme(self, nom):
        return self.zapo if nom == "zapo" else self.nu

    def chrono(self, nom):
        """Launch to first painted window, in ms: (seen by the launcher, told by the process)."""
        env = dict(self.env, ZAPO_TV_MESURE_DEMARRAGE="1")
        t0 = time.perf_counter()
        p = subprocess.Popen([self.programme(nom)], env=env, cwd=self.dossier, stdout=subprocess.PIPE, text=True)
        ligne = p.stdout.readline()
        t1 = time.perf_counter()
        p.wait(timeout=30)
        if not ligne.startswith("premier_affichage_ms "):
            raise RuntimeError("%s n'a pas affiché sa fenêtre (code %s)" % (nom, p.returncode))
        return (t1 - t0) * 1000.0, float(ligne.split()[1])

    def fenetres(self, titre):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", titre],
                           env=self.env, capture_output=True, text=True)
        return r.stdout.split()

    def memoire(self, nom, titre=None):
        """VmRSS in KiB two seconds after the window is shown (or the icon registered when titre is None)."""
        icones = self.icones
        p = subprocess.Popen([self.programme(nom)], env=self.env, cwd=self.dossier)
        try:
            limite = time.monotonic() + 30
            while not (self.fenetres(titre) if titre else self.icones > icones):
                if time.monotonic() > limite or p.poll() is not None:
                    raise RuntimeError("%s : ni fenêtre ni icône" % nom)
                time.sleep(0.05)
            time.sleep(2)
            if p.poll() is not None:
                raise RuntimeError("%s s'est arrêté" % nom)
            if not titre and self.fenetres(TITRE_ZAPO):
                raise RuntimeError("l'agent a ouvert sa fenêtre")
            with open("/proc/%d/status" % p.pid) as f:
                for l in f:
                    if l.startswith("VmRSS:"):
                        return int(l.split()[1])
            raise RuntimeError("VmRSS illisible")
        finally:
            p.send_signal(signal.SIGTERM)
            p.wait(timeout=10)

    def arreter(self):
        for p in reversed(self.daemons):
            p.terminate()
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()


def programmes_gardes(liste, semaine):
    def nombre(n):
        return format(n, ",").replace(",", " ")
    if semaine:
        return "%s programmes (semaine : %s)" % (nombre(liste), nombre(semaine))
    return "%s programmes" % nombre(liste)


def main():
    a = argparse.ArgumentParser(description="Start-up time and memory of Zapo-TV beside a bare Qt program")
    a.add_argument("construction", help="build folder (zapo-tv-essai, db/programmes.mdb, bench/programme_nu)")
    a.add_argument("--runs", type=int, default=20, help="timed starts of each program (default 20)")
    a.add_argument("--memoire", type=int, default=5, help="memory readings of each kind (default 5)")
    a.add_argument("--jours", type=int, default=1,
                   help="days of programmes kept, the same day repeated (default 1: 30 000 programmes)")
    a.add_argument("--semaine", action="store_true",
                   help="the week kept as an update leaves it (eight days with their details)")
    args = a.parse_args()

    with tempfile.TemporaryDirectory(prefix="zapo-banc-") as dossier:
        banc = Banc(os.path.abspath(args.construction), dossier, args.jours, args.semaine)
        try:
            banc.ecrire_options(OPTIONS_FENETRE)
            # Two starts of each unmeasured (disk cache), then the two in turn so that
            # the machine's load falls on both alike.
            for nom in ("zapo", "nu", "zapo", "nu"):
                banc.chrono(nom)
            temps = {"zapo": [], "nu": []}
            for _ in range(args.runs):
                for nom in ("zapo", "nu"):
                    temps[nom].append(banc.chrono(nom))
            rss = {"zapo": [], "nu": [], "agent": []}
            for _ in range(args.memoire):
                banc.ecrire_options(OPTIONS_FENETRE)
                rss["zapo"].append(banc.memoire("zapo", TITRE_ZAPO))
                rss["nu"].append(banc.memoire("nu", TITRE_NU))
                banc.ecrire_options(OPTIONS_AGENT)
                rss["agent"].append(banc.memoire("zapo"))
            if os.path.exists(banc.journal) and os.path.getsize(banc.journal) > 0:
                with open(banc.journal) as f:
                    raise RuntimeError("boîtes de message inattendues : " + f.read())
        finally:
            banc.arreter()

    def med(valeurs, i=None):
        return statistics.median(v if i is None else v[i] for v in valeurs)

    t_zapo, t_nu = med(temps["zapo"], 0), med(temps["nu"], 0)
    p_zapo, p_nu = med(temps["zapo"], 1), med(temps["nu"], 1)
    m_zapo, m_nu, m_agent = med(rss["zapo"]) / 1024, med(rss["nu"]) / 1024, med(rss["agent"]) / 1024
    buts = [
        ("Premier affichage (ms)", t_zapo, t_nu, 1.5),
        ("Mémoire résidente, %s (Mio)" % programmes_gardes(*banc.lignes),
         m_zapo, m_nu, 1.3),
        ("Mémoire résidente, agent sans fenêtre (Mio)", m_agent, m_nu, 1.0),
    ]
    print("%d démarrages de chaque programme, %d relevés de mémoire ; médianes" % (args.runs, args.memoire))
    print("(premier affichage vu par le processus lui-même, au centième de seconde : Zapo-TV %.0f ms, nu %.0f ms)"
          % (p_zapo, p_nu))
    print()
    print("| mesure | Zapo-TV | programme nu | rapport | but |")
    print("|---|---|---|---|---|")
    rate = False
    for titre, zapo, nu, but in buts:
        rapport = zapo / nu
        rate |= rapport > but
        print("| %s | %.1f | %.1f | %.2f | ≤ %.1f %s |" % (titre, zapo, nu, rapport, but,
                                                        "tenu" if rapport <= but else "MANQUÉ"))
    return 1 if rate else 0


if __name__ == "__main__":
    sys.exit(main())
