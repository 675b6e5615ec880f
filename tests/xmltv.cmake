zapo_test(test_xmltv LIBS zapo_core zapo_platform)
