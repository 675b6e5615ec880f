# Run by CPack before it builds the package, after the strip: the compiler's
# .comment section (its version strings) has no use in an installed program.
file(GLOB_RECURSE executables "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*")
foreach(f IN LISTS executables)
  execute_process(COMMAND "${CPACK_ZAPO_OBJCOPY}" --remove-section=.comment "${f}" RESULT_VARIABLE r)
  if(NOT r EQUAL 0)
    message(FATAL_ERROR "objcopy ${f} : ${r}")
  endif()
endforeach()
