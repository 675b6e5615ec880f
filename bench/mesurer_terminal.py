#!/usr/bin/env python3
"""The terminal commands against the XMLTV tools, on the same 30 000 programmes.

A copy of the delivered database gets 300 channels of 100 programmes around the
present moment. `zapo-tv --exporter-xmltv` writes them out; `tv_grep --on-after now
--on-before now` answers "what is on now?" from that file, and `zapo-tv
--maintenant` from the base. Whole processes, wall-clock time, medians.

    bench/mesurer_terminal.py BUILD_DIR [--runs 20] [--runs-tv-grep 3]

Exits with 1 when a goal is missed: --maintenant at least 1000 times faster than
tv_grep, --exporter-xmltv under 0.5 s.
"""

import argparse
import datetime
import os
import shutil
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import time

NB_CHAINES = 300
PAR_CHAINE = 100


def jours_depuis_1899(dt):
    return (dt - datetime.datetime(1899, 12, 30)).total_seconds() / 86400.0


def remplir_base(chemin):
    # Programmes of 25 to 40 minutes from twelve hours ago: every channel has one on now.
    debut = datetime.datetime.now().replace(second=0, microsecond=0) - datetime.timedelta(hours=12)
    db = sqlite3.connect(chemin)
    db.execute("DELETE FROM chaines")
    db.execute("DELETE FROM liste")
    lignes = []
    for c in range(1, NB_CHAINES + 1):
        db.execute("INSERT INTO chaines (num_chaine, nom, adresse, num_image) VALUES (?, ?, ?, ?)",
                   (c, "Chaîne %d" % c, "http://127.0.0.1/tnt.xml#C%d.zapo-tv.fr" % c, (c - 1) % 16 + 1))
        t = jours_depuis_1899(debut)
        for i in range(PAR_CHAINE):
            d = (25 + (i * 7 + c) % 16) / 1440.0
            lignes.append((t, t + d, "Émission %d de la chaîne %d" % (i, c), d, c))
            t += d
    db.executemany("INSERT INTO liste (hdeb, hfin, programme, duree, chaine) VALUES (?, ?, ?, ?, ?)", lignes)
    db.commit()
    db.close()


def chrono(commande, env, sortie=subprocess.DEVNULL):
    """Wall-clock and CPU (user + system) time of one whole process, in seconds."""
    t = time.perf_counter()
    p = subprocess.Popen(commande, env=env, stdout=sortie, stderr=subprocess.DEVNULL)
    _, statut, usage = os.wait4(p.pid, 0)
    duree = time.perf_counter() - t
    p.returncode = os.waitstatus_to_exitcode(statut)
    if p.returncode != 0:
        sys.exit("échec de %s (statut %d)" % (" ".join(commande), p.returncode))
    return duree, usage.ru_utime + usage.ru_stime


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("construction")
    ap.add_argument("--runs", type=int, default=20)
    ap.add_argument("--runs-tv-grep", type=int, default=3)
    args = ap.parse_args()

    env = dict(os.environ)
    for v in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM"):
        env.pop(v, None)
    env["ZAPO_TV_ADRESSE_TEST"] = "127.0.0.1"
    env["XMLTV_SUPPLEMENT"] = "/usr/share/xmltv"
    zapo = os.path.join(args.construction, "zapo-tv")
    with tempfile.TemporaryDirectory() as d:
        base = os.path.join(d, "programmes.mdb")
        shutil.copy(os.path.join(args.construction, "programmes.mdb"), base)
        remplir_base(base)
        guide = os.path.join(d, "guide.xml")

        export = [chrono([zapo, "--exporter-xmltv", guide, "--base", base], env) for _ in range(args.runs)]
        maintenant = [chrono([zapo, "--maintenant", "--base", base], env) for _ in range(args.runs)]
        tv_grep = []
        for _ in range(args.runs_tv_grep):
            with open(os.path.join(d, "en_cours.xml"), "wb") as f:
                tv_grep.append(chrono(["tv_grep", "--on-after", "now", "--on-before", "now", guide], env, f))

        def med(mesures, i):
            return statistics.median(m[i] for m in mesures)

        m_export = med(export, 0)
        m_maintenant = med(maintenant, 0)
        m_grep = med(tv_grep, 0)
        rapport = m_grep / m_maintenant
        print("programmes exportés : %d (%d octets)" % (NB_CHAINES * PAR_CHAINE, os.path.getsize(guide)))
        print("médianes, temps écoulé / temps processeur :")
        print("zapo-tv --exporter-xmltv : %.1f ms / %.1f ms (objectif < 500 ms)"
              % (m_export * 1000, med(export, 1) * 1000))
        print("zapo-tv --maintenant     : %.1f ms / %.1f ms" % (m_maintenant * 1000, med(maintenant, 1) * 1000))
        print("tv_grep now              : %.0f ms / %.0f ms" % (m_grep * 1000, med(tv_grep, 1) * 1000))
        print("rapport tv_grep / --maintenant : %.0f en temps écoulé, %.0f en temps processeur (objectif >= 1000)"
              % (rapport, med(tv_grep, 1) / med(maintenant, 1)))
        ok = m_export < 0.5 and rapport >= 1000
        return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
