// The yardstick: a bare Qt window that quits after its first paint.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace {
class Ventana : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        if (!pintada_) {
            pintada_ = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool pintada_ = false;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Ventana v;
    v.setWindowTitle(QStringLiteral("Vacía"));
    v.resize(478, 389);
    // With VENTANA_CON_TEXTO=1 it shows one line of text, so it pays the
    // font set-up that any window with text pays.
    if (qEnvironmentVariableIntValue("VENTANA_CON_TEXTO"))
        (new QLabel(QStringLiteral("Brumaria"), &v))->move(10, 10);
    v.show();
    return app.exec();
}
