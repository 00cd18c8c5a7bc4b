# Tests of the library's drawing: canvas, brushes, matrices, pictures, fonts
# and text, on Cairo image surfaces through the same canvas the library's
# paint pipeline uses.
pkg_check_modules(DRAWING_SDL2_IMAGE REQUIRED IMPORTED_TARGET SDL2_image)
pkg_check_modules(DRAWING_CAIRO REQUIRED IMPORTED_TARGET cairo)

add_executable(directui_drawing_test
  ${CMAKE_CURRENT_LIST_DIR}/drawing_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drawing_shapes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drawing_text_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drawing_image_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drawing_robustness_test.cpp)
target_link_libraries(directui_drawing_test PRIVATE directui_core PkgConfig::DRAWING_SDL2_IMAGE
                      GTest::gtest_main)
gtest_discover_tests(directui_drawing_test DISCOVERY_MODE PRE_TEST)

# The picture decoder's fuzz target: its corpus replayed by a plain runner in
# every build, and run under libFuzzer in clang builds with TOVI_FUZZ.
set(DRAWING_IMG_CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/img)
add_executable(directui_fuzz_img_replay
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_img.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_replay.cpp)
target_link_libraries(directui_fuzz_img_replay PRIVATE directui_core)
add_test(NAME directui_fuzz_img_replay COMMAND directui_fuzz_img_replay ${DRAWING_IMG_CORPUS})

if(TOVI_FUZZ)
  # The picture code is compiled into the target itself, so that libFuzzer
  # sees its coverage.
  add_executable(directui_fuzz_img
    ${CMAKE_CURRENT_LIST_DIR}/fuzz_img.cpp
    ${PROJECT_SOURCE_DIR}/directui/image.cpp
    ${PROJECT_SOURCE_DIR}/directui/image_header.cpp
    ${PROJECT_SOURCE_DIR}/directui/handles.cpp)
  target_compile_options(directui_fuzz_img PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(directui_fuzz_img PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(directui_fuzz_img PRIVATE PkgConfig::DRAWING_SDL2_IMAGE PkgConfig::DRAWING_CAIRO)
  add_dependencies(fuzz_targets directui_fuzz_img)
  add_test(NAME directui_fuzz_img
           COMMAND directui_fuzz_img -max_total_time=20 -rss_limit_mb=1024 -timeout=5
                   ${CMAKE_CURRENT_BINARY_DIR}/fuzz_img_corpus ${DRAWING_IMG_CORPUS})
  set_tests_properties(directui_fuzz_img PROPERTIES LABELS fuzz)
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz_img_corpus)
endif()
