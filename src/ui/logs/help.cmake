# Help window contents, What's This popups and the about box.
add_library(brumaria_help STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ayuda.cpp ${CMAKE_CURRENT_LIST_DIR}/ayuda.h
  ${CMAKE_CURRENT_LIST_DIR}/acerca_de.cpp ${CMAKE_CURRENT_LIST_DIR}/acerca_de.h)
target_include_directories(brumaria_help PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(brumaria_help PUBLIC brumaria_platform_ayuda brumaria_platform_base Qt6::Widgets)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/acerca_de.cpp PROPERTIES
  COMPILE_DEFINITIONS "BRUMARIA_VERSION=\"${BRUMARIA_VERSION_STRING}\"")

# The help pages go beside the program, in bin/ayuda; copied again whenever
# one of them changes.
file(GLOB_RECURSE _paginas_ayuda CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/ayuda/*)
set(_copias_ayuda)
foreach(_f IN LISTS _paginas_ayuda)
  file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR}/assets/ayuda ${_f})
  set(_destino ${CMAKE_BINARY_DIR}/bin/ayuda/${_rel})
  add_custom_command(OUTPUT ${_destino}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_f} ${_destino}
    DEPENDS ${_f}
    COMMENT "Ayuda: ${_rel}"
    VERBATIM)
  list(APPEND _copias_ayuda ${_destino})
endforeach()
add_custom_target(brumaria_ayuda_archivos ALL DEPENDS ${_copias_ayuda})
add_dependencies(brumaria_help brumaria_ayuda_archivos)
