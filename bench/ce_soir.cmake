# "Ce soir" on every channel against a bare SQLite scan of the same table.
zapo_banc(banc_ce_soir LIBS zapo_vues zapo_donnees zapo_noyau SQLite::SQLite3)
