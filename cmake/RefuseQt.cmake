# Fails the build when a core-library file includes a Qt header.
separate_arguments(file_list UNIX_COMMAND "${FILES}")
foreach(f ${file_list})
  file(STRINGS "${f}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt[0-9]*/|Qt[A-Z])")
  if(hits)
    message(FATAL_ERROR "${f}: the core library must not include Qt (${hits})")
  endif()
endforeach()
