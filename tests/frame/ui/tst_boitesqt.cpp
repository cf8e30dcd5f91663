#include "frame/ui/dialoguesqt.h"
#include "support/testmain.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest>

// The boxes as Qt shows them: a title read whole in the title bar, text in the main window's
// font (larger when the window is shown larger).
class TestBoitesQt : public QObject {
    Q_OBJECT
  private slots:
    void titreEntier_data() {
        QTest::addColumn<bool>("saisie");
        QTest::addColumn<double>("points");
        QTest::newRow("message") << false << 9.0;
        QTest::newRow("message, fenêtre agrandie") << false << 18.0;
        QTest::newRow("saisie") << true << 9.0;
    }
    void titreEntier() {
        QFETCH(bool, saisie);
        QFETCH(double, points);
        QWidget fenetre;
        QFont police = fenetre.font();
        police.setPointSizeF(points);
        fenetre.setFont(police);
        DialoguesQt dialogues(&fenetre);
        const QString titre = QStringLiteral("TALMIR vestimentaire");
        int largeur = 0, largeurTitre = 0;
        double pointsBoite = 0;
        QTimer::singleShot(0, this, [&] {
            QWidget* boite = QApplication::activeModalWidget();
            QVERIFY(boite);
            QFont gras = boite->font();
            gras.setBold(true);
            largeurTitre = QFontMetrics(gras).horizontalAdvance(boite->windowTitle());
            largeur = boite->width();
            pointsBoite = boite->font().pointSizeF();
            boite->close();
        });
        if (saisie)
            (void)dialogues.saisie(QStringLiteral("Montant"), titre, QString(), nullptr);
        else
            (void)dialogues.message(QStringLiteral("Ok"), titre, Dialogues::Boutons::Ok,
                                    Dialogues::Icone::Aucune, Dialogues::Reponse::Ok);
        QVERIFY(largeurTitre > 0);
        // The title, and the window manager's icon and buttons beside it.
        QVERIFY2(largeur >= largeurTitre + 100,
                 qPrintable(QStringLiteral("%1 pour %2").arg(largeur).arg(largeurTitre)));
        QCOMPARE(pointsBoite, points);
    }
};

TALMIR_TEST(TestBoitesQt)
#include "tst_boitesqt.moc"
