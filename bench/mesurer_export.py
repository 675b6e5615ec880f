#!/usr/bin/env python3
"""Memory of `zapo-tv --exporter-xmltv` on a large base, whole processes.

A copy of the delivered database gets NB programmes (1,000,000 by default) on
1000 channels, one in ten with details (sub-title, description, categories,
actors). The export runs three ways: to a regular file, to standard output
(a pipe read by this script) and to a FIFO; each under `/usr/bin/time -v`,
whose "Maximum resident set size" is the figure kept.

    bench/mesurer_export.py BUILD_DIR [--programmes 1000000]

Exits with 1 when an export peaks at 100 MB or more, or does not succeed.
"""

import argparse
import datetime
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

NB_CHAINES = 1000
PLAFOND_KO = 100 * 1024


def jours_depuis_1899(dt):
    return (dt - datetime.datetime(1899, 12, 30)).total_seconds() / 86400.0


def remplir_base(chemin, nb):
    debut = datetime.datetime.now().replace(hour=0, minute=0, second=0, microsecond=0)
    origine = jours_depuis_1899(debut)
    db = sqlite3.connect(chemin)
    db.execute("DELETE FROM chaines")
    db.execute("DELETE FROM liste")
    db.execute(
        "CREATE TABLE IF NOT EXISTS details_programmes (chaine INTEGER NOT NULL, hdeb INTEGER NOT NULL, "
        "sous_titre TEXT, description TEXT, categories TEXT, episode_ns TEXT, episode_ecran TEXT, "
        "annee TEXT, realisateur TEXT, acteurs TEXT, classement TEXT, PRIMARY KEY (chaine, hdeb))")
    db.executemany("INSERT INTO chaines (num_chaine, nom, adresse, num_image) VALUES (?, ?, ?, ?)",
                   [(c, "Chaîne %d" % c, "http://127.0.0.1/tnt.xml#C%d.zapo-tv.fr" % c, (c - 1) % 16 + 1)
                    for c in range(1, NB_CHAINES + 1)])
    par_chaine = max(1, nb // NB_CHAINES)

    def lignes():
        for c in range(1, NB_CHAINES + 1):
            for i in range(par_chaine):
                minutes = i * 30
                hdeb = origine + minutes / 1440.0
                yield (hdeb, hdeb + 30 / 1440.0, "Émission %d de la chaîne %d" % (i, c), 30 / 1440.0, c)

    def details():
        for c in range(1, NB_CHAINES + 1):
            for i in range(0, par_chaine, 10):
                secondes = round(origine * 86400) + i * 1800
                yield (c, secondes, "Épisode %d" % i, "Une description de l'émission %d, assez longue pour "
                       "peser comme les vraies : intrigue, invités et lieux." % i, "Série\nDrame", "",
                       "S01E%02d" % (i % 100), "2024", "Jeanne Martin", "Ann\nBob\nChloé", "-10")

    db.executemany("INSERT INTO liste (hdeb, hfin, programme, duree, chaine) VALUES (?, ?, ?, ?, ?)", lignes())
    db.executemany("INSERT OR REPLACE INTO details_programmes VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   details())
    db.commit()
    db.close()
    return par_chaine * NB_CHAINES


def mesurer(commande, env, stdout=subprocess.DEVNULL):
    """Peak resident memory (KB) and wall-clock time of one process under /usr/bin/time -v."""
    t = time.perf_counter()
    p = subprocess.run(["/usr/bin/time", "-v"] + commande, env=env, stdout=stdout, stderr=subprocess.PIPE,
                       text=True)
    duree = time.perf_counter() - t
    if p.returncode != 0:
        sys.exit("échec de %s (statut %d) :\n%s" % (" ".join(commande), p.returncode, p.stderr))
    m = re.search(r"Maximum resident set size \(kbytes\): (\d+)", p.stderr)
    return int(m.group(1)), duree


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("construction")
    ap.add_argument("--programmes", type=int, default=1_000_000)
    args = ap.parse_args()
    if not os.access("/usr/bin/time", os.X_OK):
        sys.exit("/usr/bin/time absent (paquet time)")

    env = dict(os.environ)
    for v in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM"):
        env.pop(v, None)
    env["ZAPO_TV_ADRESSE_TEST"] = "127.0.0.1"
    zapo = os.path.join(args.construction, "zapo-tv")
    with tempfile.TemporaryDirectory() as d:
        base = os.path.join(d, "programmes.mdb")
        livree = os.path.join(args.construction, "db", "programmes.mdb")
        if not os.path.exists(livree):
            livree = os.path.join(args.construction, "programmes.mdb")
        shutil.copy(livree, base)
        nb = remplir_base(base, args.programmes)
        guide = os.path.join(d, "guide.xml")
        resultats = []

        ko, duree = mesurer([zapo, "--exporter-xmltv", guide, "--base", base], env)
        resultats.append(("fichier", ko, duree, os.path.getsize(guide)))

        # Standard output into a pipe this script drains, counting bytes.
        r, w = os.pipe()
        lus = [0]

        def vider(fd):
            while True:
                bloc = os.read(fd, 1 << 16)
                if not bloc:
                    break
                lus[0] += len(bloc)
            os.close(fd)

        lecteur = threading.Thread(target=vider, args=(r,))
        lecteur.start()
        ko, duree = mesurer([zapo, "--exporter-xmltv", "-", "--base", base], env, stdout=w)
        os.close(w)
        lecteur.join()
        resultats.append(("sortie standard", ko, duree, lus[0]))

        tube = os.path.join(d, "tube")
        os.mkfifo(tube)
        lus[0] = 0
        lecteur = threading.Thread(target=lambda: vider(os.open(tube, os.O_RDONLY)))
        lecteur.start()
        ko, duree = mesurer([zapo, "--exporter-xmltv", tube, "--base", base], env)
        lecteur.join()
        resultats.append(("tube nommé", ko, duree, lus[0]))

        print("programmes exportés : %d (un sur dix avec détails)" % nb)
        print("%-16s %14s %10s %14s" % ("cible", "mémoire (Mo)", "durée (s)", "octets"))
        for nom, ko, duree, octets in resultats:
            print("%-16s %14.1f %10.1f %14d" % (nom, ko / 1024, duree, octets))
        print("objectif : moins de %d Mo" % (PLAFOND_KO // 1024))
        ok = all(ko < PLAFOND_KO for _, ko, _, _ in resultats) and len({o for *_, o in resultats}) == 1
        return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
