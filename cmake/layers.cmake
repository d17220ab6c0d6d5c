# The layers of src/ and the check that keeps their includes pointing downward.
#
# tavo_layer(<folder> [LAYERS <lower folder>...] [LIBS <library>...] [EXTRA_SOURCES <file>...])
# makes the library tavo_<folder> of every .cpp file in src/<folder>, linked to the
# libraries of the lower layers named (and, through them, to theirs) and to LIBS. A
# file of src/<folder> may include headers of its own folder and of the layers below
# it, nothing else; tavo_layer_check() adds the build step that enforces this before
# anything is compiled.

define_property(GLOBAL PROPERTY TAVO_LAYER_RULES BRIEF_DOCS "folder=allowed,folders per layer"
                FULL_DOCS "Which src folders each layer's files may include, for the layer check.")

function(tavo_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LAYERS;LIBS;EXTRA_SOURCES")
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  set(target tavo_${folder})
  add_library(${target} STATIC ${sources} ${arg_EXTRA_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  set(allowed ${folder})
  foreach(lower IN LISTS arg_LAYERS)
    if(NOT TARGET tavo_${lower})
      message(FATAL_ERROR "layer ${folder}: the layer ${lower} below it must be declared first")
    endif()
    target_link_libraries(${target} PUBLIC tavo_${lower})
    get_property(lower_allowed GLOBAL PROPERTY TAVO_LAYER_ALLOWED_${lower})
    list(APPEND allowed ${lower_allowed})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  if(arg_LIBS)
    target_link_libraries(${target} PUBLIC ${arg_LIBS})
  endif()
  set_property(GLOBAL PROPERTY TAVO_LAYER_ALLOWED_${folder} ${allowed})
  list(JOIN allowed "," allowed_text)
  set_property(GLOBAL APPEND PROPERTY TAVO_LAYER_RULES "${folder}=${allowed_text}")
  add_dependencies(${target} tavo_layer_check)
endfunction()

# The build step that checks every source file's includes (cmake/check-layers.cmake): it
# runs again whenever a source file changes, and every layer library waits for it. The
# same check is the `layer_check` test of the native build.
function(tavo_layer_check)
  get_property(rules GLOBAL PROPERTY TAVO_LAYER_RULES)
  string(REPLACE ";" " " rules "${rules}")
  file(GLOB_RECURSE checked CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h
       ${PROJECT_SOURCE_DIR}/tools/*.cpp ${PROJECT_SOURCE_DIR}/tools/*.h
       ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.h
       ${PROJECT_SOURCE_DIR}/bench/*.cpp ${PROJECT_SOURCE_DIR}/bench/*.h)
  set(command ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} "-DRULES=${rules}"
      -P ${PROJECT_SOURCE_DIR}/cmake/check-layers.cmake)
  set(stamp ${CMAKE_BINARY_DIR}/layer-check.stamp)
  add_custom_command(OUTPUT ${stamp} COMMAND ${command} COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
                     DEPENDS ${checked} ${PROJECT_SOURCE_DIR}/cmake/check-layers.cmake
                     COMMENT "Checking that includes point only downward" VERBATIM)
  add_custom_target(tavo_layer_check DEPENDS ${stamp})
  set(TAVO_LAYER_CHECK_COMMAND ${command} PARENT_SCOPE)
endfunction()
