add_executable(bench_editor ${CMAKE_CURRENT_LIST_DIR}/editor_load_scan.cpp)
target_link_libraries(bench_editor PRIVATE plotalon_editor_core benchmark::benchmark)
