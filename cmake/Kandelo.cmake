# Helpers shared by the layer CMake files.

# Every library of the program has a level (docs/architecture.md): it may
# link only libraries of a lower level, so the layers stay a strict order and
# nothing reaches up. Core libraries (below the shell) are static libraries
# over the standard library and lower core libraries; they never reach Qt.
set_property(GLOBAL PROPERTY KANDELO_CORE_TARGETS "")
set_property(GLOBAL PROPERTY KANDELO_LEVELLED_TARGETS "")

# kandelo_library_level(target level): declares the level of a library.
function(kandelo_library_level target level)
  if(NOT level MATCHES "^[0-9]+$")
    message(FATAL_ERROR "Library ${target}: level must be a number (got '${level}')")
  endif()
  set_property(TARGET ${target} PROPERTY KANDELO_LEVEL ${level})
  set_property(GLOBAL APPEND PROPERTY KANDELO_LEVELLED_TARGETS ${target})
endfunction()

# kandelo_core_library(name LEVEL n sources...)
function(kandelo_core_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LEVEL" "")
  if(NOT DEFINED arg_LEVEL)
    message(FATAL_ERROR "Core library ${name} declares no LEVEL")
  endif()
  add_library(${name} STATIC ${arg_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  set_property(GLOBAL APPEND PROPERTY KANDELO_CORE_TARGETS ${name})
  kandelo_library_level(${name} ${arg_LEVEL})
endfunction()

# The targets a target links directly (generator expressions that name a
# target unwrapped; libraries that are no target left out).
function(_kandelo_direct_links target out)
  set(result "")
  get_target_property(libs ${target} LINK_LIBRARIES)
  get_target_property(ilibs ${target} INTERFACE_LINK_LIBRARIES)
  foreach(lib IN LISTS libs ilibs)
    if(lib MATCHES "^\\$<(TARGET_NAME_IF_EXISTS|LINK_ONLY):(.+)>$")
      set(lib ${CMAKE_MATCH_2})
    endif()
    if(lib AND TARGET ${lib} AND NOT lib IN_LIST result)
      list(APPEND result ${lib})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Walks the link closure of a target.
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

# Refuses the configuration when a core library reaches Qt, or when any
# library links one of its own level or above.
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

  get_property(levelled GLOBAL PROPERTY KANDELO_LEVELLED_TARGETS)
  foreach(target IN LISTS levelled)
    get_target_property(level ${target} KANDELO_LEVEL)
    _kandelo_direct_links(${target} links)
    foreach(lib IN LISTS links)
      get_target_property(libLevel ${lib} KANDELO_LEVEL)
      if(libLevel MATCHES "^[0-9]+$" AND NOT libLevel LESS level)
        message(FATAL_ERROR "${target} (level ${level}) must not link ${lib} (level ${libLevel}): "
                            "a library links only lower levels (docs/architecture.md)")
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
