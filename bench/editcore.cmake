add_executable(bench_editcore ${CMAKE_CURRENT_LIST_DIR}/editcore_commands.cpp)
target_link_libraries(bench_editcore PRIVATE plotalon_editor_commands benchmark::benchmark
                      benchmark::benchmark_main)
