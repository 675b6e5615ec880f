zapo_test(test_base_programmes LIBS zapo_data)
zapo_test(test_date_heure LIBS zapo_core)
