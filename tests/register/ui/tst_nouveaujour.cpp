#include "caissetest.h"
#include "support/testmain.h"

// The first entry of a new day at the till runs the program's new-day action (the closures of
// the days left unclosed) once; a failure is only a notice, the article is still sold.
class TestNouveauJour : public QObject {
    Q_OBJECT
  private slots:
    void unParJour() {
        CaisseTest c;
        QList<QDate> appels;
        QString reponse;
        c.tab->setAuNouveauJour([&] {
            appels << c.b.horloge.maintenant().date();
            return reponse;
        });
        const QDateTime matin(QDate(2026, 3, 5), QTime(9, 0));
        c.b.horloge.regler(matin);
        c.taper("ART000001");
        c.taper("ART000002");
        QCOMPARE(appels, QList<QDate>{matin.date()});

        reponse = QStringLiteral("Clôture des jours précédents impossible : disque plein");
        c.b.horloge.regler(matin.addDays(1));
        c.taper("ART000003");
        QCOMPARE(appels.size(), 2);
        QCOMPARE(c.texte("avis"), reponse);
        QCOMPARE(c.b.valeur("SELECT count(*) FROM VENTES WHERE CodeArticle = 'ART000003'").toInt(),
                 1);
        c.taper("ART000004");
        QCOMPARE(appels.size(), 2);
    }
};

TALMIR_TEST(TestNouveauJour)
#include "tst_nouveaujour.moc"
