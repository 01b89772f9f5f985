# The Windows test programs and the machine each runs on.
tavo_wine_test(win.location location_tests.exe)
tavo_wine_test(win.driver driver_tests.exe)
tavo_wine_test(win.driver.xp driver_tests.exe --winver 5)
tavo_wine_test(win.archive archive_tests.exe)
