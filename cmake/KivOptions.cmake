# Compiler flags shared by every target of the project.

# KIV_SANITIZE=ON: AddressSanitizer with UndefinedBehaviorSanitizer; KIV_SANITIZE=thread:
# ThreadSanitizer, which cannot be combined with them.
if(KIV_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(KIV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

function(kiv_target_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${KIV_WERROR}>:-Werror>)
endfunction()

# Links extra libraries into the engine; used by a subsystem's kivctrl.cmake.
macro(kiv_link)
  target_link_libraries(kivctrl PRIVATE ${ARGN})
endmacro()

if(KIV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KIV_FUZZ needs clang: configure with CXX=clang++ CC=clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Where the shared conformance vectors and public test suites live, when present.
set(KIV_TESTDATA_DIR "${CMAKE_SOURCE_DIR}/../shared/testdata" CACHE PATH
    "Directory of shared test data; tests that need it skip when it is missing")
