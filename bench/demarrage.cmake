# The bare Qt program that start-up time and memory are measured against
# (bench/mesurer_demarrage.py). Qt Widgets only: none of our libraries.
add_executable(programme_nu programme_nu.cpp)
target_include_directories(programme_nu PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
# Zapo-TV's main window, as it is shown (fixed size).
target_compile_definitions(programme_nu PRIVATE ZAPO_LARGEUR_FENETRE=673 ZAPO_HAUTEUR_FENETRE=565)
target_link_libraries(programme_nu PRIVATE Qt6::Widgets)

# cmake --build build-bench --target mesurer_demarrage
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_target(
  mesurer_demarrage
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/mesurer_demarrage.py ${PROJECT_BINARY_DIR}
  DEPENDS zapo-tv-essai programme_nu remplir_semaine base_livree
  USES_TERMINAL VERBATIM)

# A kept week for the starts measured with --semaine.
add_executable(remplir_semaine remplir_semaine.cpp)
target_link_libraries(remplir_semaine PRIVATE zapo_donnees zapo_noyau Qt6::Core)
