# Bad inputs: damaged files, read-only folder, full disk, hostile pages.
zapo_test(test_entrees_processus LIBS SQLite::SQLite3 LABELS processus TIMEOUT 120)
add_dependencies(test_entrees_processus zapo-tv)
zapo_test(test_entrees LIBS zapo_shell zapo_update TIMEOUT 180)
