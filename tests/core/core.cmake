# The shared rules: dates, decoding, schedule pages, XMLTV, the panel.
zapo_test(test_date_heure LIBS zapo_core LABELS unite)
zapo_test(test_decodage LIBS zapo_core LABELS unite)
zapo_test(test_scanner LIBS zapo_core LABELS unite)
zapo_test(test_repli LIBS zapo_core LABELS unite)
zapo_test(test_panneau LIBS zapo_core LABELS unite)
zapo_test(test_xmltv LIBS zapo_core zapo_platform LABELS unite)
zapo_test(test_xmltv_voulues LIBS zapo_core LABELS unite)
zapo_test(test_xmltv_chaines LIBS zapo_core LABELS unite)

# The fuzz corpora, replayed without libFuzzer in every build.
add_executable(rejouer_scanner ${PROJECT_SOURCE_DIR}/fuzz/rejouer.cpp ${PROJECT_SOURCE_DIR}/fuzz/cible_scanner.cpp)
target_link_libraries(rejouer_scanner PRIVATE zapo_core)
target_include_directories(rejouer_scanner PRIVATE ${PROJECT_SOURCE_DIR}/tests) # the fixed clock
add_test(NAME corpus_scanner COMMAND rejouer_scanner ${PROJECT_SOURCE_DIR}/fuzz/corpus)
add_executable(rejouer_xmltv ${PROJECT_SOURCE_DIR}/fuzz/rejouer.cpp ${PROJECT_SOURCE_DIR}/fuzz/cible_xmltv.cpp)
target_link_libraries(rejouer_xmltv PRIVATE zapo_core)
add_test(NAME corpus_xmltv COMMAND rejouer_xmltv ${PROJECT_SOURCE_DIR}/fuzz/corpus_xmltv)
set_tests_properties(corpus_scanner corpus_xmltv PROPERTIES ENVIRONMENT "${ZAPO_ENV_TESTS}" TIMEOUT 60 LABELS unite)
zapo_test(test_recherche LIBS zapo_core LABELS unite)
zapo_test(test_ce_soir LIBS zapo_core LABELS unite)
zapo_test(test_rappels LIBS zapo_core LABELS unite)
zapo_test(test_genres LIBS zapo_core LABELS unite)
zapo_test(test_grille LIBS zapo_core LABELS unite)
