add_executable(bench_engine ${CMAKE_CURRENT_LIST_DIR}/engine_conversion.cpp)
target_link_libraries(bench_engine PRIVATE plotalon_convert_cli benchmark::benchmark)
