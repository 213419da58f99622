# A node of a private DHT, for these tests and the network lab.
add_executable(brumaria_nodo_dht ${CMAKE_CURRENT_LIST_DIR}/nodo_dht.cpp)
set_target_properties(brumaria_nodo_dht PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(brumaria_nodo_dht PRIVATE brumaria_invitacion)

# The rendezvous, against a private DHT of such nodes on 127.0.0.1.
brumaria_add_test(test_cita_dht SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_cita_dht.cpp
  LIBS brumaria_invitacion Qt6::Network Qt6::Test)
add_dependencies(test_cita_dht brumaria_nodo_dht)
target_compile_definitions(test_cita_dht PRIVATE
  BRUMARIA_NODO_DHT="$<TARGET_FILE:brumaria_nodo_dht>")

# The messages of a direct put, against BEP 44's test vectors.
brumaria_add_test(test_puesta_directa SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_puesta_directa.cpp
  LIBS brumaria_invitacion)
