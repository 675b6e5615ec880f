# Schedule pages: the scanner, the decoding of bytes and the HTTP fetch.
zapo_test(test_scanner LIBS zapo_core)
zapo_test(test_decodage LIBS zapo_core)
zapo_test(test_recup LIBS zapo_maj TIMEOUT 120)

# The fuzz corpus, replayed without libFuzzer in every build.
add_executable(rejouer_scanner ${PROJECT_SOURCE_DIR}/fuzz/rejouer.cpp ${PROJECT_SOURCE_DIR}/fuzz/cible_scanner.cpp)
target_link_libraries(rejouer_scanner PRIVATE zapo_core)
add_test(NAME corpus_scanner COMMAND rejouer_scanner ${PROJECT_SOURCE_DIR}/fuzz/corpus)
set_tests_properties(corpus_scanner PROPERTIES ENVIRONMENT "${ZAPO_ENV_TESTS}" TIMEOUT 60)
zapo_test(test_repli LIBS zapo_core LABELS unite)
