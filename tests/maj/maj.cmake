# The update run: its rules without a window (feeds, failed channels, health, the
# week, logos, conditional requests) and the fetcher.
zapo_test(test_pilote_maj LIBS zapo_maj LABELS unite)
zapo_test(test_annonces_maj LIBS zapo_maj LABELS unite)
zapo_test(test_recup LIBS zapo_maj LABELS unite TIMEOUT 120)
zapo_test(test_recup_xmltv LIBS zapo_maj LABELS unite)
zapo_test(test_echecs_chaines LIBS zapo_maj LABELS unite TIMEOUT 120)
zapo_test(test_lancer_maj LIBS zapo_coquille LABELS fenetre)

zapo_test(test_details LIBS zapo_maj LABELS unite)
zapo_test(test_logos LIBS zapo_maj LABELS unite)
zapo_test(test_semaine LIBS zapo_maj LABELS unite TIMEOUT 120)
zapo_test(test_conditionnel LIBS zapo_maj LABELS unite TIMEOUT 120)
zapo_test(test_flux_disque LIBS zapo_maj LABELS unite TIMEOUT 120)
zapo_test(test_temporaire_plein LIBS zapo_maj LABELS processus TIMEOUT 180)
