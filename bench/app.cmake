if(PLOTALON_WITH_QT)
  add_executable(bench_app ${CMAKE_CURRENT_LIST_DIR}/program_conversion.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtBenchMain.cpp)
  target_link_libraries(bench_app PRIVATE plotalon_app Qt6::Test benchmark::benchmark)
endif()
