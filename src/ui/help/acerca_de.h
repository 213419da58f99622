#pragma once
// The about box: title, version and credits. It offers no mail or web
// link: the game has no address of its own to give.
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

class FrmAcercaDe : public QDialog {
    Q_OBJECT
public:
    explicit FrmAcercaDe(QWidget* parent = nullptr);

private:
    QLabel* picIcon_;
    QLabel* lblTitle_;
    QLabel* lblVersion_;
    QLabel* lblDescription_;
    QLabel* lblFreeware_;
    QLabel* lblDisclaimer_;
    QPushButton* cmdOK_;
};

// The about box when one is open, else nullptr.
FrmAcercaDe* AcercaDeAbierto();

} // namespace brumaria
