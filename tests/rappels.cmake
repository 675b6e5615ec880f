# Reminders and favourite words: the rules, their tables, the timer and the warning.
zapo_test(test_rappels LIBS zapo_core LABELS unite)
zapo_test(test_base_rappels LIBS zapo_data LABELS unite)
zapo_test(test_minuterie_rappels LIBS zapo_maj LABELS unite TIMEOUT 120)
zapo_test(test_notifications_rappels LIBS zapo_platform LABELS bureau TIMEOUT 120)
zapo_test(test_rappels_vues LIBS zapo_views LABELS fenetre TIMEOUT 120)
zapo_test(test_rappels_maj LIBS zapo_update LABELS unite TIMEOUT 120)
zapo_test(test_rappels_agent LIBS zapo_shell LABELS fenetre TIMEOUT 120)
