# The panel computation against a bare SQLite scan of the same table.
zapo_banc(banc_panneau LIBS zapo_vues zapo_donnees zapo_noyau SQLite::SQLite3)
