if(PLOTALON_WITH_QT)
  add_executable(bench_editview ${CMAKE_CURRENT_LIST_DIR}/editor_view.cpp)
  target_link_libraries(bench_editview PRIVATE plotalon_editor_view benchmark::benchmark)
endif()
