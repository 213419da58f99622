// The game on the desktop: Qt's own dialogs speak Spanish.
#include "platform/traducciones.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(Escritorio, LosDialogosDeQtHablanEspanol) {
    // The test main has loaded the catalogue already, as the game's main does.
    QFileDialog d(nullptr, QStringLiteral("Examinar"));
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    d.show();
    QStringList textos;
    for (auto* b : d.findChildren<QPushButton*>())
        textos << b->text().remove(u'&');
    for (auto* l : d.findChildren<QLabel*>())
        textos << l->text().remove(u'&');
    EXPECT_TRUE(textos.contains(QStringLiteral("Cancelar"))) << textos.join(u'|').toStdString();
    EXPECT_FALSE(textos.contains(QStringLiteral("Cancel")));
    EXPECT_FALSE(textos.contains(QStringLiteral("Look in:")));
    EXPECT_FALSE(textos.contains(QStringLiteral("File name:")));
}
