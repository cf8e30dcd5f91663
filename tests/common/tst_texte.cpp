#include "common/texte.h"
#include "support/testmain.h"

#include <QtTest>

// The text helpers and the program-wide reading of numbers.
class TestTexte : public QObject {
    Q_OBJECT
  private slots:
    void remplacer_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("cherche");
        QTest::addColumn<QString>("par");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("virgule") << "Pull, laine"
                                 << ","
                                 << "."
                                 << "Pull. laine";
        QTest::newRow("sans casse") << "aXa"
                                    << "x"
                                    << "-"
                                    << "a-a";
        QTest::newRow("pas de reprise") << "ab"
                                        << "b"
                                        << "bb"
                                        << "abb";
        QTest::newRow("toutes") << "1,2,3"
                                << ","
                                << ""
                                << "123";
        QTest::newRow("accents") << "ÉTÉ été"
                                 << "é"
                                 << "e"
                                 << "eTe ete";
        QTest::newRow("cherche vide") << "abc"
                                      << ""
                                      << "x"
                                      << "abc";
        QTest::newRow("pourcent") << "19,6 %"
                                  << "%"
                                  << ""
                                  << "19,6 ";
    }
    void remplacer() {
        QFETCH(QString, texte);
        QFETCH(QString, cherche);
        QFETCH(QString, par);
        QFETCH(QString, attendu);
        QCOMPARE(::remplacer(texte, cherche, par), attendu);
    }

    void champ_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("sep");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("code") << "12 | Dupont"
                              << " | " << 1 << "12";
        QTest::newRow("nom") << "12 | Dupont"
                             << " | " << 2 << "Dupont";
        QTest::newRow("entree article") << "ART000012 | Pull "
                                        << "|" << 1 << "ART000012 ";
        QTest::newRow("champ vide") << "a||c"
                                    << "|" << 2 << "";
        QTest::newRow("troisieme") << "a||c"
                                   << "|" << 3 << "c";
        QTest::newRow("trop loin") << "a|b"
                                   << "|" << 3 << "";
        QTest::newRow("zero") << "a|b"
                              << "|" << 0 << "";
        QTest::newRow("negatif") << "a|b"
                                 << "|" << -1 << "";
        QTest::newRow("sep vide") << "a|b"
                                  << "" << 1 << "";
        QTest::newRow("texte vide") << ""
                                    << "|" << 1 << "";
        QTest::newRow("sans sep") << "abc"
                                  << "|" << 1 << "abc";
    }
    void champ() {
        QFETCH(QString, texte);
        QFETCH(QString, sep);
        QFETCH(int, n);
        QFETCH(QString, attendu);
        QCOMPARE(::champ(texte, sep, n), attendu);
    }

    void lireNombre_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<double>("attendu");
        QTest::newRow("entier") << "42" << 42.0;
        QTest::newRow("blancs partout") << " 1 2 . 5 " << 12.5;
        QTest::newRow("virgule arrete") << "12,5" << 12.0;
        QTest::newRow("signe") << "-3.25abc" << -3.25;
        QTest::newRow("point seul") << ".5" << 0.5;
        QTest::newRow("exposant") << "1e3" << 1000.0;
        QTest::newRow("exposant D") << "2D2" << 200.0;
        QTest::newRow("exposant incomplet") << "3e" << 3.0;
        QTest::newRow("hexa") << "&HFF" << 255.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("rien") << "abc" << 0.0;
        QTest::newRow("vide") << "" << 0.0;
        QTest::newRow("euro") << "12.50 €" << 12.5;
        QTest::newRow("tabulation") << "\t7\n" << 7.0;
        QTest::newRow("trop grand") << "1e400" << 0.0;
        QTest::newRow("tres grand") << "1e308" << 1e308;
    }
    void lireNombre() {
        QFETCH(QString, texte);
        QFETCH(double, attendu);
        QCOMPARE(::lireNombre(texte), attendu);
    }

    void texteVersNombre_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<int>("decimales");
        QTest::addColumn<double>("attendu");
        QTest::newRow("arrondi") << "12,346" << 2 << 12.35;
        QTest::newRow("demi loin de zero") << "0,125" << 2 << 0.13;
        QTest::newRow("demi negatif") << "-0,125" << 2 << -0.13;
        QTest::newRow("sans arrondi") << "12.5" << -1 << 12.5;
        QTest::newRow("hexa") << "&h1F" << 2 << 31.0;
        QTest::newRow("hexa minuscules") << "&H1f" << 2 << 1.0;
        QTest::newRow("hexa vide") << "&H" << 2 << 0.0;
        QTest::newRow("deux separateurs") << "1.234,5" << 2 << 1.23;
        QTest::newRow("lettres") << "abc" << 2 << 0.0;
        QTest::newRow("affichage euros") << "123,45 €" << 2 << 123.45;
        QTest::newRow("binaire trompeur") << "1.005" << 2 << 1.01;
        QTest::newRow("binaire trompeur 2") << "2.675" << 2 << 2.68;
    }
    void texteVersNombre() {
        QFETCH(QString, texte);
        QFETCH(int, decimales);
        QFETCH(double, attendu);
        QCOMPARE(::texteVersNombre(texte, decimales), attendu);
    }

    void hexVersNombre() {
        QCOMPARE(::hexVersNombre(QStringLiteral("FF")), 255.0);
        QCOMPARE(::hexVersNombre(QStringLiteral("ff")), 0.0);
        QCOMPARE(::hexVersNombre(QString()), 0.0);
        QCOMPARE(::hexVersNombre(QStringLiteral("1-F")), 31.0);
    }

    void quantite_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("acceptee");
        for (const char* t : {"3", "2.5", ".5", "-1", "99", "0", "-.5", "-2"})
            QTest::newRow(t) << QString::fromLatin1(t) << true;
        for (const char* t :
             {"03", "2.50", "0.5", "1,5", " 3", "100", "250", "+3", "", "abc", "3 ", "1e1", "-0"})
            QTest::newRow(t) << QString::fromLatin1(t) << false;
    }
    void quantite() {
        QFETCH(QString, texte);
        QFETCH(bool, acceptee);
        QCOMPARE(estQuantiteCanonique(texte), acceptee);
    }

    void texteTresLong() {
        // Helpers stay linear and sound on very long texts.
        const QString long1 = QString(40000, u'9') + QStringLiteral(",5");
        QCOMPARE(::lireNombre(long1), 0.0); // too large for a double
        const QString longA = QString(40000, u'a');
        QCOMPARE(::remplacer(longA, QStringLiteral("a"), QStringLiteral("b")),
                 QString(40000, u'b'));
        QCOMPARE(::champ(longA + u'|' + u'z', QStringLiteral("|"), 2), QStringLiteral("z"));
        QCOMPARE(estQuantiteCanonique(QString(40000, u'1')), false);
    }

    void entierEnTete() {
        QCOMPARE(::entierEnTete(QStringLiteral("12")), 12);
        QCOMPARE(::entierEnTete(QStringLiteral("12a")), 12);
        QCOMPARE(::entierEnTete(QStringLiteral("x")), 0);
        QCOMPARE(::entierEnTete(QString(40, u'9')), 999999999999999999LL);
    }
};

TALMIR_TEST(TestTexte)
#include "tst_texte.moc"
