# The whole program as a user runs it: start-up, a full update seen in its window,
# off line, hostile feeds, bad inputs, the notification-area icon, and kills in the
# middle of an update or of an option change.
add_executable(capture_ecran ${CMAKE_CURRENT_LIST_DIR}/capture_ecran.cpp)
target_link_libraries(capture_ecran PRIVATE Qt6::Gui)

zapo_test(test_demarrage LABELS processus)
add_dependencies(test_demarrage zapo-tv-essai)

zapo_test(test_entrees_processus LIBS SQLite::SQLite3 LABELS processus TIMEOUT 120)
add_dependencies(test_entrees_processus zapo-tv-essai)

zapo_test(test_flux_hostiles LIBS zapo_suivi LABELS processus TIMEOUT 400)
add_dependencies(test_flux_hostiles zapo-tv-essai)
if(ZAPO_SANITIZE)
  # AddressSanitizer's shadow and quarantine make the resident figure meaningless.
  target_compile_definitions(test_flux_hostiles PRIVATE ZAPO_SOUS_SANITISEUR)
endif()

zapo_test(test_icone_e2e LIBS Qt6::DBus zapo_suivi LABELS processus TIMEOUT 240)
add_dependencies(test_icone_e2e zapo-tv-essai capture_ecran)
target_compile_definitions(test_icone_e2e PRIVATE
  ZAPO_CAPTURE_ECRAN="$<TARGET_FILE:capture_ecran>"
  ZAPO_ARTEFACTS="${CMAKE_BINARY_DIR}/artefacts")

zapo_test(test_parcours_complet LIBS zapo_suivi LABELS processus TIMEOUT 180)
add_dependencies(test_parcours_complet zapo-tv-essai capture_ecran)
target_compile_definitions(test_parcours_complet PRIVATE
  ZAPO_CAPTURE_ECRAN="$<TARGET_FILE:capture_ecran>"
  ZAPO_ARTEFACTS="${CMAKE_BINARY_DIR}/artefacts")

add_executable(options_en_boucle ${CMAKE_CURRENT_LIST_DIR}/options_en_boucle.cpp)
target_link_libraries(options_en_boucle PRIVATE zapo_coquille zapo_test_outils)
zapo_test(test_coupures LIBS zapo_suivi LABELS processus TIMEOUT 240)
add_dependencies(test_coupures zapo-tv-essai options_en_boucle)
target_compile_definitions(test_coupures PRIVATE ZAPO_OPTIONS_EN_BOUCLE="$<TARGET_FILE:options_en_boucle>")

zapo_test(test_arret_activation LIBS zapo_suivi SQLite::SQLite3 Qt6::DBus LABELS processus TIMEOUT 120)
add_dependencies(test_arret_activation zapo-tv-essai)
