# kiv_add_bench(<name> SOURCES <files...> [LIBS <libs...>]): a Google Benchmark program.
# Benchmarks are built with the project but never run by CI.
find_package(benchmark REQUIRED)

function(kiv_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kivctrl benchmark::benchmark benchmark::benchmark_main
                        Threads::Threads ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  kiv_target_warnings(${name})
endfunction()
