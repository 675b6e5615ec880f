# Schedule pages: the scanner, the decoding of bytes and the HTTP fetch.
zapo_test(test_scanner LIBS zapo_core)
zapo_test(test_decodage LIBS zapo_core)
zapo_test(test_recup LIBS zapo_update TIMEOUT 120)
