// The audio engine behind Sonido(), loaded on the first play.
#include <QCoreApplication>
#include <QHash>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

// One effect per file, kept for the rest of the run.
extern "C" Q_DECL_EXPORT void BrumariaReproducir(const QString& ruta) {
    static QHash<QString, QSoundEffect*> efectos;
    QSoundEffect*& efecto = efectos[ruta];
    if (!efecto) {
        efecto = new QSoundEffect(QCoreApplication::instance());
        efecto->setSource(QUrl::fromLocalFile(ruta));
    }
    efecto->stop();
    efecto->play();
}
