# The rendezvous on the Mainline DHT (BEP 44 mutable items).
target_sources(brumaria_invitacion PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cita_dht.cpp ${CMAKE_CURRENT_LIST_DIR}/cita_dht.h
  ${CMAKE_CURRENT_LIST_DIR}/puesta_directa.cpp ${CMAKE_CURRENT_LIST_DIR}/puesta_directa.h)
