#pragma once
#include <QLabel>

namespace brumaria {

// A status-bar panel whose text may be longer than its room (a session's
// name has up to 255 characters): it shows both ends with "…" between, and
// the whole text as its tip; screen readers read the whole text anyway.
class PanelBarra : public QLabel {
public:
    using QLabel::QLabel;
    // What the panel shows of its text.
    QString strVisible() const;

protected:
    void paintEvent(QPaintEvent*) override;
    bool event(QEvent* e) override;

private:
    QRect Hueco() const;
};

} // namespace brumaria
