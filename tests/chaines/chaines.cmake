# Adding and removing channels.
zapo_test(test_fl_chaine LIBS zapo_chaines LABELS fenetre)
zapo_test(test_gest_chaines LIBS zapo_chaines zapo_vues LABELS fenetre)
