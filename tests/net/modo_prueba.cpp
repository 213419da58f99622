// These tests talk over the network: put the transport in its loopback-only
// test mode before anything runs, whatever started the binary.
#include <QByteArray>
#include <QtGlobal>

namespace {
const bool kModoPrueba = qputenv("BRUMARIA_TEST", QByteArray("1"));
} // namespace
