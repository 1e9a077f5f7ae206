# kiv_add_gtest(<name> [THREADS] SOURCES <files...> [LIBS <libs...>])
# One GoogleTest executable, registered test by test with CTest. THREADS marks an executable
# whose tests run code on more than one thread: its tests carry the CTest label `threads`, and
# the target `threaded_tests` builds all such executables, which is what the ThreadSanitizer
# build needs.
include(GoogleTest)
find_package(GTest REQUIRED)

if(NOT TARGET threaded_tests)
  add_custom_target(threaded_tests)
endif()

function(kiv_add_gtest name)
  cmake_parse_arguments(ARG "THREADS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE kivctrl GTest::gtest GTest::gmock GTest::gtest_main
                        Threads::Threads ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    KIV_TESTDATA_DIR="${KIV_TESTDATA_DIR}"
    KIV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KIV_BINARY_DIR="${PROJECT_BINARY_DIR}")
  kiv_target_warnings(${name})
  set(env)
  if(KIV_SANITIZE STREQUAL "thread")
    list(APPEND env "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp")
  elseif(KIV_SANITIZE)
    list(APPEND env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
  endif()
  set(labels)
  if(ARG_THREADS)
    set(labels LABELS threads)
    add_dependencies(threaded_tests ${name})
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300 ENVIRONMENT "${env}" ${labels})
endfunction()

# kiv_add_test_plugin(<name> SOURCES <files...>): a shared library a test loads at run time.
function(kiv_add_test_plugin name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_libraries(${name} PRIVATE kivctrl ${ARG_LIBS})
  kiv_target_warnings(${name})
endfunction()
