# The time grid over a full week against a bare SQLite read of the shown day.
zapo_banc(banc_grille LIBS zapo_views zapo_data zapo_core SQLite::SQLite3)
