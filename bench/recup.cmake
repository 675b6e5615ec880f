# Schedule pages: the scanner against a plain memchr walk of the same buffer.
zapo_banc(bench_scanner LIBS zapo_noyau)
# One update run keeping eight days of 30 channels from one feed on 127.0.0.1,
# with the tests' fake services (pace, connection).
zapo_banc(banc_maj_semaine LIBS zapo_maj zapo_donnees zapo_noyau)
target_include_directories(banc_maj_semaine PRIVATE ${PROJECT_SOURCE_DIR}/tests)
