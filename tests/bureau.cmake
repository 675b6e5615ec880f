# Installed like a desktop program: command line, data folder, install tree, package.
zapo_test(test_ligne_commande LIBS zapo_shell)
zapo_test(test_dossier LIBS zapo_platform)
