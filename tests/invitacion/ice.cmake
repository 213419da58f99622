# The ICE link on loopback: direct, relayed through a coturn of our own,
# refused and closed.
brumaria_add_test(test_enlace_ice
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_enlace_ice.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ice_turn.cpp ${CMAKE_CURRENT_LIST_DIR}/ice_turn.h
  LIBS brumaria_invitacion
  LABELS invitacion)
