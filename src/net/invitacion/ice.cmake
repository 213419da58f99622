# The ICE link: libnice's reliable agent on Qt's (GLib) event loop.
target_sources(brumaria_invitacion PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/enlace_ice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/enlace_ice.h)
