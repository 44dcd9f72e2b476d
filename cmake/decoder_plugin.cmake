# Builds decoder plug-in `name` for Windows: <name>X64.dll or <name>X86.dll in the "plugin" folder
# beside the program in the build tree, from `core` and the plug-in's own sources (ARGN). The
# sound unit tests and the end-to-end tests get its path as <define>_PLUGIN.
function(vesk_add_decoder_plugin name core define)
  add_library(${name} SHARED ${ARGN} ${CMAKE_SOURCE_DIR}/plugins/common/plugin_info.cpp)
  target_link_libraries(${name} PRIVATE ${core})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}${VESK_PLUGIN_SUFFIX}
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugin)
  add_dependencies(Vesk ${name})
  foreach(test unit_sound vesk_e2e)
    if(TARGET ${test})
      add_dependencies(${test} ${name})
      target_compile_definitions(${test} PRIVATE ${define}_PLUGIN="$<TARGET_FILE:${name}>")
    endif()
  endforeach()
endfunction()

# Links a plug-in's portable core into those of `targets` this build has (its fuzzer, its
# benchmark, its unit tests).
function(vesk_link_plugin_core core)
  foreach(target IN LISTS ARGN)
    if(TARGET ${target})
      target_link_libraries(${target} PRIVATE ${core})
    endif()
  endforeach()
endfunction()
