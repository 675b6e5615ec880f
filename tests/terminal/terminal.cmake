# The command-line outputs.
zapo_test(test_terminal LIBS zapo_terminal zapo_donnees LABELS unite terminal)
zapo_test(test_terminal_processus LIBS zapo_terminal zapo_donnees LABELS processus terminal)
add_dependencies(test_terminal_processus zapo-tv-essai)
zapo_test(test_heure_repetee LIBS zapo_terminal zapo_donnees LABELS unite terminal)
