zapo_test(test_xmltv LIBS zapo_core zapo_platform)
zapo_test(test_recup_xmltv LIBS zapo_update)
