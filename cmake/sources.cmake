# Source lists shared by the builds; PROJECT_ROOT is the repository root.
if(NOT PROJECT_ROOT)
  set(PROJECT_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
endif()

# The platform-neutral core of the plug-in: records, tables, engine, walker,
# matcher. It includes nothing of Windows.
set(CORE_SOURCES
  ${PROJECT_ROOT}/entrysearch/entry_options.cpp
  ${PROJECT_ROOT}/entrysearch/entry_criteria.cpp
  ${PROJECT_ROOT}/entrysearch/entry_engine.cpp
  ${PROJECT_ROOT}/entrysearch/entry_matching.cpp
  ${PROJECT_ROOT}/plugin/menu_table.cpp
  ${PROJECT_ROOT}/plugin/settings_defaults.cpp
  ${PROJECT_ROOT}/textsearch/text_characters.cpp
  ${PROJECT_ROOT}/textsearch/text_kinds.cpp
  ${PROJECT_ROOT}/textsearch/text_location.cpp
  ${PROJECT_ROOT}/textsearch/text_matcher.cpp
  ${PROJECT_ROOT}/textsearch/text_prefs.cpp
  ${PROJECT_ROOT}/textsearch/text_search.cpp
  ${PROJECT_ROOT}/textsearch/text_session.cpp
  ${PROJECT_ROOT}/textsearch/text_walker.cpp
  ${PROJECT_ROOT}/ui/readable_colour.cpp
)

# The text command's allocator: the plug-in's own, and the one the tests
# link in its place, which counts buffers and can fail an allocation. Only
# the test builds hold that hook's state.
set(PLUGIN_ALLOCATOR_SOURCES ${PROJECT_ROOT}/textsearch/text_memory.cpp)
set(TEST_ALLOCATOR_SOURCES ${PROJECT_ROOT}/tests/support/counted_text_memory.cpp)

# The simulated host's document model and data services, on both platforms.
set(SIMHOST_CORE_SOURCES
  ${PROJECT_ROOT}/simhost/sim_document.cpp
  ${PROJECT_ROOT}/simhost/sim_host.cpp
  ${PROJECT_ROOT}/simhost/data_services.cpp
  ${PROJECT_ROOT}/simhost/frame_lender.cpp
)

