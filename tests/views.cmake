# The views: panel computation, freshness, and the lists filled from a real database.
zapo_test(test_panneau LIBS zapo_core)
zapo_test(test_vues LIBS zapo_views)
