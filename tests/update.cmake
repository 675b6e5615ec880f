# The update run, its progress window and the connection prompt.
zapo_test(test_maj_programmes LIBS zapo_update)
zapo_test(test_fl_connect LIBS zapo_update)

# A real process killed in the middle of a run.
add_executable(maj_coupee maj_coupee.cpp)
target_link_libraries(maj_coupee PRIVATE zapo_update zapo_test_outils)
zapo_test(test_maj_coupure LIBS zapo_update)
target_compile_definitions(test_maj_coupure PRIVATE ZAPO_MAJ_COUPEE="$<TARGET_FILE:maj_coupee>")
add_dependencies(test_maj_coupure maj_coupee)
zapo_test(test_lancer_maj LIBS zapo_shell)
