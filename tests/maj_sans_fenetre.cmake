# The update run's rules with a recorder instead of its window: links no Widgets.
zapo_test(test_pilote_maj LIBS zapo_maj LABELS unite)
