# Installed like a desktop program: the install tree, the package, the delivered base.
# Whole-tree checks, as shell scripts: each gets the build folder.
function(zapo_test_script nom script)
  add_test(NAME ${nom} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/bureau/${script} ${CMAKE_BINARY_DIR})
  set_tests_properties(${nom} PROPERTIES ENVIRONMENT "${ZAPO_ENV_TESTS}" LABELS "processus;installation" ${ARGN})
endfunction()
# Rebuilding the delivered base leaves the user's build/programmes.mdb alone.
# Serial: it remakes the file the other tests copy.
zapo_test_script(base_livree_reconstruite base_livree.sh TIMEOUT 120 RUN_SERIAL TRUE)
zapo_test_script(installation installation.sh TIMEOUT 120)
if(NOT ZAPO_SANITIZE)
  # The package is made from the normal build only.
  zapo_test_script(paquet_deb paquet.sh TIMEOUT 300)
endif()
