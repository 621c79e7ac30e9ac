# quenbrook_layer(NAME DIR): a static library of DIR's *.cc (tests and the
# files listed in EXCLUDE left out) and, with tests on, one GoogleTest
# program of DIR's *_test.cc. A test_main.cc in DIR replaces gtest_main.
function(quenbrook_layer name)
  cmake_parse_arguments(L "" "" "EXCLUDE;TEST_LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cc)
  set(test_main ${CMAKE_CURRENT_SOURCE_DIR}/test_main.cc)
  list(REMOVE_ITEM srcs ${test_main})
  foreach(t ${tests})
    list(REMOVE_ITEM srcs ${t})
  endforeach()
  foreach(e ${L_EXCLUDE})
    list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${e})
  endforeach()
  if(NOT srcs)
    # Nothing written yet: an empty library keeps the build whole.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cc "")
    set(srcs ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cc)
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(QUENBROOK_BUILD_TESTS AND tests)
    if(EXISTS ${test_main})
      add_executable(${name}_tests ${tests} ${test_main})
      target_link_libraries(${name}_tests PRIVATE ${name} ${L_TEST_LIBS} GTest::gtest GTest::gmock)
    else()
      add_executable(${name}_tests ${tests})
      target_link_libraries(${name}_tests PRIVATE ${name} ${L_TEST_LIBS} GTest::gtest_main GTest::gmock)
    endif()
    gtest_discover_tests(${name}_tests
      DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QUENBROOK_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endif()
endfunction()
