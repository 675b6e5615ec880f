zapo_test(test_demarrage LABELS processus)
add_dependencies(test_demarrage zapo-tv)
add_executable(capture_ecran capture_ecran/capture_ecran.cpp)
target_link_libraries(capture_ecran PRIVATE Qt6::Gui)
