# The Windows build: the setup program and, on x86_64, its Windows tests.

# No link time stamp in the programs: the same sources give the same bytes,
# so the payload that carries setupw64.exe does too.
set(TAVO_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)

add_library(tavo_setup STATIC
  archive/backup.cpp
  archive/extract.cpp
  archive/digest_win.cpp
  archive/file_digest.cpp
  archive/payload_member.cpp
  driver/deploy.cpp
  driver/install_sequence.cpp
  driver/run_state.cpp
  driver/startup.cpp
  imereg/ime_install.cpp
  imereg/ime_windows.cpp
  imereg/layout_register.cpp
  imereg/preload.cpp
  imereg/reg_text.cpp
  imereg/system_entries.cpp
  location/file_ops.cpp
  location/install_check.cpp
  location/install_dir.cpp
  location/settings_files.cpp
  ui/bitmap_layout.cpp
  ui/options_dialog.cpp
  ui/pages.cpp
  ui/paint_tools.cpp
  ui/setup_window.cpp
  ui/window_objects.cpp)
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

# The payload archive as resource TVZ "VEMOTVZ", language 2052 (Chinese,
# PRC).
set(TAVO_PAYLOAD_RC ${CMAKE_BINARY_DIR}/generated/payload.rc)
function(tavo_payload_resource archive)
  file(CONFIGURE OUTPUT ${TAVO_PAYLOAD_RC} @ONLY CONTENT
       "// The payload the program installs; made by the build.\nLANGUAGE 4, 2\nVEMOTVZ TVZ \"${archive}\"\n")
  set_source_files_properties(${TAVO_PAYLOAD_RC} PROPERTIES OBJECT_DEPENDS ${archive})
endfunction()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  if(NOT TAVO_PAYLOAD_FILE)
    message(FATAL_ERROR "TAVO_PAYLOAD_FILE (the packed payload archive) is not set; "
                        "build through the top-level project, which passes it")
  endif()
  tavo_payload_resource(${TAVO_PAYLOAD_FILE})
  tavo_setup_program(setup ${TAVO_PAYLOAD_RC})
else()
  if(NOT TAVO_TVZ OR NOT TAVO_PAYLOAD_DIR)
    message(FATAL_ERROR "TAVO_TVZ and TAVO_PAYLOAD_DIR are not set; build through the "
                        "top-level project, which passes them")
  endif()
  # setupw64.exe travels inside the payload; setup-x64.exe carries the
  # payload and is the build that runs under Wine here.
  tavo_setup_program(setupw64)
  set(payload ${CMAKE_BINARY_DIR}/payload)
  add_custom_command(
    OUTPUT ${payload}/payload.stamp
    BYPRODUCTS ${payload}/payload.tvz
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/payload/pack_payload.py
            --dir ${TAVO_PAYLOAD_DIR} --tvz ${TAVO_TVZ} --setupw64 $<TARGET_FILE:setupw64>
            --out ${payload}/payload.tvz --stamp ${payload}/payload.stamp
            --depfile ${payload}/payload.d
    DEPFILE ${payload}/payload.d
    DEPENDS setupw64 ${TAVO_TVZ}
            ${CMAKE_SOURCE_DIR}/tools/payload/pack_payload.py
            ${CMAKE_SOURCE_DIR}/tools/payload/payload_members.py
    COMMENT "Packing the payload from ${TAVO_PAYLOAD_DIR}")
  add_custom_target(tavo_payload DEPENDS ${payload}/payload.stamp)
  tavo_payload_resource(${payload}/payload.tvz)
  tavo_setup_program(setup-x64 ${TAVO_PAYLOAD_RC})
  add_dependencies(setup-x64 tavo_payload)
  add_subdirectory(tests/win)
endif()
