# Run as `cmake -DPROGRAMA=<game> -DSALIDA=<brumaria.6> -DVERSION=<x.y.z>
# -DFECHA=<yyyy-mm-dd> -P pagina_manual.cmake`: writes the game's manual
# page from what `brumaria --help` prints, so the two never drift apart.
# The help reads
#   Uso: <program> [opciones]
#   <name>: <what it is>.
#   <more description lines, blank lines between paragraphs>
#   (blank line)
#   Opciones:
#     -h, --help    <text>
#                   <text continued>
cmake_policy(SET CMP0007 NEW)
# A sanitizer build's leak report at exit would spoil the text.
set(ENV{ASAN_OPTIONS} "detect_leaks=0")
execute_process(COMMAND ${PROGRAMA} --help
  OUTPUT_VARIABLE _ayuda RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "${PROGRAMA} --help falló (${_rc})")
endif()

# roff reads a backslash as an escape, a leading dot or quote as a request,
# and "-" as a hyphen it may break at: options need the minus sign.
string(ASCII 1 _punto_y_coma)
function(roff texto salida)
  string(REPLACE "${_punto_y_coma}" ";" texto "${texto}")
  string(REPLACE "\\" "\\e" texto "${texto}")
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" texto "${texto}")
  set(${salida} "${texto}" PARENT_SCOPE)
endfunction()
function(roff_opcion texto salida)
  roff("${texto}" texto)
  string(REPLACE "-" "\\-" texto "${texto}")
  set(${salida} "${texto}" PARENT_SCOPE)
endfunction()

# One list item a line; a ";" of the text is kept aside meanwhile.
string(REPLACE ";" "${_punto_y_coma}" _ayuda "${_ayuda}")
string(REPLACE "\n" ";" _lineas "${_ayuda}")
list(POP_FRONT _lineas _uso)
if(NOT _uso MATCHES "^[^ :]+: ([^ ]+)(.*)$")
  message(FATAL_ERROR "la ayuda no empieza por su línea de uso: '${_uso}'")
endif()
get_filename_component(_nombre "${CMAKE_MATCH_1}" NAME)
string(STRIP "${CMAKE_MATCH_2}" _argumentos)
string(TOUPPER "${_nombre}" _titulo)

set(_descripcion "")
set(_opciones "")
set(_parte descripcion)
set(_parrafo OFF)
foreach(l IN LISTS _lineas)
  if(l STREQUAL "")
    # A blank line between description lines starts a paragraph.
    if(NOT _descripcion STREQUAL "")
      set(_parrafo ON)
    endif()
  elseif(l MATCHES "^[^ ].*:$")
    set(_parte opciones)
  elseif(_parte STREQUAL descripcion)
    roff("${l}" l)
    if(_parrafo)
      string(APPEND _descripcion ".PP\n")
      set(_parrafo OFF)
    endif()
    string(APPEND _descripcion "${l}\n")
  elseif(l MATCHES "^  (-[^ ]*( [^ ]+)*)  +(.*)$")
    # An option: its names, then its text after a run of spaces.
    roff_opcion("${CMAKE_MATCH_1}" _nombres)
    roff("${CMAKE_MATCH_3}" _texto)
    string(APPEND _opciones ".TP\n.B ${_nombres}\n${_texto}\n")
  elseif(l MATCHES "^   +(.*)$")
    roff("${CMAKE_MATCH_1}" _texto)
    string(APPEND _opciones "${_texto}\n")
  else()
    message(FATAL_ERROR "línea de la ayuda sin leer: '${l}'")
  endif()
endforeach()
if(_opciones STREQUAL "")
  message(FATAL_ERROR "la ayuda no lista ninguna opción")
endif()

# The first description line, "Brumaria: la batalla naval.", is the
# page's one-line summary for whatis and apropos.
if(NOT _descripcion MATCHES "^[^:\n]+: ([^\n]+)\n")
  message(FATAL_ERROR "la ayuda no dice qué es el programa")
endif()
string(REGEX REPLACE "\\.$" "" _resumen "${CMAKE_MATCH_1}")
roff_opcion("${_argumentos}" _argumentos)

file(WRITE ${SALIDA}
".\\\" Hecha a partir de «${_nombre} --help» al compilar; no se edita a mano.
.TH ${_titulo} 6 ${FECHA} \"Brumaria ${VERSION}\" \"Juegos\"
.SH NOMBRE
${_nombre} \\- ${_resumen}
.SH SINOPSIS
.B ${_nombre}
${_argumentos}
.SH DESCRIPCIÓN
${_descripcion}.SH OPCIONES
${_opciones}")
