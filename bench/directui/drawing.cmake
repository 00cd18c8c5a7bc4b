# Benchmarks of the library's drawing: transcript-like repaints and text
# measuring, through the exported operations.
add_executable(bench_directui_drawing ${CMAKE_CURRENT_LIST_DIR}/drawing_bench.cpp)
target_link_libraries(bench_directui_drawing PRIVATE directui_core benchmark::benchmark)
