# The history and chat writers (no widgets: the window supplies the panes).
add_library(brumaria_logs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/cuadros_de_texto.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cuadros_de_texto.h)
target_include_directories(brumaria_logs PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(brumaria_logs PUBLIC brumaria_options brumaria_platform_base Qt6::Core)
