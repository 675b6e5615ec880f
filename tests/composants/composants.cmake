# What several windows share: the application's style.
zapo_test(test_style_appli LIBS zapo_composants LABELS fenetre)
