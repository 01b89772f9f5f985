tavo_e2e_test(e2e.startup test_startup.py)
tavo_e2e_test(e2e.archive_ops test_archive_ops.py)
tavo_e2e_test(e2e.imereg test_imereg.py)
tavo_e2e_test(e2e.silent_install test_silent_install.py)
