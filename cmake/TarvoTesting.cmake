# Test helpers shared by every folder: tests live beside what they test.
option(TARVO_LENIENT_TESTS "Skip tests whose sources are missing" OFF)
find_package(GTest REQUIRED)
include(GoogleTest)

# tarvo_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# One GoogleTest executable; each of its tests becomes a CTest test. The
# label `accuracy` marks the slow comparisons with long-span references,
# which the sanitizer run leaves out (ctest -LE accuracy).
function(tarvo_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  # A developer's build of a tree where others are still writing files may
  # skip tests whose sources are not there yet; CI never does.
  if(TARVO_LENIENT_TESTS)
    foreach(src ${T_SOURCES})
      if(NOT IS_ABSOLUTE ${src})
        set(src ${CMAKE_CURRENT_SOURCE_DIR}/${src})
      endif()
      if(NOT EXISTS ${src})
        message(WARNING "skipping ${name}: ${src} is missing")
        return()
      endif()
    endforeach()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gtest)
  # Fixtures every folder's tests share: scratch directories, programs run
  # by key script in a data tree of their own.
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/base/testing)
  target_compile_definitions(${name} PRIVATE
    TARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TARVO_SHARED_DATA_DIR="${PROJECT_SOURCE_DIR}/../shared/data"
    TARVO_TEST_TREE="${TARVO_TEST_TREE}"
    TARVO_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(T_LABELS)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests PROPERTIES LABELS "${T_LABELS}" TIMEOUT 1800)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  endif()
endfunction()
