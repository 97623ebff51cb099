add_executable(bench_preview ${CMAKE_CURRENT_LIST_DIR}/preview_plot.cpp)
target_link_libraries(bench_preview PRIVATE plotalon_convert_cli plotalon_preview benchmark::benchmark)
