# The invitation code, its keys, the sealed offer and answer, the encrypted stream.
brumaria_add_test(test_invitacion_cripto
  SOURCES test_codigo.cpp test_claves.cpp test_canal.cpp test_cita.cpp
  LIBS brumaria_invitacion)
