# Run as `cmake -DRAIZ=<source dir> -P comprobar_arbol.cmake` (a CTest case):
# fails when a source file grows over 600 lines, or when a layer below the
# windows includes anything from src/ui/.
cmake_policy(SET CMP0007 NEW)
set(_fallos "")
file(GLOB_RECURSE _fuentes
  ${RAIZ}/src/*.cpp ${RAIZ}/src/*.h ${RAIZ}/tests/*.cpp ${RAIZ}/tests/*.h
  ${RAIZ}/bench/*.cpp ${RAIZ}/bench/*.h ${RAIZ}/fuzz/*.cpp ${RAIZ}/fuzz/*.h
  ${RAIZ}/tools/*.cpp ${RAIZ}/tools/*.h)
foreach(f IN LISTS _fuentes)
  file(READ ${f} _texto)
  string(REGEX MATCHALL "\n" _saltos "${_texto}")
  list(LENGTH _saltos n)
  if(n GREATER 600)
    file(RELATIVE_PATH r ${RAIZ} ${f})
    string(APPEND _fallos "más de 600 líneas: ${r} (${n})\n")
  endif()
endforeach()
foreach(capa core options logs match net platform)
  file(GLOB_RECURSE _capa ${RAIZ}/src/${capa}/*.cpp ${RAIZ}/src/${capa}/*.h)
  foreach(f IN LISTS _capa)
    file(STRINGS ${f} _sube REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]ui/")
    if(_sube)
      file(RELATIVE_PATH r ${RAIZ} ${f})
      string(APPEND _fallos "una capa de abajo incluye de src/ui: ${r}\n")
    endif()
  endforeach()
endforeach()
if(_fallos)
  message(FATAL_ERROR "${_fallos}")
endif()
message(STATUS "árbol en orden")
