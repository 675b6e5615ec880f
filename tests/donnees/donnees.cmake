# The database and the option file.
zapo_test(test_base_programmes LIBS zapo_donnees LABELS unite)
zapo_test(test_lecture_grille LIBS zapo_donnees LABELS unite)
zapo_test(test_options LIBS zapo_donnees LABELS unite)
zapo_test(test_base_rappels LIBS zapo_donnees LABELS unite)
zapo_test(test_transaction LIBS zapo_donnees LABELS unite)
zapo_test(test_semaine_saine LIBS zapo_donnees LABELS unite)
