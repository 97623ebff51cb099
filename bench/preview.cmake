add_executable(bench_preview ${CMAKE_CURRENT_LIST_DIR}/preview_plot.cpp)
target_link_libraries(bench_preview PRIVATE plotalon_convert_cli plotalon_preview benchmark::benchmark)
if(PLOTALON_WITH_QT)
  add_executable(bench_preview_view ${CMAKE_CURRENT_LIST_DIR}/preview_view.cpp)
  target_link_libraries(bench_preview_view PRIVATE plotalon_preview_qt plotalon_convert_cli
                        benchmark::benchmark)
endif()
