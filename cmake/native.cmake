# The native side: the platform-neutral core and the document model built
# for 32-bit Linux, so record layouts and the frame's 32-bit pointer are
# exactly the target's; unit tests plain and under the sanitizers. It also
# builds the Windows side and registers the tests that run under Wine.
add_compile_options(-m32 -Wall -Wextra)
add_link_options(-m32)
# The product's code compiles without a warning, in every target it is in.
set_source_files_properties(${CORE_SOURCES} ${PLUGIN_ALLOCATOR_SOURCES}
                            PROPERTIES COMPILE_OPTIONS -Werror)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} googletest EXCLUDE_FROM_ALL)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)

# The core, the model and the tests, built with extra flags (a sanitizer).
function(add_native_tests target)
  set(flags ${ARGN})
  add_executable(${target} ${CORE_SOURCES} ${TEST_ALLOCATOR_SOURCES}
                           ${SIMHOST_CORE_SOURCES} ${NATIVE_TEST_SOURCES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${flags})
  target_link_options(${target} PRIVATE ${flags})
  target_link_libraries(${target} PRIVATE gtest_main)
endfunction()

add_native_tests(native_tests)
add_native_tests(native_tests_sanitized
  -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

enable_testing()
add_test(NAME native COMMAND native_tests)
add_test(NAME native_sanitized COMMAND native_tests_sanitized)
set_tests_properties(native_sanitized PROPERTIES
  ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1")

# The static analyzer over the product's code (checks and suppressions:
# .clang-tidy).
add_test(NAME analyzer
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-analyzer.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(analyzer PROPERTIES TIMEOUT 600)

# The mutation tool (make mutants) on its toy.
add_test(NAME mutants_tool
  COMMAND ${CMAKE_SOURCE_DIR}/tests/mutants/mutants_tool_test.py)

# The set-up script, with stand-ins for apt and dpkg.
add_test(NAME install_deps_script
  COMMAND ${CMAKE_SOURCE_DIR}/tests/deps/install_deps_test.sh
          ${CMAKE_BINARY_DIR}/install-deps-test)

# The Windows build, with the mingw-w64 toolchain.
include(ExternalProject)
set(WINDOWS_BUILD_DIR ${CMAKE_BINARY_DIR}/windows)
ExternalProject_Add(windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${WINDOWS_BUILD_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=Release
             -DGOOGLETEST_SOURCE_DIR=${GOOGLETEST_SOURCE_DIR}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

set(PLUGIN_FILE ${WINDOWS_BUILD_DIR}/plugin/vovadododidarov2000.fxt)
set(WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(WINE_ENV "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")

add_test(NAME linkage
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-linkage.sh ${PLUGIN_FILE})
add_test(NAME wine_prefix COMMAND ${WINE_RUN} --prepare)
# The long test (tens of thousands of matches shown) runs once, in the
# strict run.
add_test(NAME e2e COMMAND ${WINE_RUN} ${WINDOWS_BUILD_DIR}/e2e/FINALE.EXE
         --gtest_filter=-TextCommandTest.SummaryCountsPast16Bits)
add_test(NAME e2e_strict
  COMMAND ${WINE_RUN} ${WINDOWS_BUILD_DIR}/e2e/FINALE.EXE --strict)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine
                     ENVIRONMENT "${WINE_ENV}")
set_tests_properties(e2e e2e_strict PROPERTIES FIXTURES_REQUIRED wine
                     ENVIRONMENT "${WINE_ENV}" TIMEOUT 600)
# The dialogs at 120 dots per inch, in a copy of the prefix set so: sizes
# in points come to other numbers of pixels.
set(DPI_WINE_ENV "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-dpi")
add_test(NAME wine_prefix_dpi COMMAND ${WINE_RUN} --prepare)
set_tests_properties(wine_prefix_dpi PROPERTIES FIXTURES_SETUP wine_dpi
  FIXTURES_REQUIRED wine ENVIRONMENT
  "${DPI_WINE_ENV};WINE_PREFIX_FROM=${CMAKE_BINARY_DIR}/wineprefix;WINE_DPI=120")
add_test(NAME e2e_dpi120
  COMMAND ${WINE_RUN} ${WINDOWS_BUILD_DIR}/e2e/FINALE.EXE --strict
          --gtest_filter=-TextCommandTest.SummaryCountsPast16Bits)
set_tests_properties(e2e_dpi120 PROPERTIES FIXTURES_REQUIRED "wine;wine_dpi"
                     ENVIRONMENT "${DPI_WINE_ENV}" TIMEOUT 600)
# The criteria dialog in a host with visual styles, in a copy of the prefix
# whose style gives check boxes a text colour of their own, as Windows'
# styles do. A run fails if its tests skip because styles are not on.
set(STYLED_WINE_ENV "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-styled")
add_test(NAME wine_prefix_styled
  COMMAND sh -c "${WINE_RUN} --prepare && ${CMAKE_SOURCE_DIR}/scripts/make-styled-prefix.py")
set_tests_properties(wine_prefix_styled PROPERTIES FIXTURES_SETUP wine_styled
  FIXTURES_REQUIRED wine ENVIRONMENT
  "${STYLED_WINE_ENV};WINE_PREFIX_FROM=${CMAKE_BINARY_DIR}/wineprefix")
# The style script itself, with stand-ins for Wine's tools.
add_test(NAME styled_prefix_script
  COMMAND ${CMAKE_SOURCE_DIR}/tests/styles/styled_prefix_test.sh
          ${CMAKE_BINARY_DIR}/styled-prefix-test)
add_test(NAME e2e_styled
  COMMAND ${WINE_RUN} ${WINDOWS_BUILD_DIR}/e2e/FINALE.EXE --strict
          --visual-styles --gtest_filter=VisualStylesTest.*)
set_tests_properties(e2e_styled PROPERTIES FIXTURES_REQUIRED "wine;wine_styled"
  ENVIRONMENT "${STYLED_WINE_ENV}" TIMEOUT 600 FAIL_REGULAR_EXPRESSION "SKIPPED")
# The dialogs on desktops of several monitors: Wine without a virtual
# desktop, on one X screen split into a left monitor, the primary (shorter)
# and a right one; then again without the right one, as after undocking.
set(MONITORS_WINE_ENV "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-monitors")
add_test(NAME wine_prefix_monitors COMMAND ${WINE_RUN} --prepare)
set_tests_properties(wine_prefix_monitors PROPERTIES FIXTURES_SETUP wine_monitors
  FIXTURES_REQUIRED wine ENVIRONMENT
  "${MONITORS_WINE_ENV};WINE_PREFIX_FROM=${CMAKE_BINARY_DIR}/wineprefix;WINE_DESKTOP=none")
add_test(NAME e2e_monitors
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/monitors_run.sh
          ${WINDOWS_BUILD_DIR}/e2e/FINALE.EXE)
set_tests_properties(e2e_monitors PROPERTIES FIXTURES_REQUIRED "wine;wine_monitors"
  ENVIRONMENT "${MONITORS_WINE_ENV}" TIMEOUT 600
  FAIL_REGULAR_EXPRESSION "SKIPPED;Running 0 tests")
# The text command on a Japanese system (932), on one set to UTF-8 (65001),
# and on a Cyrillic (1251) and a Greek one (1253): Wine takes the ANSI code page from the locale variables of the
# run, and gives 65001 to a locale that has no ANSI code page of its own.
# A run fails if its tests skip because the code page is not in force.
foreach(run "932;ja_JP.UTF-8;CodePageTest" "65001;hi_IN.UTF-8;Utf8CodePageTest"
            "1251;ru_RU.UTF-8;SingleByteCodePageTest"
            "1253;el_GR.UTF-8;SingleByteCodePageTest")
  list(GET run 0 codePage)
  list(GET run 1 locale)
  list(GET run 2 tests)
  add_test(NAME e2e_cp${codePage}
    COMMAND ${WINE_RUN} ${WINDOWS_BUILD_DIR}/e2e/FINALE.EXE --strict
            --gtest_filter=${tests}.*)
  set_tests_properties(e2e_cp${codePage} PROPERTIES FIXTURES_REQUIRED wine
    ENVIRONMENT "${WINE_ENV};LANG=${locale};LC_ALL=${locale}" TIMEOUT 600
    FAIL_REGULAR_EXPRESSION "SKIPPED")
endforeach()

# The benchmarks (run with `make bench`; timings are not tests, counts are).
find_library(BENCHMARK_LIBRARY benchmark PATHS /usr/lib/i386-linux-gnu
             NO_DEFAULT_PATH)
if(BENCHMARK_LIBRARY)
  foreach(name entry_search_benchmark text_search_benchmark)
    add_executable(${name} ${CORE_SOURCES} ${PLUGIN_ALLOCATOR_SOURCES}
                           ${SIMHOST_CORE_SOURCES} benchmarks/${name}.cpp)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${name} PRIVATE -O2)
    target_link_libraries(${name} PRIVATE ${BENCHMARK_LIBRARY} pthread)
  endforeach()
  # The text benchmark also runs the results dialog's own code, its Windows
  # side stubbed (a <windows.h> of the few names it uses).
  target_sources(text_search_benchmark PRIVATE
    textsearch/results_dialog.cpp benchmarks/results_dialog_stubs.cpp)
  target_include_directories(text_search_benchmark BEFORE PRIVATE
    ${CMAKE_SOURCE_DIR}/benchmarks/windows_stub)
  # Their instruction counts, which are a test: the text command within its
  # goals beside its floor, and no cost per match that grows with the text.
  add_test(NAME bench_counts COMMAND ${CMAKE_SOURCE_DIR}/scripts/bench-counts.sh
                                     ${CMAKE_BINARY_DIR})
  set_tests_properties(bench_counts PROPERTIES ENVIRONMENT CHECK=1)
endif()

# The user's zip is the same bytes every time it is made.
add_test(NAME dist_reproducible
  COMMAND sh -c "${CMAKE_SOURCE_DIR}/scripts/make-dist.py ${PLUGIN_FILE} \
${CMAKE_SOURCE_DIR}/dist/INSTALL.txt ${CMAKE_SOURCE_DIR}/LICENSE dist-a && \
${CMAKE_SOURCE_DIR}/scripts/make-dist.py ${PLUGIN_FILE} \
${CMAKE_SOURCE_DIR}/dist/INSTALL.txt ${CMAKE_SOURCE_DIR}/LICENSE dist-b && \
cmp dist-a/*.zip dist-b/*.zip && echo identical: dist-a/*.zip"
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR})

# The setup program, installed, reinstalled and removed silently under Wine
# in a prefix of its own, so the settings tests' registry key is never
# touched.
# Most users run 64-bit Windows: a 64-bit prefix of its own as well, made
# by a fixture of its own.
set(SETUP_WINE_ENV "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-setup")
set(SETUP_WINE_PREFIX_64 ${CMAKE_BINARY_DIR}/wineprefix-setup-64)
add_test(NAME setup_wine_prefix COMMAND ${WINE_RUN} --prepare)
add_test(NAME setup_wine_prefix_64 COMMAND ${WINE_RUN} --prepare)
add_test(NAME setup
  COMMAND ${CMAKE_SOURCE_DIR}/tests/setup/setup_test.py
          ${CMAKE_SOURCE_DIR}/installer/setup.nsi ${PLUGIN_FILE}
          ${CMAKE_SOURCE_DIR}/dist/INSTALL.txt ${CMAKE_SOURCE_DIR}/LICENSE
          ${WINDOWS_BUILD_DIR}/setup-tests/hold_file.exe)
set_tests_properties(setup_wine_prefix PROPERTIES FIXTURES_SETUP setup_wine
                     ENVIRONMENT "${SETUP_WINE_ENV}")
set_tests_properties(setup_wine_prefix_64 PROPERTIES
  FIXTURES_SETUP setup_wine_64
  ENVIRONMENT "WINEPREFIX=${SETUP_WINE_PREFIX_64};WINE_PREFIX_ARCH=win64")
set_tests_properties(setup PROPERTIES
  FIXTURES_REQUIRED "setup_wine;setup_wine_64"
  ENVIRONMENT "${SETUP_WINE_ENV};SETUP_WINEPREFIX_64=${SETUP_WINE_PREFIX_64}"
  TIMEOUT 300)

# make test runs two tests at once; programs under Wine run one at a time:
# a prefix is copied only while nothing runs in it, and two runs of
# xvfb-run -a may take the same display.
set_tests_properties(wine_prefix e2e e2e_strict wine_prefix_dpi e2e_dpi120
  wine_prefix_styled e2e_styled wine_prefix_monitors e2e_monitors e2e_cp932
  e2e_cp65001 e2e_cp1251 e2e_cp1253 setup_wine_prefix setup_wine_prefix_64 setup
  PROPERTIES RESOURCE_LOCK wine)

# The fuzz targets (clang, libFuzzer, the sanitizers), each run for a short
# bounded time by CTest and longer by `make fuzz`.
find_program(CLANGXX clang++)
if(CLANGXX)
  set(FUZZ_BUILD_DIR ${CMAKE_BINARY_DIR}/fuzz)
  ExternalProject_Add(fuzz
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz
    BINARY_DIR ${FUZZ_BUILD_DIR}
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${CLANGXX} -DCMAKE_BUILD_TYPE=
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  set(FUZZ_SECONDS 20 CACHE STRING "How long CTest runs each fuzz target")
  foreach(target matcher walker engine settings)
    add_test(NAME fuzz_${target}
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-fuzz.sh
              ${FUZZ_BUILD_DIR}/fuzz_${target}
              ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${target} ${FUZZ_SECONDS})
    set_tests_properties(fuzz_${target} PROPERTIES TIMEOUT 600)
  endforeach()
endif()
