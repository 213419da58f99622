#pragma once
// Windows-1252 text, one byte per character, as used by Config.dat and the
// history file. Qt's own converters do not offer this code page.
#include <QByteArray>
#include <QString>

namespace brumaria {

// One byte per character; a character the code page cannot hold becomes "?".
QByteArray ACp1252(const QString& texto);

// Every byte maps to one character (the five unassigned bytes map to the
// control characters of the same number, as Windows itself does).
QString DeCp1252(const QByteArray& bytes);

} // namespace brumaria
