# Linux behind small classes: folders, autostart, the echo probe, NetworkManager.
zapo_test(test_dossier LIBS zapo_plateforme LABELS unite)
zapo_test(test_registre LIBS zapo_plateforme LABELS unite)
zapo_test(test_instance_unique LIBS zapo_plateforme LABELS unite)
zapo_test(test_pinger LIBS zapo_plateforme LABELS processus reseau TIMEOUT 120)
zapo_test(test_connexion_linux LIBS zapo_plateforme LABELS processus reseau TIMEOUT 180)
zapo_test(test_notifications_rappels LIBS zapo_plateforme LABELS processus TIMEOUT 120)
zapo_test(test_reveil LIBS zapo_plateforme LABELS processus TIMEOUT 120)
zapo_test(test_activation LIBS zapo_plateforme LABELS processus TIMEOUT 60)
