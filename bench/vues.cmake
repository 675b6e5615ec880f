# The panel computation against a bare SQLite scan of the same table.
zapo_banc(banc_panneau LIBS zapo_views zapo_data zapo_core SQLite::SQLite3)
