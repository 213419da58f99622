// The yardstick: a bare Qt window that quits after its first paint.
#include <QApplication>
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
    v.show();
    return app.exec();
}
