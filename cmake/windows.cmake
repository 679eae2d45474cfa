# The Windows side: the plug-in, the simulated host FINALE.EXE with the
# end-to-end tests, and the demo host.
enable_language(RC)
enable_language(ASM)

add_compile_options(-Wall -Wextra)
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

# The import library of the host services, by ordinal only.
set(FINALE_IMPORTS ${CMAKE_BINARY_DIR}/libfinale_imports.a)
add_custom_command(
  OUTPUT ${FINALE_IMPORTS}
  COMMAND ${CMAKE_DLLTOOL} -d ${CMAKE_SOURCE_DIR}/resources/finale_imports.def
          -l ${FINALE_IMPORTS}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/finale_imports.def
  COMMENT "Import library of the host services")
add_custom_target(finale_imports DEPENDS ${FINALE_IMPORTS})

add_library(plugin SHARED
  ${CORE_SOURCES}
  ${PLUGIN_ALLOCATOR_SOURCES}
  plugin/ansi_code_page.cpp
  plugin/entry_points.cpp
  plugin/settings.cpp
  entrysearch/entry_dialog.cpp
  entrysearch/entry_dialog_pages.cpp
  textsearch/results_dialog.cpp
  textsearch/text_command.cpp
  textsearch/text_options_dialog.cpp
  ui/control_styles.cpp
  ui/dialog_skeleton.cpp
  ui/dialog_utils.cpp
  resources/dialogs.rc
  resources/version.rc
  resources/vovadododidarov2000.def
)
target_include_directories(plugin PRIVATE ${CMAKE_SOURCE_DIR})
# The product's code compiles without a warning.
target_compile_options(plugin PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Werror>)
add_dependencies(plugin finale_imports)
set_target_properties(plugin PROPERTIES
  OUTPUT_NAME vovadododidarov2000 PREFIX "" SUFFIX ".fxt"
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugin
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugin)
# No timestamp and no debug sections (they name temporary files): the same
# sources always give the same bytes.
target_link_options(plugin PRIVATE ${STATIC_RUNTIME} -s -Wl,--no-insert-timestamp)
target_link_libraries(plugin PRIVATE ${FINALE_IMPORTS} user32 gdi32 advapi32)

# The simulated host, shared by the test runner and the demo.
add_library(simhost OBJECT
  ${SIMHOST_CORE_SOURCES}
  simhost/dialog_services.cpp
  simhost/import_patch.cpp
  simhost/resource_ledger.cpp
  simhost/taskbar.cpp
  simhost/plugin_loader.cpp
  simhost/screenshot.cpp
  simhost/scripted_user.cpp
  simhost/stack_check_thunk.S
  simhost/visual_styles.cpp
  simhost/visual_styles.rc
)
target_include_directories(simhost PUBLIC ${CMAKE_SOURCE_DIR})

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} googletest EXCLUDE_FROM_ALL)

function(add_host_executable target dir)
  target_link_options(${target} PRIVATE ${STATIC_RUNTIME}
                      ${CMAKE_SOURCE_DIR}/simhost/finale_exports.def)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME FINALE SUFFIX ".EXE"
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${dir})
  target_link_libraries(${target} PRIVATE simhost user32 gdi32 advapi32)
  add_dependencies(${target} plugin)
endfunction()

file(GLOB E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
# The tests build their expected records with the plug-in's own defaults,
# and exercise the dialog utilities and the code page's character set on
# real windows.
add_executable(e2e_tests ${E2E_TEST_SOURCES}
  entrysearch/entry_options.cpp textsearch/text_prefs.cpp ui/dialog_utils.cpp
  ui/readable_colour.cpp plugin/ansi_code_page.cpp
  textsearch/text_characters.cpp)
target_link_libraries(e2e_tests PRIVATE gtest uxtheme)
add_host_executable(e2e_tests e2e)

add_executable(demo_host simhost/demo_main.cpp)
add_host_executable(demo_host demo)

# Holds a file open as a running host holds its plug-ins, for the setup
# program's tests.
add_executable(hold_file tests/setup/hold_file.c)
target_link_options(hold_file PRIVATE -municode ${STATIC_RUNTIME})
set_target_properties(hold_file PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/setup-tests)

# Runs a program while a registry key is volatile, for the setup program's
# tests of a registry that cannot be written.
add_executable(with_volatile_key tests/setup/with_volatile_key.c)
target_link_options(with_volatile_key PRIVATE -municode ${STATIC_RUNTIME})
set_target_properties(with_volatile_key PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/setup-tests)

# A stand-in FINALE.EXE with a version resource, for the setup program's
# tests of finding the host and for its page walk.
add_executable(versioned_host tests/setup/versioned_host.c
                              tests/setup/versioned_host.rc)
target_link_options(versioned_host PRIVATE ${STATIC_RUNTIME})
set_target_properties(versioned_host PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/setup-tests)
# The same stand-in as a 64-bit program, which cannot load the plug-in:
# built with the 64-bit cross compiler, outside this 32-bit toolchain.
set(HOST_64 ${CMAKE_BINARY_DIR}/setup-tests/versioned_host_64.exe)
add_custom_command(OUTPUT ${HOST_64}
  COMMAND x86_64-w64-mingw32-windres
          ${CMAKE_SOURCE_DIR}/tests/setup/versioned_host.rc -O coff
          -o ${CMAKE_BINARY_DIR}/versioned_host_64.res
  COMMAND x86_64-w64-mingw32-gcc-posix -Wall -Wextra -static -s
          ${CMAKE_SOURCE_DIR}/tests/setup/versioned_host.c
          ${CMAKE_BINARY_DIR}/versioned_host_64.res -o ${HOST_64}
  DEPENDS tests/setup/versioned_host.c tests/setup/versioned_host.rc
  COMMENT "The 64-bit stand-in host")
add_custom_target(versioned_host_64 ALL DEPENDS ${HOST_64})

# Walks through the setup program's pages and saves pictures of them.
add_executable(page_pictures tools/pictures/page_pictures.cpp
                             simhost/screenshot.cpp)
target_include_directories(page_pictures PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(page_pictures PRIVATE ${STATIC_RUNTIME})
target_link_libraries(page_pictures PRIVATE user32 gdi32)
# The hosts its walk finds, and the one it leaves out.
add_dependencies(page_pictures versioned_host versioned_host_64)
set_target_properties(page_pictures PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/setup-tests)
