# The theme parser's fuzz target: its corpus replayed by a plain runner in
# every build, and run under libFuzzer in clang builds with TOVI_FUZZ.
set(THEME_CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/theme)
add_executable(directui_fuzz_theme_replay
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_theme.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_replay.cpp)
target_link_libraries(directui_fuzz_theme_replay PRIVATE directui_core)
add_test(NAME directui_fuzz_theme_replay COMMAND directui_fuzz_theme_replay ${THEME_CORPUS})

if(TOVI_FUZZ)
  add_executable(directui_fuzz_theme
    ${CMAKE_CURRENT_LIST_DIR}/fuzz_theme.cpp
    ${PROJECT_SOURCE_DIR}/directui/theme.cpp)
  target_compile_options(directui_fuzz_theme PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(directui_fuzz_theme PRIVATE -fsanitize=fuzzer,address,undefined)
  add_dependencies(fuzz_targets directui_fuzz_theme)
  add_test(NAME directui_fuzz_theme
           COMMAND directui_fuzz_theme -max_total_time=15 -rss_limit_mb=1024 -timeout=5
                   ${CMAKE_CURRENT_BINARY_DIR}/fuzz_theme_corpus ${THEME_CORPUS})
  set_tests_properties(directui_fuzz_theme PROPERTIES LABELS fuzz)
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz_theme_corpus)
endif()
