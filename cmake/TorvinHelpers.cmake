# Small helpers shared by the folders' CMake files.

# torvin_glob_sources(VAR DIR): the .cpp files directly in DIR.
function(torvin_glob_sources var dir)
  file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
  set(${var} ${found} PARENT_SCOPE)
endfunction()

# torvin_add_subdirectories(): every child folder of the current one that has a CMakeLists.txt.
function(torvin_add_subdirectories)
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# torvin_library(NAME DIR [DEPS...]): a static library of DIR's sources, built as the product's code
# (TORVIN_PRODUCT_OPTIONS); an interface library while DIR has none yet.
function(torvin_library name dir)
  torvin_glob_sources(sources ${dir})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_compile_options(${name} PRIVATE ${TORVIN_PRODUCT_OPTIONS})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# torvin_fuzzer(NAME SOURCES a.cpp... LIBS lib... [SECONDS n]): a libFuzzer target, and a ctest
# smoke run of it for a few seconds. Only in the fuzz build. The smoke run starts from the kept
# corpus fuzz/corpus/<folder>/ and writes what it finds into the build folder; a <folder>.dict
# beside the target is its dictionary.
function(torvin_fuzzer name)
  cmake_parse_arguments(F "" "SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_SECONDS)
    set(F_SECONDS 20)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(torvin_fuzzers ${name})
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  get_filename_component(area ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(options -max_total_time=${F_SECONDS} -rss_limit_mb=4096)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${area}.dict)
    list(APPEND options -dict=${CMAKE_CURRENT_SOURCE_DIR}/${area}.dict)
  endif()
  add_test(NAME ${name}_smoke COMMAND ${name} ${options}
    ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${area})
  set_tests_properties(${name}_smoke PROPERTIES TIMEOUT 600)
endfunction()
