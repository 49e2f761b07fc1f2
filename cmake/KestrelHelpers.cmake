# Sources are picked up by folder, so that adding a file needs no edit here. Files ending in
# _main.cpp are program entry points and stay out of the libraries.
function(kestrel_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  list(FILTER files EXCLUDE REGEX "_main\\.cpp$")
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# One test executable per area: every .cpp in tests/<area>, registered with ctest.
function(kestrel_test area)
  cmake_parse_arguments(ARG "" "LABEL;SHARDS" "LIBS" ${ARGN})
  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp)
  if(NOT files)
    return()
  endif()
  set(target test_${area})
  add_executable(${target} ${files})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} kestrel_test_support GTest::gtest GTest::gmock
                        GTest::gtest_main)
  kestrel_add_gtest(${target} LABEL ${ARG_LABEL} SHARDS ${ARG_SHARDS})
endfunction()

# Registers a test executable with ctest as SHARDS processes, each running its share of the
# tests in one process: starting a process per test cost more than the tests themselves. Every
# test passes in a shared process; a test that ever needs a fresh one gets a FILTER entry of its
# own. NAME (default: the target) names the entries, ENVIRONMENT is set for each.
function(kestrel_add_gtest target)
  cmake_parse_arguments(ARG "" "LABEL;SHARDS;NAME;FILTER" "ENVIRONMENT" ${ARGN})
  if(NOT ARG_SHARDS)
    set(ARG_SHARDS 1)
  endif()
  if(NOT ARG_NAME)
    set(ARG_NAME ${target})
  endif()
  set(filter)
  if(ARG_FILTER)
    set(filter --gtest_filter=${ARG_FILTER})
  endif()
  math(EXPR last "${ARG_SHARDS} - 1")
  foreach(shard RANGE ${last})
    set(name ${ARG_NAME})
    if(ARG_SHARDS GREATER 1)
      set(name ${ARG_NAME}.${shard})
    endif()
    add_test(NAME ${name} COMMAND ${target} --gtest_brief=1 ${filter})
    set_tests_properties(${name} PROPERTIES LABELS ${ARG_LABEL} ENVIRONMENT
      "GTEST_TOTAL_SHARDS=${ARG_SHARDS};GTEST_SHARD_INDEX=${shard};${ARG_ENVIRONMENT}")
  endforeach()
endfunction()

# Makes one layer's library from its folders. Each layer publishes its folders through an include
# directory of its own below the build tree, so a file sees only the headers of the layers its
# library links: an include against the direction of the layers fails to compile.
function(kestrel_layer target)
  cmake_parse_arguments(ARG "" "" "FOLDERS;LINKS;PRIVATE_LINKS" ${ARGN})
  kestrel_sources(sources ${ARG_FOLDERS})
  add_library(${target} STATIC ${sources})
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  foreach(folder IN LISTS ARG_FOLDERS)
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${ARG_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})
endfunction()
