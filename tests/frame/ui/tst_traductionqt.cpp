#include "frame/ui/traductionqt.h"
#include "support/testmain.h"

#include <QLineEdit>
#include <QMenu>
#include <QtTest>
#include <memory>

// Qt's own texts, as the operator sees them.
class TestTraductionQt : public QObject {
    Q_OBJECT
  private slots:
    void menusDeQtEnFrancais() {
        // The context menu of an entry box speaks French.
        traduireQtEnFrancais();
        QLineEdit saisie;
        saisie.setText(QStringLiteral("abc"));
        std::unique_ptr<QMenu> menu(saisie.createStandardContextMenu());
        QStringList textes;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                textes << a->text().section(u'\t', 0, 0).remove(u'&');
        QVERIFY2(textes.contains(QStringLiteral("Annuler")), qPrintable(textes.join('|')));
        QVERIFY(textes.contains(QStringLiteral("Couper")));
        QVERIFY(textes.contains(QStringLiteral("Coller")));
        QVERIFY(!textes.contains(QStringLiteral("Undo")));
        QVERIFY(!textes.contains(QStringLiteral("Paste")));
    }
};

TALMIR_TEST(TestTraductionQt)
#include "tst_traductionqt.moc"
