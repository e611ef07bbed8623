# Helpers shared by the layer CMake files.

# Core libraries (frame, database, photometry, evaluation computations) are
# static libraries over the standard library and the platform layer only.
set_property(GLOBAL PROPERTY KANDELO_CORE_TARGETS "")

function(kandelo_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  set_property(GLOBAL APPEND PROPERTY KANDELO_CORE_TARGETS ${name})
endfunction()

# Walks the link closure of every core library and refuses the configuration
# when any of them reaches Qt.
function(_kandelo_collect_links target out)
  set(seen ${${out}})
  if(NOT TARGET ${target})
    return()
  endif()
  get_target_property(libs ${target} LINK_LIBRARIES)
  get_target_property(ilibs ${target} INTERFACE_LINK_LIBRARIES)
  foreach(lib IN LISTS libs ilibs)
    if(lib AND NOT lib IN_LIST seen)
      list(APPEND seen ${lib})
      _kandelo_collect_links(${lib} seen)
    endif()
  endforeach()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(kandelo_check_core_links)
  get_property(cores GLOBAL PROPERTY KANDELO_CORE_TARGETS)
  foreach(core IN LISTS cores)
    set(closure "")
    _kandelo_collect_links(${core} closure)
    foreach(lib IN LISTS closure)
      if(lib MATCHES "^Qt[0-9]*::" OR lib MATCHES "[Qq]t[56]")
        message(FATAL_ERROR "Core library ${core} must not link Qt (found ${lib})")
      endif()
    endforeach()
  endforeach()
endfunction()

# One test executable per layer folder: every *_test.cpp under tests/<layer>.
function(kandelo_layer_tests layer)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${layer}/*_test.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${layer}_tests ${srcs})
  target_link_libraries(${layer}_tests PRIVATE kandelo_test_support ${ARGN} GTest::gtest_main GTest::gmock)
  include(GoogleTest)
  gtest_discover_tests(${layer}_tests
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
