# The code, its keys, the sealed rendezvous records and the encrypted stream.
target_sources(brumaria_invitacion PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/codigo.cpp ${CMAKE_CURRENT_LIST_DIR}/codigo.h
  ${CMAKE_CURRENT_LIST_DIR}/palabras.cpp ${CMAKE_CURRENT_LIST_DIR}/palabras.h
  ${CMAKE_CURRENT_LIST_DIR}/claves.cpp ${CMAKE_CURRENT_LIST_DIR}/claves.h
  ${CMAKE_CURRENT_LIST_DIR}/canal_cifrado.cpp ${CMAKE_CURRENT_LIST_DIR}/canal_cifrado.h
  ${CMAKE_CURRENT_LIST_DIR}/cita.cpp ${CMAKE_CURRENT_LIST_DIR}/cita.h)
