# The main window: its controls, lists, panel, channel health, screen readers,
# the keyboard and high-density screens.
zapo_test(test_fl_main LIBS zapo_vues LABELS fenetre)
zapo_test(test_vues LIBS zapo_vues LABELS fenetre)
zapo_test(test_sante_liste LIBS zapo_vues LABELS fenetre)
zapo_test(test_accessibilite LIBS zapo_coquille zapo_suivi LABELS fenetre)
zapo_test(test_haute_densite LIBS zapo_coquille zapo_suivi LABELS fenetre)
target_compile_definitions(test_haute_densite PRIVATE ZAPO_ARTEFACTS="${CMAKE_BINARY_DIR}/artefacts")
# The same checks on a screen of twice the density.
add_test(NAME test_haute_densite_x2 COMMAND test_haute_densite)
set_tests_properties(test_haute_densite_x2 PROPERTIES
  ENVIRONMENT "${ZAPO_ENV_TESTS};QT_SCALE_FACTOR=2" TIMEOUT 300 LABELS fenetre)
zapo_test(test_fl_recherche LIBS zapo_vues LABELS fenetre)
zapo_test(test_fl_ce_soir LIBS zapo_vues LABELS fenetre)
zapo_test(test_rappels_vues LIBS zapo_vues LABELS fenetre TIMEOUT 120)
zapo_test(test_logos_vues LIBS zapo_vues LABELS fenetre)
zapo_test(test_fl_grille LIBS zapo_vues LABELS fenetre)
