# The host build: tools and tests that run here, and the two Windows builds
# driven as sub-builds.
include(ExternalProject)
enable_testing()

set(TAVO_DIST ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${TAVO_DIST})

add_subdirectory(tools/tvz)

foreach(arch x86_64 i686)
  set(bin ${CMAKE_BINARY_DIR}/win-${arch})
  ExternalProject_Add(win-${arch}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${bin}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DTAVO_WERROR=${TAVO_WERROR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
endforeach()
# One Windows build at a time: the machines have two cores.
add_dependencies(win-i686 win-x86_64)

set(TAVO_WIN64 ${CMAKE_BINARY_DIR}/win-x86_64)
set(TAVO_WIN32 ${CMAKE_BINARY_DIR}/win-i686)
add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          ${TAVO_WIN32}/setup.exe ${TAVO_WIN64}/setupw64.exe ${TAVO_WIN64}/setup-x64.exe
          ${TAVO_DIST}/
  DEPENDS win-i686 win-x86_64
  COMMENT "Collecting the programs in ${TAVO_DIST}")

add_subdirectory(tests/host)

# Windows tests run under Wine, each in a throw-away prefix; end-to-end
# tests drive the real program the same way.
set(TAVO_WINBED ${CMAKE_SOURCE_DIR}/testbed/winbed.py)
add_test(NAME testbed.template
  COMMAND Python3::Interpreter ${TAVO_WINBED} template)
set_tests_properties(testbed.template PROPERTIES FIXTURES_SETUP wine_template
  ENVIRONMENT "TAVO_BUILD=${CMAKE_BINARY_DIR}")

function(tavo_wine_test name exe)
  add_test(NAME ${name}
    COMMAND Python3::Interpreter ${TAVO_WINBED} gtest ${ARGN} ${TAVO_WIN64}/tests/win/${exe})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_template TIMEOUT 600
    ENVIRONMENT "TAVO_BUILD=${CMAKE_BINARY_DIR}")
endfunction()

function(tavo_e2e_test name script)
  add_test(NAME ${name}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/e2e/${script} -v)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_template TIMEOUT 1200
    ENVIRONMENT "TAVO_DIST=${TAVO_DIST};TAVO_BUILD=${CMAKE_BINARY_DIR}")
endfunction()

include(${CMAKE_SOURCE_DIR}/tests/win/wine_tests.cmake)
include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e_tests.cmake)
