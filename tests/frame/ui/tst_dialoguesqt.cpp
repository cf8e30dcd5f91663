#include "frame/ui/dialoguesqt.h"
#include "support/testmain.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QtTest>

// The boxes as Qt shows them: where they appear.
class TestDialoguesQt : public QObject {
    Q_OBJECT

    // The centre of the box that `montrer` opens, answered at once.
    static QPoint centreDeLaBoite(const std::function<void()>& montrer) {
        QPoint centre;
        QTimer::singleShot(0, [&] {
            QWidget* boite = QApplication::activeModalWidget();
            if (!boite)
                return;
            centre = boite->frameGeometry().center();
            boite->close();
        });
        montrer();
        return centre;
    }

  private slots:
    void centree_data() {
        QTest::addColumn<bool>("fenetreMontree");
        QTest::newRow("au demarrage: sur l'ecran") << false;
        QTest::newRow("ensuite: sur la fenetre principale") << true;
    }
    void centree() {
        // During start-up the main window is not shown yet: a box goes to the screen's middle,
        // not to the corner where the hidden window lies.
        QFETCH(bool, fenetreMontree);
        QWidget principale;
        principale.setGeometry(40, 60, 500, 300);
        if (fenetreMontree) {
            principale.show();
            QVERIFY(QTest::qWaitForWindowExposed(&principale));
        }
        DialoguesQt dialogues(&principale);
        const QPoint attendu = fenetreMontree ? principale.frameGeometry().center()
                                              : principale.screen()->availableGeometry().center();
        const QPoint message = centreDeLaBoite([&] {
            dialogues.message(QStringLiteral("problème d'ouverture de la table ARTICLES"),
                              QStringLiteral("TALMIR_vestimentaire"), Dialogues::Boutons::Ok,
                              Dialogues::Icone::Aucune, Dialogues::Reponse::Ok);
        });
        QVERIFY2((message - attendu).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1,%2 au lieu de %3,%4")
                                .arg(message.x())
                                .arg(message.y())
                                .arg(attendu.x())
                                .arg(attendu.y())));
        const QPoint saisie = centreDeLaBoite([&] {
            [[maybe_unused]] const auto texte = dialogues.saisie(
                QStringLiteral("Quantité"), QStringLiteral("TALMIR_vestimentaire"), QString(), {});
        });
        QVERIFY((saisie - attendu).manhattanLength() <= 4);
    }
};

TALMIR_TEST(TestDialoguesQt)
#include "tst_dialoguesqt.moc"
