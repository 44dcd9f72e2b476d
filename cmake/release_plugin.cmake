# What a plug-in folder gives the release: the DLLs it builds by default, into plugin/, and the
# licences of the libraries built into them. A folder holding a TEST_ONLY file serves the tests
# and does not ship. `cmake --install` of a Windows build tree lays out the release folder;
# native builds have no release.
function(vesk_install_plugin dir)
  if(NOT TARGET vesk_release OR EXISTS ${dir}/TEST_ONLY)
    return()
  endif()
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(excluded ${target} EXCLUDE_FROM_ALL)
    if(type MATCHES "^(SHARED|MODULE)_LIBRARY$" AND NOT excluded)
      install(FILES $<TARGET_FILE:${target}> DESTINATION plugin)
      add_dependencies(vesk_release ${target})
    endif()
  endforeach()
  get_filename_component(name ${dir} NAME)
  file(GLOB licences ${dir}/LICENSE*)
  foreach(licence IN LISTS licences)
    get_filename_component(file ${licence} NAME)
    install(FILES ${licence} DESTINATION licenses RENAME ${name}-${file})
  endforeach()
endfunction()
