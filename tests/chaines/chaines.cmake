# Adding and removing channels.
zapo_test(test_fl_chaine LIBS zapo_channels LABELS fenetre)
zapo_test(test_gest_chaines LIBS zapo_channels zapo_views LABELS fenetre)
