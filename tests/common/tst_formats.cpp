#include "common/cp1252.h"
#include "common/formats.h"
#include "common/montant.h"
#include "common/valeur.h"
#include "support/testmain.h"

#include <QtTest>

// French formats, exact money, values and the Windows code page.
class TestFormats : public QObject {
    Q_OBJECT
  private slots:
    void montants_data() {
        QTest::addColumn<double>("v");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("deux");
        QTest::addColumn<QString>("euros");
        QTest::newRow("12.5") << 12.5 << "12,50 "
                              << "12,50 "
                              << "12,50 €";
        QTest::newRow("12.505") << 12.505 << "12,505 "
                                << "12,51 "
                                << "12,51 €";
        QTest::newRow("zero") << 0.0 << "0,00 "
                              << "0,00 "
                              << "0,00 €";
        QTest::newRow("negatif") << -4.0 << "-4,00 "
                                 << "-4,00 "
                                 << "-4,00 €";
        QTest::newRow("moins de rien") << -0.001 << "-0,001 "
                                       << "0,00 "
                                       << "0,00 €";
        QTest::newRow("trois decimales") << 1.2345 << "1,235 "
                                         << "1,23 "
                                         << "1,23 €";
        QTest::newRow("grand") << 1234567.8 << "1234567,80 "
                               << "1234567,80 "
                               << "1234567,80 €";
    }
    void montants() {
        QFETCH(double, v);
        QFETCH(QString, detail);
        QFETCH(QString, deux);
        QFETCH(QString, euros);
        const Montant m = Montant::depuisDouble(v);
        QCOMPARE(formatPrixDetail(m), detail);
        QCOMPARE(formatDeuxDecimales(m), deux);
        QCOMPARE(formatEuros(m), euros);
    }

    void nombres() {
        QCOMPARE(nombreCourt(19.6), QStringLiteral("19,6"));
        QCOMPARE(nombreCourt(3), QStringLiteral("3"));
        QCOMPARE(nombreCourt(0.5), QStringLiteral("0,5"));
        QCOMPARE(nombreCourt(-0.5), QStringLiteral("-0,5"));
        QCOMPARE(formatPrixEtiquette(Montant::euros(7)), QStringLiteral("7,00 €"));
        QCOMPARE(nombreCourt(Montant::depuisDixMilliemes(123450)), QStringLiteral("12,345"));
        QCOMPARE(nombreCourt(Montant::depuisDixMilliemes(-5000)), QStringLiteral("-0,5"));
        QCOMPARE(nombreCourt(Quantite::depuisMilliemes(2500)), QStringLiteral("2,5"));
        QCOMPARE(nombreCourt(Quantite::depuisMilliemes(-125)), QStringLiteral("-0,125"));
        QCOMPARE(nombreCourt(Quantite::unites(3)), QStringLiteral("3"));
        QCOMPARE(nombreReglage(5), QStringLiteral(" 5"));
        QCOMPARE(nombreReglage(0), QStringLiteral(" 0"));
        QCOMPARE(nombreReglage(-3), QStringLiteral("-3"));
        QCOMPARE(texteAffiche(QVariant()), QString());
        QCOMPARE(texteAffiche(QVariant(5.5)), QStringLiteral("5,5"));
        QCOMPARE(texteAffiche(QVariant(QStringLiteral("Pull "))), QStringLiteral("Pull "));
    }

    void dates() {
        const QDateTime t(QDate(2024, 5, 1), QTime(14, 30, 7));
        QCOMPARE(dateCourte(t.date()), QStringLiteral("01/05/2024"));
        QCOMPARE(dateLongue(t), QStringLiteral("mercredi 1 mai 2024 14:30"));
        QCOMPARE(horodatage(t), QStringLiteral("2024-05-01 14:30:07"));
        QCOMPARE(nomCloture(t), QStringLiteral("24122_05_01_14_30"));
        QCOMPARE(nomCloture(QDateTime(QDate(2024, 1, 5), QTime(9, 5))),
                 QStringLiteral("245_01_05_09_05"));
        QCOMPARE(nomCloture(QDateTime(QDate(2024, 12, 31), QTime(23, 59))),
                 QStringLiteral("24366_12_31_23_59"));
        QCOMPARE(dateLongue(QDateTime(QDate(2026, 12, 10), QTime(4, 6))),
                 QStringLiteral("jeudi 10 décembre 2026 04:06"));
    }

