# The whole program as a user runs it: a full update seen in its window, off
# line, and kills in the middle of an update or of an option change.
zapo_test(test_parcours_complet LIBS zapo_update LABELS processus TIMEOUT 180)
add_dependencies(test_parcours_complet zapo-tv capture_ecran)
target_compile_definitions(test_parcours_complet PRIVATE
  ZAPO_CAPTURE_ECRAN="$<TARGET_FILE:capture_ecran>"
  ZAPO_ARTEFACTS="${CMAKE_BINARY_DIR}/artefacts")

add_executable(options_en_boucle options_en_boucle.cpp)
target_link_libraries(options_en_boucle PRIVATE zapo_shell zapo_test_outils)
zapo_test(test_coupures LIBS zapo_update LABELS processus TIMEOUT 240)
add_dependencies(test_coupures zapo-tv options_en_boucle)
target_compile_definitions(test_coupures PRIVATE ZAPO_OPTIONS_EN_BOUCLE="$<TARGET_FILE:options_en_boucle>")
