# Schedule pages: the scanner against a plain memchr walk of the same buffer.
zapo_banc(bench_scanner LIBS zapo_core)