    void montantExact() {
        // Whole-cent lines paid in full leave exactly zero.
        Montant reste;
        for (double prix : {19.99, 0.1, 0.2, 39.98, 12.34})
            reste += Montant::depuisDouble(prix);
        reste -= Montant::depuisDouble(72.61);
        QVERIFY(reste.estNul());
        QCOMPARE(Montant::depuisDouble(2.675).arrondiCentime().enDouble(), 2.68);
        QCOMPARE(Montant::depuisDouble(-2.675).arrondiCentime().enDouble(), -2.68);
        QCOMPARE(Montant::depuisDouble(19.99).fois(Quantite::unites(3)).enDouble(), 59.97);
        QCOMPARE(Montant::depuisDixMilliemes(123456).dixMilliemes(), 123456);
        bool ok = true;
        QVERIFY(Montant::depuisDouble(1e300, &ok).estNul());
        QVERIFY(!ok);
        QVERIFY(Montant::depuisDouble(std::nan(""), &ok).estNul());
        QVERIFY(!ok);
        QVERIFY(Montant::depuisVariant(QVariant()).estNul());
        QCOMPARE(Montant::depuisVariant(QVariant(QStringLiteral("12.5"))).enDouble(), 12.5);
    }

    // Every computation on money is exact to the ten-thousandth, halves away from zero.
    void calculsSurLesMontants_data() {
        QTest::addColumn<QString>("calcul");
        QTest::addColumn<qint64>("obtenu"); // ten-thousandths
        QTest::addColumn<qint64>("attendu");
        const Montant prix = Montant::depuisCentimes(3999);
        QTest::newRow("quantite") << "39,99 x 2,5"
                                  << qint64(
                                         prix.fois(Quantite::depuisMilliemes(2500)).dixMilliemes())
                                  << qint64(999750);
        QTest::newRow("quantite arrondie")
            << "39,99 x 1,333" << qint64(prix.fois(Quantite::depuisMilliemes(1333)).dixMilliemes())
            << qint64(533067);
        QTest::newRow("retour") << "39,99 x -1"
                                << qint64(prix.fois(Quantite::unites(-1)).dixMilliemes())
                                << qint64(-399900);
        QTest::newRow("prix unitaire") << "99,975 / 2,5"
                                       << qint64(Montant::depuisDixMilliemes(999750)
                                                     .divisePar(Quantite::depuisMilliemes(2500))
                                                     .dixMilliemes())
                                       << qint64(399900);
        QTest::newRow("quantite nulle")
            << "10 / 0" << qint64(Montant::euros(10).divisePar(Quantite()).dixMilliemes())
            << qint64(0);
        QTest::newRow("pourcentage")
            << "10 % de 14,99"
            << qint64(Montant::depuisCentimes(1499).pourcentage(10).dixMilliemes())
            << qint64(14990);
        QTest::newRow("TVA 20 %") << "TVA de 40 à 20 %"
                                  << qint64(Montant::euros(40).tvaContenue(20).dixMilliemes())
                                  << qint64(66667);
        QTest::newRow("TVA 19,6 %")
            << "TVA de 40 à 19,6 %" << qint64(Montant::euros(40).tvaContenue(19.6).dixMilliemes())
            << qint64(65552);
        QTest::newRow("TVA 5,5 % negative")
            << "TVA de -9,99 à 5,5 %"
            << qint64(Montant::depuisCentimes(-999).tvaContenue(5.5).dixMilliemes())
            << qint64(-5208);
        QTest::newRow("part") << "1,499 x 6,56 / 40"
                              << qint64(Montant::depuisDixMilliemes(14990)
                                            .proportion(Montant::depuisCentimes(656),
                                                        Montant::euros(40))
                                            .dixMilliemes())
                              << qint64(2458);
        QTest::newRow("demi centime")
            << "2,675 au centime"
            << qint64(Montant::depuisDixMilliemes(26750).arrondiCentime().dixMilliemes())
            << qint64(26800);
        QTest::newRow("demi centime negatif")
            << "-2,665 au centime"
            << qint64(Montant::depuisDixMilliemes(-26650).arrondiCentime().dixMilliemes())
            << qint64(-26700);
    }
    void calculsSurLesMontants() {
        QFETCH(qint64, obtenu);
        QFETCH(qint64, attendu);
        QCOMPARE(obtenu, attendu);
    }

