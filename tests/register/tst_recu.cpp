#include "printing/image.h"
#include "printing/surface.h"
#include "register/recu.h"
#include "support/testmain.h"

#include <QtTest>

namespace {
LigneTicket ligne(const QString& code, double prix, double tva, double qt,
                  const QVariant& libelle = {}, const QVariant& taille = {},
                  const QVariant& couleur = {}) {
    LigneTicket l;
    l.codeArticle = code;
    l.prix = Montant::depuisDouble(prix);
    l.tva = Montant::depuisDouble(tva);
    l.qt = *Quantite::depuisDouble(qt);
    l.libelle = libelle;
    l.taille = taille;
    l.couleur = couleur;
    return l;
}

const QDateTime kMaintenant(QDate(2024, 3, 5), QTime(9, 1, 22));

// The texts printed after the twelve empty header lines.
QList<Surface::TexteImprime> imprime(Surface& s, const QList<LigneTicket>& lignes,
                                     TotauxTicket* totaux = nullptr) {
    const TotauxTicket t = imprimerTicket(s, lignes, Image(), kMaintenant);
    if (totaux)
        *totaux = t;
    return s.textes();
}

QStringList textes(const QList<Surface::TexteImprime>& l) {
    QStringList r;
    for (const auto& t : l)
        r << t.texte;
    return r;
}

// The texts of a drawing with where and how they are printed.
QStringList traces(const Surface& s) {
    QStringList r;
    for (const auto& t : s.textes())
        r << QStringLiteral("%1|%2|%3|%4").arg(t.texte).arg(t.x).arg(t.y).arg(t.gras);
    return r;
}

// A line with its stored number.
LigneTicket numerotee(qint64 id, const QString& code, double prix, double qt,
                      const QVariant& libelle = {}) {
    LigneTicket l = ligne(code, prix, prix / 6, qt, libelle);
    l.id = id;
    return l;
}
} // namespace

// The receipt drawn from a ticket's lines, read back from the surface's text log.
class TestRecu : public QObject {
    Q_OBJECT
  private slots:
    // The ticket on the screen goes on from what it shows; each drawing is the one a whole
    // drawing of the same lines gives, whatever came before it.
    void ticketAfficheCommeImprime() {
        const LigneTicket robe = numerotee(1, "ROBE", 55, 1, "Robe d'été");
        const LigneTicket pull = numerotee(2, "PULL", 14.99, 2, "Pull");
        const LigneTicket cb = numerotee(3, "CB", -40, 0);
        const LigneTicket livre = numerotee(5, "LIVRE", 21.10, 1, "Livre");
        const LigneTicket long_ = numerotee(
            6, "ECHARPE", 9.5, 1, QString("Écharpe en laine d'agneau tricotée main ").repeated(4));
        const QList<QList<LigneTicket>> etapes = {{},
                                                  {robe},
                                                  {robe, pull},
                                                  {robe, pull, cb},
                                                  {robe, pull},
                                                  {robe, livre},
                                                  {robe, livre, long_},
                                                  {robe, livre, long_},
                                                  {}};
        Surface ecran(257, 233, 96);
        TicketAffiche affiche;
        for (const QList<LigneTicket>& lignes : etapes) {
            const TotauxTicket t = affiche.dessiner(ecran, lignes, Image(), kMaintenant);
            Surface entiere(257, 233, 96);
            const TotauxTicket attendu = imprimerTicket(entiere, lignes, Image(), kMaintenant);
            QCOMPARE(traces(ecran), traces(entiere));
            QCOMPARE(ecran.basDessin(), entiere.basDessin());
            QCOMPARE(ecran.CurrentY(), entiere.CurrentY());
            QCOMPARE(t.totalTtc, attendu.totalTtc);
            QCOMPARE(t.restant, attendu.restant);
        }
        // Someone else's Cls: drawn whole again.
        ecran.Cls();
        affiche.dessiner(ecran, {robe}, Image(), kMaintenant);
        Surface entiere(257, 233, 96);
        imprimerTicket(entiere, {robe}, Image(), kMaintenant);
        QCOMPARE(traces(ecran), traces(entiere));
    }

    void ticketVide() {
        Surface s(257, 233, 96);
        TotauxTicket t;
        const auto l = imprime(s, {}, &t);
        QCOMPARE(textes(l), QStringList({"TVA : 0,00 €", "Total ttc : 0,00 €",
                                         "Restant dû : 0,00 €", "mardi 5 mars 2024 09:01"}));
        // Twelve empty lines, then one more, before the VAT.
        const double ligneTwips = s.TextHeight();
        QCOMPARE(qRound(l[0].y), qRound(13 * ligneTwips));
        QVERIFY(!l[0].gras);
        QVERIFY(l[1].gras && l[2].gras);
        QVERIFY(!l[3].gras);
        QCOMPARE(l[3].x, margeRecu()); // 2 mm
        QVERIFY(t.restant.estNul() && t.totalTtc.estNul() && !t.aLignePrixee);
    }

