# "Rechercher...": the matching rule, and the window driven in process.
zapo_test(test_recherche LIBS zapo_core LABELS unite)
zapo_test(test_fl_recherche LIBS zapo_views LABELS fenetre)
zapo_test(test_recherche_agent LIBS zapo_shell LABELS fenetre)
