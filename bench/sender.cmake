add_executable(bench_sender ${CMAKE_CURRENT_LIST_DIR}/sender_send.cpp)
target_link_libraries(bench_sender PRIVATE plotalon_convert_cli plotalon_sender benchmark::benchmark)
