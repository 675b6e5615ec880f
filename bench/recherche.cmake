# One keystroke of "Rechercher..." against a bare SQLite scan of the same table.
zapo_banc(banc_recherche LIBS zapo_views zapo_data zapo_core SQLite::SQLite3)
