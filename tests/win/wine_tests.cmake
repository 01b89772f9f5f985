# The Windows test programs and the machine each runs on.
tavo_wine_test(win.location location_tests.exe)
tavo_wine_test(win.driver driver_tests.exe)
tavo_wine_test(win.driver.xp driver_tests.exe --winver 5)
tavo_wine_test(win.archive archive_tests.exe)
tavo_wine_test(win.ui ui_tests.exe)
tavo_wine_test(win.imereg imereg_tests.exe --bits 32)
# The Big5 system: its layout texts and "404", and no earlier version found.
tavo_wine_test(win.imereg.cp950 imereg_tests.exe --cp 950 --bits 32)
set_property(TEST win.imereg.cp950 APPEND PROPERTY ENVIRONMENT
  "GTEST_FILTER=LayoutRegistration.*:EarlierVersion.NothingIsFound*")
