# The run's windows: progress, the connection prompt, never losing the guide through
# them, notifications at the end, and a real process killed in the middle of a run.
zapo_test(test_maj_programmes LIBS zapo_suivi LABELS fenetre)
zapo_test(test_fl_connect LIBS zapo_suivi LABELS fenetre)
zapo_test(test_guide_conserve LIBS zapo_suivi LABELS fenetre TIMEOUT 120)
zapo_test(test_notifications LIBS zapo_suivi LABELS fenetre TIMEOUT 120)
add_executable(maj_coupee ${CMAKE_CURRENT_LIST_DIR}/maj_coupee.cpp)
target_link_libraries(maj_coupee PRIVATE zapo_suivi zapo_test_outils)
zapo_test(test_maj_coupure LIBS zapo_suivi LABELS processus)
target_compile_definitions(test_maj_coupure PRIVATE ZAPO_MAJ_COUPEE="$<TARGET_FILE:maj_coupee>")
add_dependencies(test_maj_coupure maj_coupee)
zapo_test(test_rappels_maj LIBS zapo_suivi LABELS fenetre TIMEOUT 120)
