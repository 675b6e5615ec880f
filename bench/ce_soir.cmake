# "Ce soir" on every channel against a bare SQLite scan of the same table.
zapo_banc(banc_ce_soir LIBS zapo_views zapo_data zapo_core SQLite::SQLite3)
