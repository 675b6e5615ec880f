# Never losing the guide: failed and hostile feeds, cancelling, each channel's health.
zapo_test(test_xmltv_voulues LIBS zapo_core)
zapo_test(test_guide_conserve LIBS zapo_update TIMEOUT 120)
zapo_test(test_notifications LIBS zapo_update TIMEOUT 120)
zapo_test(test_flux_hostiles LIBS zapo_update LABELS processus TIMEOUT 400)
add_dependencies(test_flux_hostiles zapo-tv)
if(ZAPO_SANITIZE)
  # AddressSanitizer's shadow and quarantine make the resident figure meaningless.
  target_compile_definitions(test_flux_hostiles PRIVATE ZAPO_SOUS_SANITISEUR)
endif()

# The XMLTV reader's fuzz corpus, replayed without libFuzzer in every build.
add_executable(rejouer_xmltv ${PROJECT_SOURCE_DIR}/fuzz/rejouer.cpp ${PROJECT_SOURCE_DIR}/fuzz/cible_xmltv.cpp)
target_link_libraries(rejouer_xmltv PRIVATE zapo_core)
add_test(NAME corpus_xmltv COMMAND rejouer_xmltv ${PROJECT_SOURCE_DIR}/fuzz/corpus_xmltv)
set_tests_properties(corpus_xmltv PROPERTIES ENVIRONMENT "${ZAPO_ENV_TESTS}" TIMEOUT 60)
zapo_test(test_relance_agent LIBS zapo_shell)
zapo_test(test_sante_liste LIBS zapo_views)
