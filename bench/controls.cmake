if(PLOTALON_WITH_QT)
  add_executable(bench_controls ${CMAKE_CURRENT_LIST_DIR}/controls_paint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtBenchMain.cpp)
  target_link_libraries(bench_controls PRIVATE plotalon_controls benchmark::benchmark)
endif()
