tavo_e2e_test(e2e.startup test_startup.py)
