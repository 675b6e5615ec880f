# The terminal commands beside tv_grep (xmltv-util), whole processes:
# cmake --build build-bench --target mesurer_terminal
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_target(
  mesurer_terminal
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/mesurer_terminal.py ${PROJECT_BINARY_DIR}
  DEPENDS zapo-tv base_livree
  USES_TERMINAL VERBATIM)
# The export's memory on a base of 1,000,000 programmes, under /usr/bin/time -v:
# cmake --build build-bench --target mesurer_export
add_custom_target(
  mesurer_export
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/mesurer_export.py ${PROJECT_BINARY_DIR}
  DEPENDS zapo-tv base_livree
  USES_TERMINAL VERBATIM)
