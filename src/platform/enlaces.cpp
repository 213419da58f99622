#include "platform/enlaces.h"
#include "platform/solo_local.h"

#include <QDesktopServices>
#include <QString>

namespace brumaria {
namespace {
AbridorEnlaces& abridor() {
    static AbridorEnlaces a;
    return a;
}
} // namespace

AbridorEnlaces InstalarAbridorEnlaces(AbridorEnlaces nuevo) {
    AbridorEnlaces previo = std::move(abridor());
    abridor() = std::move(nuevo);
    return previo;
}

void AbrirEnlace(const QString& destino) {
    const QUrl url = QUrl::fromUserInput(destino.trimmed());
    if (!url.isValid() || url.isEmpty()) return;
    if (abridor()) {
        abridor()(url);
        return;
    }
    // A test run never starts a browser or a mail program.
    if (blnSoloLocal()) return;
    QDesktopServices::openUrl(url);
}

} // namespace brumaria
