# vesk_subsystem(name [uses...]) makes the library vesk_<name> from the folder <name>/ and links
# the subsystems it uses. A subsystem may only use ones made before it, so the links cannot form
# a cycle. Files ending in _win32 join only on Windows, files ending in _posix only elsewhere;
# the program's entry point app/main_win32.cpp belongs to the executable.
function(vesk_subsystem name)
  set(uses ${ARGN})
  get_property(known GLOBAL PROPERTY VESK_SUBSYSTEMS)
  foreach(dep IN LISTS uses)
    if(NOT dep IN_LIST known)
      message(FATAL_ERROR "subsystem ${name} uses ${dep}, which is not below it")
    endif()
  endforeach()

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp)
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  list(FILTER sources EXCLUDE REGEX "/app/main_win32\\.cpp$")

  list(TRANSFORM uses PREPEND vesk_ OUTPUT_VARIABLE libraries)
  if(sources)
    add_library(vesk_${name} STATIC ${sources})
    target_include_directories(vesk_${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(vesk_${name} PUBLIC ${libraries})
    add_dependencies(vesk_${name} vesk_layer_check)
  else()
    add_library(vesk_${name} INTERFACE)
    target_include_directories(vesk_${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(vesk_${name} INTERFACE ${libraries})
  endif()

  set_property(GLOBAL APPEND PROPERTY VESK_SUBSYSTEMS ${name})
  list(JOIN uses "," used)
  set_property(GLOBAL APPEND PROPERTY VESK_LAYERS "${name}:${used}")
endfunction()

# Every subsystem library waits for this check, so a build of any target fails on an include
# that goes against the layer order.
function(vesk_layer_check)
  get_property(subsystems GLOBAL PROPERTY VESK_SUBSYSTEMS)
  get_property(layers GLOBAL PROPERTY VESK_LAYERS)
  list(JOIN layers "|" layers)
  set(files "")
  foreach(name IN LISTS subsystems)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${name}/*.cpp
         ${CMAKE_SOURCE_DIR}/${name}/*.h)
    list(APPEND files ${found})
  endforeach()
  set(stamp ${CMAKE_BINARY_DIR}/layer_check.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} "-DLAYERS=${layers}"
            -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    COMMENT "Checking that every include goes down the layers"
    VERBATIM)
  add_custom_target(vesk_layer_check DEPENDS ${stamp})
endfunction()
