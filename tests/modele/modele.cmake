# The guide without a window: what it announces, and the reminders' service with
# a fixed clock and a fake avertisseur.
zapo_test(test_guide LIBS zapo_modele LABELS unite)
zapo_test(test_service_rappels LIBS zapo_modele LABELS unite TIMEOUT 120)
