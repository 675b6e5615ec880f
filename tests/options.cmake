zapo_test(test_options LIBS zapo_data)
zapo_test(test_registre LIBS zapo_platform)
zapo_test(test_agent LIBS zapo_shell)