    // Quantities are thousandths: what a double holds is read as its decimal value.
    void quantites() {
        QCOMPARE(Quantite::depuisDouble(0.1)->milliemes(), 100);
        QCOMPARE((*Quantite::depuisDouble(0.1) + *Quantite::depuisDouble(0.2) -
                  *Quantite::depuisDouble(0.3))
                     .milliemes(),
                 0);
        QCOMPARE(Quantite::depuisDouble(2.0005)->milliemes(), 2001);
        QVERIFY(!Quantite::depuisDouble(-1e308));
        QVERIFY(!Quantite::depuisDouble(std::numeric_limits<double>::infinity()));
        QCOMPARE(Quantite::depuisVariant(QVariant()).milliemes(), 0);
        QCOMPARE(Quantite::depuisVariant(QVariant(5.55e-17)).milliemes(), 0);
    }

    void valeurs() {
        QCOMPARE(sansNull(QVariant()).toString(), QString());
        QCOMPARE(sansNull(QVariant(0)).toInt(), 0);
        QCOMPARE(sansNull(QVariant(0)).typeId(), int(QMetaType::Int));
        QCOMPARE(choisir(QVariant(1), 1, 2).toInt(), 1);
        QCOMPARE(choisir(QVariant(0), 1, 2).toInt(), 2);
        QCOMPARE(choisir(QVariant(), 1, 2).toInt(), 2);
        QCOMPARE(choisir(QVariant(QStringLiteral("pas un nombre")), 1, 2).toInt(), 1);
        QCOMPARE(maxi(QVariant(-120), QVariant(0)).toInt(), 0);
        QCOMPARE(mini(QVariant(5), QVariant(36)).toInt(), 5);
        QCOMPARE(maxi(-120, 0), 0);
        QCOMPARE(mini(40, 36), 36);
        // A boolean is not shown as a number, but tests and compares as one.
        QCOMPARE(choisir(QVariant(true), 1, 2).toInt(), 1);
        QCOMPARE(choisir(QVariant(false), 1, 2).toInt(), 2);
        QCOMPARE(maxi(QVariant(true), QVariant(0)), QVariant(true));
    }

    void nombreOuNon_data() {
        QTest::addColumn<QVariant>("valeur");
        QTest::addColumn<bool>("nombre");
        QTest::addColumn<QString>("affiche");
        QTest::newRow("entier") << QVariant(12) << true << "12";
        QTest::newRow("64 bits") << QVariant(qint64(-7)) << true << "-7";
        QTest::newRow("sans signe") << QVariant(7u) << true << "7";
        QTest::newRow("double") << QVariant(2.5) << true << "2,5";
        QTest::newRow("float") << QVariant(2.5f) << true << "2,5";
        QTest::newRow("booleen") << QVariant(true) << false << "Vrai";
        QTest::newRow("chiffres en texte") << QVariant(QStringLiteral("12")) << false << "12";
        QTest::newRow("date") << QVariant(QDate(2024, 5, 1)) << false << "01/05/2024";
    }
    void nombreOuNon() {
        QFETCH(QVariant, valeur);
        QFETCH(bool, nombre);
        QFETCH(QString, affiche);
        QCOMPARE(estNombre(valeur), nombre);
        QCOMPARE(texteAffiche(valeur), affiche);
    }

    void windows1252() {
        const QString texte = QStringLiteral("Été — 12 € œuvre ÿ");
        const QByteArray octets = versWindows1252(texte);
        QCOMPARE(octets.size(), texte.size());
        QCOMPARE(quint8(octets.at(0)), quint8(0xC9));
        QCOMPARE(quint8(octets.at(4)), quint8(0x97));
        QCOMPARE(depuisWindows1252(octets), texte);
        QCOMPARE(versWindows1252(QStringLiteral("日本")), QByteArray("??"));
    }
};

TALMIR_TEST(TestFormats)
#include "tst_formats.moc"