    void lignesDuTicket() {
        Surface s(257, 2000, 96);
        TotauxTicket t;
        const auto l = imprime(s,
                               {ligne("ART000001", 39.98, 6.55, 2, "Pull ", "M ", QVariant()),
                                ligne("ART000002", 45.0, 7.37, 1, "Jean ", "40 ", "Bleu "),
                                ligne("REMISE", -5, -0.82, 1), ligne("SOUSTOTAL : 79,98 ", 0, 0, 0),
                                ligne("ESPECES", -20, 0, 0), ligne("CB", -59.98, 0, 0)},
                               &t);
        QCOMPARE(textes(l),
                 QStringList({"ART000001 : Pull ", "   > Taille : M  ", "19,99 € x 2 =     39,98 €",
                              "ART000002 : Jean ", "   > Taille : 40  Couleur : Bleu ",
                              "45,00 € x 1 =     45,00 €", "REMISE *********",
                              "-5,00 € x 1 =     -5,00 €", "SOUSTOTAL : 79,98  *********",
                              "ESPECES *********", "ESPECES : 20,00 €", "CB *********",
                              "CB : 59,98 €", "TVA : 13,10 €", "Total ttc : 79,98 €",
                              "Restant dû : 0,00 €", "mardi 5 mars 2024 09:01"}));
        // Amounts end at the 2 mm margin before the right edge; payments are bold.
        const auto& montant = l[2];
        QVERIFY(!montant.gras);
        QVERIFY(qAbs(montant.x + s.TextWidth(montant.texte) + margeRecu() - s.ScaleWidth()) < 0.01);
        QVERIFY(l[10].gras && l[12].gras);
        QVERIFY(!l[9].gras && !l[11].gras);
        s.setFontBold(true);
        QVERIFY(qAbs(l[10].x + s.TextWidth(l[10].texte) + margeRecu() - s.ScaleWidth()) < 0.01);
        s.setFontBold(false);
        QCOMPARE(t.restant, Montant());
        QCOMPARE(t.totalTtc, Montant::depuisCentimes(7998));
        QCOMPARE(t.totalTva, Montant::depuisCentimes(1310));
        QCOMPARE(t.dernierCode, QStringLiteral("REMISE"));
        QCOMPARE(t.derniereQuantite, Quantite::unites(1));
    }

    void quantiteNulleEtNegative() {
        Surface s(257, 2000, 96);
        TotauxTicket t;
        const auto l = imprime(s,
                               {ligne("ART000001", -39.98, -6.55, -2, "Pull "),
                                ligne("ART000003", 0, 0, 0, "Gilet "),
                                ligne("ART000004", 2.5, 0.41, 0.5, "Ruban ")},
                               &t);
        QCOMPARE(
            textes(l).mid(0, 5),
            QStringList({"ART000001 : Pull ", "19,99 € x -2 =     -39,98 €", "ART000003 : Gilet ",
                         "ART000004 : Ruban ", "5,00 € x 0,5 =     2,50 €"}));
        QCOMPARE(t.derniereQuantite, Quantite::depuisMilliemes(500));
        QCOMPARE(t.dernierCode, QStringLiteral("ART000004"));
    }

    void fractionDeCentime() {
        Surface s(257, 2000, 96);
        TotauxTicket t;
        imprime(s,
                {ligne("ART000001", 19.99, 3.28, 1, "Pull "),
                 ligne("REMISE sur ARTICLE 12,5 %", -2.4988, -0.41, 1),
                 ligne("ESPECES", -17.49, 0, 0)},
                &t);
        QCOMPARE(t.restant, Montant::depuisDixMilliemes(12));
        QVERIFY(t.soldeAuCentime());
        QVERIFY(s.textes().last().texte.startsWith("mardi"));
        QCOMPARE(s.textes()[s.textes().size() - 2].texte, QStringLiteral("Restant dû : 0,00 €"));
    }

    // What a printed receipt says below the ticket: its number, the VAT of each rate (a discount
    // on the whole ticket shared between the rates), the shop's identity lines that are set and
    // the program; lines without a rate on a ticket without rates come apart.
    void mentions() {
        Surface s(300, 3000, 96);
        s.setFontSize(8);
        LigneTicket robe = ligne("ROBE", 55, 9.17, 1, "Robe");
        robe.taux = 20;
        LigneTicket livre = ligne("LIVRE", 21.10, 1.10, 1, "Livre");
        livre.taux = 5.5;
        const QList<LigneTicket> lignes{robe, livre, ligne("REMISE", -7.61, -1.03, 1),
                                        ligne("CB", -68.49, 0, 0)};
        MentionsRecu m;
        m.numero = 46;
        m.boutique = {"Mode & Cie", "  ", "12 rue\tdu Port", "SIRET : 123 456 789 00012"};
        m.programme = "TALMIR_vestimentaire 1.0.0";
        imprimerMentions(s, lignes, m);
        QCOMPARE(textes(s.textes()),
                 QStringList({"Ticket n° 46", "TVA 5,5 % : HT 18,18 €  TVA 0,81 €  TTC 18,99 €",
                              "TVA 20 % : HT 41,07 €  TVA 8,43 €  TTC 49,50 €", "Mode & Cie",
                              "12 rue du Port", "SIRET : 123 456 789 00012",
                              "TALMIR_vestimentaire 1.0.0"}));

        Surface sansTaux(600, 3000, 96);
        imprimerMentions(sansTaux, {ligne("ROBE", 55, 9.17, 1, "Robe")}, {});
        QCOMPARE(textes(sansTaux.textes()),
                 QStringList({"TVA (taux non enregistré) : HT 45,83 €  TVA 9,17 €  TTC 55,00 €"}));
    }
};

TALMIR_TEST(TestRecu)
#include "tst_recu.moc"
