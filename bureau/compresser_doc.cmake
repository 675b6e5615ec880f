# Run by CPack before it builds the package: Debian wants manual pages and the
# change log compressed, with no time stamp inside.
file(GLOB_RECURSE fichiers "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(f IN LISTS fichiers)
  if(f MATCHES "/share/man/man[1-9]/[^/]+\\.[1-9]$" OR f MATCHES "/share/doc/[^/]+/changelog$")
    execute_process(COMMAND gzip -9nf "${f}" RESULT_VARIABLE r)
    if(NOT r EQUAL 0)
      message(FATAL_ERROR "gzip ${f} : ${r}")
    endif()
  endif()
endforeach()
