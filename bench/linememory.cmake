add_executable(bench_linememory ${CMAKE_CURRENT_LIST_DIR}/line_memory.cpp)
target_link_libraries(bench_linememory PRIVATE plotalon_editor_core plotalon_engine
  benchmark::benchmark)
