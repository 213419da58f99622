#pragma once
// The about box: title, version, credits and the mail and web links.
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QFrame;

namespace brumaria {

// The program's version record, "major.minor.build.revision".
QString strVersionPrograma();

// "Versión major.minor.revision" from a version record: the third field
// is not shown, and the numbers lose their leading zeros.
QString strVersion(const QString& registroVersion);

inline const QString kCorreoContacto = QStringLiteral("brumaria@example.org");
inline const QString kWebPrograma = QStringLiteral("https://example.org/brumaria");

class FrmAcercaDe : public QDialog {
    Q_OBJECT
public:
    explicit FrmAcercaDe(QWidget* parent = nullptr);

    QLabel* lblEmail() const { return lblEmail_; }
    QLabel* lblWeb() const { return lblWeb_; }

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QLabel* picIcon_;
    QLabel* lblTitle_;
    QLabel* lblVersion_;
    QLabel* lblDescription_;
    QLabel* lblFreeware_;
    QLabel* lblDisclaimer_;
    QLabel* lblEmail_;
    QLabel* lblWeb_;
    QPushButton* cmdOK_;
};

// The about box when one is open, else nullptr.
FrmAcercaDe* AcercaDeAbierto();

} // namespace brumaria
