# Widget-side services: the real message box and sound. The sound engine
# (Qt Multimedia and its audio libraries) lives in a module loaded on the
# first play, so starting the game never pays for it.
add_library(brumaria_sonido_qt MODULE ${CMAKE_CURRENT_LIST_DIR}/sonido_qt.cpp)
target_link_libraries(brumaria_sonido_qt PRIVATE Qt6::Multimedia Qt6::Core)
set_target_properties(brumaria_sonido_qt PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_library(brumaria_platform_widgets STATIC
  ${CMAKE_CURRENT_LIST_DIR}/mensajes_qt.cpp ${CMAKE_CURRENT_LIST_DIR}/mensajes_qt.h
  ${CMAKE_CURRENT_LIST_DIR}/sonido.cpp ${CMAKE_CURRENT_LIST_DIR}/sonido.h)
target_include_directories(brumaria_platform_widgets PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(brumaria_platform_widgets PUBLIC brumaria_platform_base Qt6::Widgets)
target_compile_definitions(brumaria_platform_widgets PRIVATE
  BRUMARIA_MODULO_SONIDO="$<TARGET_FILE:brumaria_sonido_qt>"
  BRUMARIA_NOMBRE_MODULO_SONIDO="$<TARGET_FILE_NAME:brumaria_sonido_qt>")
add_dependencies(brumaria_platform_widgets brumaria_sonido_qt)
