# A week table of 10 million rows: the search index, a grid day and "Ce soir"
# each within a stated bound of time and memory.
zapo_banc(banc_semaine_trop_pleine LIBS zapo_donnees zapo_noyau SQLite::SQLite3)
