# Widget-side services: the real message box and sound. Only this library
# links Qt Multimedia; the sound engine itself starts on the first play.
add_library(brumaria_platform_widgets STATIC
  ${CMAKE_CURRENT_LIST_DIR}/mensajes_qt.cpp ${CMAKE_CURRENT_LIST_DIR}/mensajes_qt.h
  ${CMAKE_CURRENT_LIST_DIR}/sonido.cpp ${CMAKE_CURRENT_LIST_DIR}/sonido.h)
target_include_directories(brumaria_platform_widgets PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(brumaria_platform_widgets PUBLIC brumaria_platform_base Qt6::Widgets
  PRIVATE Qt6::Multimedia)
