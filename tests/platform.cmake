# Linux services: the echo probe and the connection through NetworkManager.
zapo_test(test_pinger LIBS zapo_platform LABELS reseau TIMEOUT 120)
zapo_test(test_connexion_linux LIBS zapo_platform LABELS reseau TIMEOUT 180)
