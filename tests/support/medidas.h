#pragma once
// What the hostile-peer tests and the network benchmarks measure: a
// process's resident memory and the longest stall of the event loop.
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace brumaria::prueba {

// Resident memory of a process (this one by default), in KiB; 0 if unknown.
inline long VmRssKiB(qint64 pid = 0) {
    QFile f(pid ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:")) return l.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

// A 10 ms timer on the event loop, as the window's own timers are: hueco()
// is the longest wait between two ticks, a frozen loop shows as a long one.
class MedidorDeHuecos {
public:
    explicit MedidorDeHuecos(std::function<void()> enCadaTic = {})
        : enCadaTic_(std::move(enCadaTic)) {
        QObject::connect(&latido_, &QTimer::timeout, [this] {
            hueco_ = std::max(hueco_, reloj_.elapsed() - ultimo_);
            ultimo_ = reloj_.elapsed();
            if (enCadaTic_) enCadaTic_();
        });
        reloj_.start();
        latido_.start(10);
    }
    qint64 hueco() const { return hueco_; }
    bool blnHaLatido() const { return ultimo_ > 0; }
    qint64 ms() const { return reloj_.elapsed(); }

private:
    std::function<void()> enCadaTic_;
    QElapsedTimer reloj_;
    QTimer latido_;
    qint64 ultimo_ = 0;
    qint64 hueco_ = 0;
};

} // namespace brumaria::prueba
