# The edit box: keystroke cost and the pixels a caret blink repaints.
add_executable(bench_directui_edit ${CMAKE_CURRENT_LIST_DIR}/edit_bench.cpp)
target_link_libraries(bench_directui_edit PRIVATE directui_core benchmark::benchmark)
