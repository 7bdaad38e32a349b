# Checks that no library of the suite includes a header of a layer above it.
#
#   cmake -DSOURCE_DIR=<tree> -P CheckLayers.cmake
#
# The layers, from the bottom up: pictor; the base (fileio, framestate) and
# the console; the dynamics; the libraries; the reductions; the events and
# the views; tarvo's shell. fitra and umbravue stand on the engine libraries,
# the base and the console, never on tarvo's shell; the data-tree builder
# (tools) on everything but the programs. Tests may also include the readers
# of tools/ (the JPL ephemeris is their oracle). Each file's module is its
# folder; each quoted include is mapped to the module that owns it.
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "CheckLayers: SOURCE_DIR not given")
endif()

set(modules base console pictor dynamics libraries reductions events views shell fitra umbravue tools)
set(allowed_base base)
set(allowed_pictor pictor)
set(allowed_console console pictor base)
set(allowed_dynamics base dynamics)
set(allowed_libraries base dynamics libraries)
set(allowed_reductions base dynamics libraries reductions)
set(allowed_events base console pictor dynamics libraries reductions events)
set(allowed_views base console pictor dynamics libraries reductions views)
set(allowed_shell base console pictor dynamics libraries reductions events views shell)
set(allowed_fitra base console pictor dynamics libraries reductions events fitra)
set(allowed_umbravue base console pictor dynamics libraries reductions views umbravue)
set(allowed_tools base console pictor dynamics libraries reductions events views tools)

# The module of a file, from its path relative to the tree ("" when the file
# belongs to none, such as bench/ or docs/).
function(module_of_path path out)
  set(m "")
  if(path MATCHES "^base/")
    set(m base)
  elseif(path MATCHES "^console/")
    set(m console)
  elseif(path MATCHES "^pictor/")
    set(m pictor)
  elseif(path MATCHES "^tarvo/(dynamics|libraries|reductions|events|views|shell)/")
    set(m ${CMAKE_MATCH_1})
  elseif(path MATCHES "^(fitra|umbravue|tools)/")
    set(m ${CMAKE_MATCH_1})
  endif()
  set(${out} "${m}" PARENT_SCOPE)
endfunction()

# The module that owns an included header, from the include's own spelling.
function(module_of_include header out)
  set(m "")
  if(header MATCHES "^(fileio|framestate)/")
    set(m base)
  elseif(header MATCHES "^console/")
    set(m console)
  elseif(header MATCHES "^pictor(_host)?\\.h$")
    set(m pictor)
  elseif(header MATCHES "^tarvo/(dynamics|libraries|reductions|events|views|shell)/")
    set(m ${CMAKE_MATCH_1})
  elseif(header MATCHES "^(fitra|umbravue)/")
    set(m ${CMAKE_MATCH_1})
  elseif(header MATCHES "^(jpl|datasets|builder)/")
    set(m tools)
  endif()
  set(${out} "${m}" PARENT_SCOPE)
endfunction()

set(roots base console pictor tarvo fitra umbravue tools)
set(files "")
foreach(root ${roots})
  if(IS_DIRECTORY ${SOURCE_DIR}/${root})
    file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR}
      ${SOURCE_DIR}/${root}/*.h ${SOURCE_DIR}/${root}/*.hpp ${SOURCE_DIR}/${root}/*.cpp ${SOURCE_DIR}/${root}/*.c)
    list(APPEND files ${found})
  endif()
endforeach()

set(violations 0)
foreach(file ${files})
  module_of_path(${file} module)
  if(module STREQUAL "")
    continue()
  endif()
  set(allowed ${allowed_${module}})
  if(file MATCHES "/tests/")
    list(APPEND allowed tools)
  endif()
  file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
    module_of_include("${header}" owner)
    if(owner STREQUAL "" OR owner STREQUAL module)
      continue()
    endif()
    list(FIND allowed ${owner} index)
    if(index EQUAL -1)
      message(SEND_ERROR "${file}: includes \"${header}\" of ${owner}, a layer the ${module} may not use")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH files count)
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) cross the layers upward")
endif()
message(STATUS "layers kept: ${count} files checked")
