# Tests of the library's window and object core under SDL's offscreen driver.
add_executable(directui_core_test ${CMAKE_CURRENT_LIST_DIR}/core_window_test.cpp)
target_link_libraries(directui_core_test PRIVATE directui_core GTest::gtest_main)
gtest_discover_tests(directui_core_test DISCOVERY_MODE PRE_TEST
                     PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=offscreen;SDL_FRAMEBUFFER_ACCELERATION=0")
