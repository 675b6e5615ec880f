# The time grid over a full week against a bare SQLite read of the shown day.
zapo_banc(banc_grille LIBS zapo_vues zapo_donnees zapo_noyau SQLite::SQLite3)
