if(PLOTALON_WITH_QT)
  add_executable(bench_editjobs ${CMAKE_CURRENT_LIST_DIR}/editor_jobs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtBenchMain.cpp)
  target_link_libraries(bench_editjobs PRIVATE plotalon_editor_view benchmark::benchmark)
endif()
