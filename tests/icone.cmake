# The real program's notification-area icon, under Xvfb and a private session bus.
zapo_test(test_icone_e2e LIBS Qt6::DBus zapo_update LABELS processus TIMEOUT 240)
add_dependencies(test_icone_e2e zapo-tv capture_ecran)
target_compile_definitions(test_icone_e2e PRIVATE
  ZAPO_CAPTURE_ECRAN="$<TARGET_FILE:capture_ecran>"
  ZAPO_ARTEFACTS="${CMAKE_BINARY_DIR}/artefacts")
