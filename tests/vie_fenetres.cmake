# Clicks and ticks in the middle of runs and boxes: window lifetimes, no pile-up,
# the notification area at login, and a randomized driver of all of it.
zapo_test(test_vie_fenetres LIBS zapo_shell TIMEOUT 300)
zapo_test(test_pilote_aleatoire LIBS zapo_shell TIMEOUT 600)
