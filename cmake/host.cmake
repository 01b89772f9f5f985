# The host build: tools and tests that run here, and the two Windows builds
# driven as sub-builds.
include(ExternalProject)
enable_testing()

set(TAVO_DIST ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${TAVO_DIST})

add_subdirectory(tools/tvz)
set(TAVO_TVZ ${TAVO_DIST}/tvz)

# The payload the programs carry. By default a sample made here (the same
# bytes on every build); the product team points TAVO_PAYLOAD_DIR at the
# real files. The x86_64 build packs it once setupw64.exe is built, and the
# i686 build links the same archive.
set(TAVO_SAMPLE_PAYLOAD ${CMAKE_BINARY_DIR}/payload-sample)
set(TAVO_PAYLOAD_SCRIPTS
  ${CMAKE_SOURCE_DIR}/tools/payload/make_sample_payload.py
  ${CMAKE_SOURCE_DIR}/tools/payload/payload_members.py
  ${CMAKE_SOURCE_DIR}/tools/payload/sample_media.py)
add_custom_command(
  OUTPUT ${TAVO_SAMPLE_PAYLOAD}.stamp
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/payload/make_sample_payload.py
          --tvz $<TARGET_FILE:tvz> --out ${TAVO_SAMPLE_PAYLOAD} --stamp ${TAVO_SAMPLE_PAYLOAD}.stamp
  DEPENDS ${TAVO_PAYLOAD_SCRIPTS} tvz
  COMMENT "Making the sample payload in ${TAVO_SAMPLE_PAYLOAD}")
add_custom_target(tavo_sample_payload ALL DEPENDS ${TAVO_SAMPLE_PAYLOAD}.stamp)

set(TAVO_PAYLOAD_DIR "${TAVO_SAMPLE_PAYLOAD}" CACHE PATH
    "Directory of the payload's member files (default: the sample made by the build)")
if(TAVO_PAYLOAD_DIR STREQUAL "")
  set(TAVO_PAYLOAD_DIR_USED ${TAVO_SAMPLE_PAYLOAD})
else()
  get_filename_component(TAVO_PAYLOAD_DIR_USED "${TAVO_PAYLOAD_DIR}" ABSOLUTE)
endif()
if(NOT TAVO_PAYLOAD_DIR_USED STREQUAL TAVO_SAMPLE_PAYLOAD)
  # Refuse a product directory at once rather than halfway through the build.
  execute_process(
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/payload/pack_payload.py
            --dir ${TAVO_PAYLOAD_DIR_USED} --check-only
    RESULT_VARIABLE payload_ok
    ERROR_VARIABLE payload_report)
  if(NOT payload_ok EQUAL 0)
    message(FATAL_ERROR "TAVO_PAYLOAD_DIR cannot be used:\n${payload_report}")
  elseif(payload_report)
    message(WARNING "${payload_report}")
  endif()
endif()

set(TAVO_WIN64 ${CMAKE_BINARY_DIR}/win-x86_64)
set(TAVO_WIN32 ${CMAKE_BINARY_DIR}/win-i686)
set(TAVO_PAYLOAD_ARCHIVE ${TAVO_WIN64}/payload/payload.tvz)
set(win-x86_64-args -DTAVO_TVZ=${TAVO_TVZ} -DTAVO_PAYLOAD_DIR=${TAVO_PAYLOAD_DIR_USED})
set(win-i686-args -DTAVO_PAYLOAD_FILE=${TAVO_PAYLOAD_ARCHIVE})

foreach(arch x86_64 i686)
  set(bin ${CMAKE_BINARY_DIR}/win-${arch})
  ExternalProject_Add(win-${arch}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${bin}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DTAVO_WERROR=${TAVO_WERROR}
      ${win-${arch}-args}
    DEPENDS tvz tavo_sample_payload
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
endforeach()
# One Windows build at a time: the machines have two cores.
add_dependencies(win-i686 win-x86_64)
add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          ${TAVO_WIN32}/setup.exe ${TAVO_WIN64}/setupw64.exe ${TAVO_WIN64}/setup-x64.exe
          ${TAVO_DIST}/
  DEPENDS win-i686 win-x86_64
  COMMENT "Collecting the programs in ${TAVO_DIST}")

add_subdirectory(tests/host)

# Fuzz targets for the readers of untrusted archive bytes, built with clang
# and libFuzzer as a project of their own. Each test runs a fixed number of
# inputs from a seed corpus of tiny archives that tvz makes.
find_program(TAVO_CLANGXX NAMES clang++ clang++-14)
option(TAVO_FUZZ "Build and run the fuzz targets (needs clang with libFuzzer)" ON)
set(TAVO_FUZZ_RUNS 100000 CACHE STRING "Inputs each fuzz test runs")
if(TAVO_FUZZ AND TAVO_CLANGXX)
  set(fuzz_bin ${CMAKE_BINARY_DIR}/fuzz)
  ExternalProject_Add(fuzz
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/fuzz
    BINARY_DIR ${fuzz_bin}
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${TAVO_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  add_dependencies(fuzz win-i686)  # after the Windows builds, one at a time

  set(fuzz_seeds ${fuzz_bin}/seeds)
  file(GLOB fuzz_members ${CMAKE_SOURCE_DIR}/fuzz/seed_members/*)
  add_custom_command(
    OUTPUT ${fuzz_seeds}/hashed.tvz ${fuzz_seeds}/plain.tvz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${fuzz_seeds}
    COMMAND tvz pack ${fuzz_seeds}/hashed.tvz ${fuzz_members}
    COMMAND tvz pack --plain=K --fill=0xCC ${fuzz_seeds}/plain.tvz ${fuzz_members}
    DEPENDS tvz ${fuzz_members}
    COMMENT "Making the fuzz seed archives")
  add_custom_target(fuzz_seeds ALL DEPENDS ${fuzz_seeds}/hashed.tvz ${fuzz_seeds}/plain.tvz)

  foreach(target walk inspect)
    add_test(NAME fuzz.${target}
      COMMAND ${CMAKE_COMMAND} -DFUZZER=${fuzz_bin}/${target}_fuzz -DSEEDS=${fuzz_seeds}
              -DWORK=${fuzz_bin}/corpus-${target} -DRUNS=${TAVO_FUZZ_RUNS}
              -P ${CMAKE_SOURCE_DIR}/fuzz/run_fuzz.cmake
      WORKING_DIRECTORY ${fuzz_bin})
    set_tests_properties(fuzz.${target} PROPERTIES TIMEOUT 600)
  endforeach()
elseif(TAVO_FUZZ)
  message(WARNING "clang++ not found: the fuzz targets are not built (scripts/install-deps.sh)")
endif()

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
