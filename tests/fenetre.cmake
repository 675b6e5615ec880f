zapo_test(test_fl_main LIBS zapo_views)
