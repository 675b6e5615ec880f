# The terminal commands beside tv_grep (xmltv-util), whole processes:
# cmake --build build-bench --target mesurer_terminal
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_target(
  mesurer_terminal
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/mesurer_terminal.py ${PROJECT_BINARY_DIR}
  DEPENDS zapo-tv base_livree
  USES_TERMINAL VERBATIM)
