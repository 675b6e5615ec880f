# The program as a resident: many update runs in one process, nothing kept.
zapo_test(test_resident LIBS zapo_update LABELS resident TIMEOUT 600)
