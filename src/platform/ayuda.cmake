# The help window (our stand-in for a help viewer) and the link opener.
add_library(brumaria_platform_ayuda STATIC
  ${CMAKE_CURRENT_LIST_DIR}/visor_ayuda.cpp ${CMAKE_CURRENT_LIST_DIR}/visor_ayuda.h
  ${CMAKE_CURRENT_LIST_DIR}/enlaces.cpp ${CMAKE_CURRENT_LIST_DIR}/enlaces.h)
target_include_directories(brumaria_platform_ayuda PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(brumaria_platform_ayuda PUBLIC brumaria_platform_base Qt6::Widgets)
