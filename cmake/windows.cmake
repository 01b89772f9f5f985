# The Windows build: the setup program and, on x86_64, its Windows tests.

set(TAVO_STATIC_LINK -static -static-libgcc -static-libstdc++)

add_library(tavo_setup STATIC
  archive/digest_win.cpp
  archive/file_digest.cpp
  archive/payload_member.cpp
  driver/install_sequence.cpp
  driver/startup.cpp
  imereg/ime_install.cpp
  imereg/ime_windows.cpp
  imereg/layout_register.cpp
  imereg/preload.cpp
  imereg/reg_text.cpp
  imereg/system_entries.cpp
  location/file_ops.cpp
  location/install_dir.cpp
  location/settings_files.cpp
  ui/setup_window.cpp)
target_link_libraries(tavo_setup PUBLIC tavo_portable imm32 advapi32 user32 gdi32 kernel32)
target_compile_options(tavo_setup PRIVATE ${TAVO_WARNINGS})
target_compile_definitions(tavo_setup PUBLIC WINVER=0x0501 _WIN32_WINNT=0x0501)

# Icon and manifest, shared by every program built here.
set(TAVO_ICON ${CMAKE_BINARY_DIR}/generated/tavohu.ico)
set(TAVO_MANIFEST ${CMAKE_SOURCE_DIR}/resources/setup.manifest)
add_custom_command(
  OUTPUT ${TAVO_ICON}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/resources/make_icon.py ${TAVO_ICON}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_icon.py
  COMMENT "Drawing the program icon")
configure_file(resources/setup.rc.in ${CMAKE_BINARY_DIR}/generated/setup.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/setup.rc PROPERTIES
  OBJECT_DEPENDS "${TAVO_ICON};${TAVO_MANIFEST}")

function(tavo_setup_program name)
  add_executable(${name} WIN32 driver/main.cpp ${CMAKE_BINARY_DIR}/generated/setup.rc ${ARGN})
  target_link_libraries(${name} PRIVATE tavo_setup)
  target_link_options(${name} PRIVATE ${TAVO_STATIC_LINK})
  target_compile_options(${name} PRIVATE ${TAVO_WARNINGS})
endfunction()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  tavo_setup_program(setup)
else()
  # setupw64.exe travels inside the payload; setup-x64.exe carries the
  # payload and is the build that runs under Wine here.
  tavo_setup_program(setupw64)
  tavo_setup_program(setup-x64)
  add_subdirectory(tests/win)
endif()
