# About box, links and help.
zapo_test(test_liens LIBS zapo_apropos LABELS fenetre)
