# The session dialog.
add_library(brumaria_net_ui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/frm_conexion_dplay.cpp ${CMAKE_CURRENT_LIST_DIR}/frm_conexion_dplay.h)
target_include_directories(brumaria_net_ui PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(brumaria_net_ui PUBLIC
  brumaria_net brumaria_net_transporte brumaria_match brumaria_core brumaria_logs
  brumaria_options brumaria_platform_base Qt6::Widgets)
