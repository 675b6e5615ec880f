# Tonight on every channel and programme details: the rules, the feed, the base, the windows.
zapo_test(test_ce_soir LIBS zapo_core LABELS unite)
zapo_test(test_details LIBS zapo_maj LABELS unite)
zapo_test(test_fl_ce_soir LIBS zapo_views LABELS fenetre)
