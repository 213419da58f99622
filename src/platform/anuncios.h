#pragma once
// Short texts spoken by a screen reader: the turn, an answer, a shot.
// Qt 6.4 has no announcement event, so the texts go through one small,
// empty widget with the notification role: its name is the text, and it
// is shown anew for each one, which is what screen readers read out.
#include <QStringList>
#include <QWidget>

namespace brumaria {

class Anunciador : public QWidget {
    Q_OBJECT
public:
    explicit Anunciador(QWidget* parent);

    // Texts given in one turn of the event loop are spoken as one, in
    // order, so a burst of changes is not cut off by its own last line.
    void Anunciar(const QString& texto);
    // What was last spoken (empty before the first).
    QString ultimo() const { return accessibleName(); }

private:
    void Decir();
    QStringList pendientes_;
};

} // namespace brumaria
