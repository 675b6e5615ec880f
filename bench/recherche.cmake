# One keystroke of "Rechercher..." against a bare SQLite scan of the same table.
zapo_banc(banc_recherche LIBS zapo_vues zapo_donnees zapo_noyau SQLite::SQLite3)
