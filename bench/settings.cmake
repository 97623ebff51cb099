if(PLOTALON_WITH_QT)
  add_executable(bench_settings ${CMAKE_CURRENT_LIST_DIR}/settings_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtBenchMain.cpp)
  target_link_libraries(bench_settings PRIVATE plotalon_settings_ui benchmark::benchmark)
endif()
