# The application: command line, tray agent, bad inputs, window lifetimes under
# clicks and ticks (with a randomized driver), and many runs in one process.
zapo_test(test_ligne_commande LIBS zapo_coquille LABELS fenetre)
zapo_test(test_agent LIBS zapo_coquille LABELS fenetre)
zapo_test(test_relance_agent LIBS zapo_coquille LABELS fenetre)
zapo_test(test_entrees LIBS zapo_coquille zapo_suivi LABELS fenetre TIMEOUT 180)
zapo_test(test_vie_fenetres LIBS zapo_coquille LABELS fenetre TIMEOUT 300)
zapo_test(test_pilote_aleatoire LIBS zapo_coquille LABELS fenetre TIMEOUT 600)
zapo_test(test_resident LIBS zapo_suivi LABELS fenetre resident TIMEOUT 600)
zapo_test(test_recherche_agent LIBS zapo_coquille LABELS fenetre)
zapo_test(test_rappels_agent LIBS zapo_coquille LABELS fenetre TIMEOUT 120)
zapo_test(test_rappels_nombreux LIBS zapo_coquille LABELS processus TIMEOUT 120)
