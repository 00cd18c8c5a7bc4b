# Tests of the edit box: its editing model alone, and the "Edit" class in the
# real library under SDL's offscreen video driver.
add_executable(directui_edit_buffer_test
  ${CMAKE_CURRENT_LIST_DIR}/edit_buffer_test.cpp
  ${PROJECT_SOURCE_DIR}/directui/edit_buffer.cpp
  ${PROJECT_SOURCE_DIR}/directui/edit_utf.cpp)
target_link_libraries(directui_edit_buffer_test PRIVATE GTest::gtest_main)
gtest_discover_tests(directui_edit_buffer_test DISCOVERY_MODE PRE_TEST)

pkg_check_modules(EDIT_PANGO REQUIRED IMPORTED_TARGET pangocairo)
add_executable(directui_edit_view_test
  ${CMAKE_CURRENT_LIST_DIR}/edit_view_test.cpp
  ${PROJECT_SOURCE_DIR}/directui/edit_view.cpp
  ${PROJECT_SOURCE_DIR}/directui/edit_buffer.cpp
  ${PROJECT_SOURCE_DIR}/directui/edit_utf.cpp)
target_link_libraries(directui_edit_view_test PRIVATE GTest::gtest_main PkgConfig::EDIT_PANGO)
gtest_discover_tests(directui_edit_view_test DISCOVERY_MODE PRE_TEST)

add_executable(directui_edit_class_test ${CMAKE_CURRENT_LIST_DIR}/edit_class_test.cpp)
target_link_libraries(directui_edit_class_test PRIVATE directui_core GTest::gtest_main)
gtest_discover_tests(directui_edit_class_test DISCOVERY_MODE PRE_TEST
                     PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=offscreen")
