#include "labels/tirageetiquettes.h"

#include "catalogue/article.h"
#include "common/formats.h"
#include "common/journalisation.h"
#include "common/valeur.h"
#include "database/database.h"
#include "frame/dialogues.h"
#include "printing/image.h"
#include "printing/serviceimpression.h"
#include "printing/surface.h"
#include "settings/reglage.h"

#include <QSqlQuery>

#include <cmath>

namespace {
// The labels already used on the sheet left in the printer: the next run starts after them.
const Reglage kSautees{QStringLiteral("imprimer"), QStringLiteral("etiquettes sautees"),
                       QStringLiteral("0")};
const QString fichierFond = QStringLiteral("fondetiquette.wmf");
// A count beyond this is taken as this: the run is stopped long before anyway.
constexpr qint64 nombreMaximum = qint64(1) << 50;
// Codes named in one message at most.
constexpr int codesMontres = 20;

qint64 nombreEtiquettes(const QVariant& v) {
    const double n = quantiteOuZero(v);
    if (!(n > 0))
        return 0;
    return n >= double(nombreMaximum) ? nombreMaximum : std::llround(n);
}
} // namespace

// The articles of a run and where the run stands.
struct TirageEtiquettes::Lot {
    QList<ArticleEtiquette> articles;
    qsizetype courant = 0; // the article being drawn
    qint64 copies = 0;     // labels of it drawn so far
    qint64 total = 0;      // labels of the whole run
    grille::Position position;
    QList<bool> signale; // articles already named for their missing bars

    bool reste() const { return courant < articles.size(); }

    // Draws labels from the current position until the sheet is full or nothing is left; the
    // number of labels drawn. The current article's further copies go on the next sheet.
    qint64 remplirFeuille(Surface& s, const Image& fond, QStringList& sansCodeBarre) {
        qint64 n = 0;
        while (reste()) {
            const ArticleEtiquette& a = articles[courant];
            if (!etiquette::dessiner(s, fond, a, position.x(), position.y()) && !signale[courant]) {
                signale[courant] = true;
                sansCodeBarre << sansNullTexte(a.code);
            }
            ++n;
            if (++copies >= a.nombre) {
                ++courant;
                copies = 0;
            }
            if (position.avancer())
                break;
        }
        return n;
    }
};

bool TirageEtiquettes::preparer(Lot& lot, Image& images, BilanTirage& bilan) {
    QSqlQuery q(services_.bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, QStringLiteral("select rowid, CodeArticle, taille, libelle, "
                                                  "PrixVenteTTC, nbraimprimer from ARTICLES where "
                                                  "(nbraimprimer > 0) order by codearticle;"));
        !r) {
        bilan.fin = BilanTirage::Fin::ErreurLecture;
        services_.dialogues.message(
            QStringLiteral("Les articles à étiqueter n'ont pas pu être lus : %1").arg(r.raison()),
            titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
        return false;
    }
    while (q.next()) {
        ArticleEtiquette a{
            q.value(0).toLongLong(),     q.value(1), q.value(2), q.value(3), q.value(4),
            nombreEtiquettes(q.value(5))};
        if (a.nombre <= 0)
            continue;
        lot.total = std::min(lot.total + a.nombre, nombreMaximum * 1024);
        lot.articles.append(std::move(a));
    }
    lot.signale.fill(false, lot.articles.size());

    // A picture that cannot be read leaves the previous one (or none): the labels still print,
    // and the log says why.
    consigner(images.LoadPicture(services_.installation.chemin(fichierFond)),
              QStringLiteral("fond des étiquettes"));

    const QString sautees = services_.reglages().lireOuInitialiser(kSautees);
    bilan.depart = grille::positionDepart(sautees);
    lot.position = grille::Position::depuisNumero(bilan.depart);
    return true;
}

BilanTirage TirageEtiquettes::imprimer(Surface& fond, Image& images) {
    fond.Cls();
    fond.setScaleMode(Surface::Echelle::Millimetres);
    Lot lot;
    BilanTirage bilan;
    if (!preparer(lot, images, bilan))
        return bilan;
    bilan.etiquettes = lot.remplirFeuille(fond, images, bilan.sansCodeBarre);
    bilan.feuilles = bilan.etiquettes > 0 ? 1 : 0;
    bilan.positionFinale = lot.position.numero();
    return bilan;
}

BilanTirage TirageEtiquettes::imprimer(ServiceImpression& imprimante, Image& images) {
    Lot lot;
    BilanTirage bilan;
    if (!preparer(lot, images, bilan))
        return bilan;
    const qint64 feuilles = grille::nombreFeuilles(bilan.depart, lot.total);
    if (feuilles > feuillesSansQuestion && !confirmerNombre(lot.total, feuilles)) {
        bilan.fin = BilanTirage::Fin::Refuse;
        return bilan;
    }
    while (lot.reste()) {
        // Where the run stands before this sheet: a sheet that does not reach the printer
        // leaves its labels to print.
        const qsizetype courant = lot.courant;
        const qint64 copies = lot.copies;
        const grille::Position position = lot.position;
        std::unique_ptr<TravailImpression> travail = imprimante.commencer(FormatPapier::A4);
        Resultat<> envoi = echec(QStringLiteral("l'imprimante n'a pas pu commencer l'impression"));
        qint64 dessinees = 0;
        if (travail) {
            Surface& s = travail->surface();
            s.Cls();
            s.setScaleMode(Surface::Echelle::Millimetres);
            dessinees = lot.remplirFeuille(s, images, bilan.sansCodeBarre);
            envoi = travail->EndDoc();
        }
        if (!envoi) {
            bilan.fin = BilanTirage::Fin::ErreurImprimante;
            if (suivi_)
                suivi_->terminer();
            if (bilan.feuilles == 0) {
                services_.dialogues.message(
                    QStringLiteral("L'impression des étiquettes n'a pas abouti (%1).\nLes "
                                   "étiquettes restent à imprimer et la position de départ sur "
                                   "la feuille n'a pas changé.")
                        .arg(envoi.raison()),
                    titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
                return bilan;
            }
            // The sheets already printed are the operator's to confirm, as after "Arrêter".
            lot.courant = courant;
            lot.copies = copies;
            lot.position = position;
            services_.dialogues.message(
                QStringLiteral("L'impression des étiquettes s'est arrêtée à la feuille %1 (%2).\n"
                               "Les %3 feuilles précédentes ont été envoyées à l'imprimante ; "
                               "les étiquettes des feuilles suivantes restent à imprimer.")
                    .arg(bilan.feuilles + 1)
                    .arg(envoi.raison())
                    .arg(bilan.feuilles),
                titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
            break;
        }
        bilan.etiquettes += dessinees;
        ++bilan.feuilles;
        if (lot.reste() && suivi_ && !suivi_->continuer(bilan.feuilles, feuilles)) {
            bilan.fin = BilanTirage::Fin::Interrompu;
            break;
        }
    }
    if (suivi_)
        suivi_->terminer();
    bilan.positionFinale = lot.position.numero();
    signalerSansCodeBarre(bilan.sansCodeBarre);
    const Dialogues::Reponse r = services_.dialogues.message(
        QStringLiteral("Est-ce que les Etiquettes sont correctement imprimées ?"),
        titres::programme(), Dialogues::Boutons::OuiNon, Dialogues::Icone::Question,
        Dialogues::Reponse::Oui);
    if (r == Dialogues::Reponse::Oui) {
        enregistrer(lot, bilan);
        bilan.enregistre = true;
    }
    return bilan;
}

Resultat<> TirageEtiquettes::remettreAZero(const Lot& lot, const BilanTirage& bilan) {
    Transaction t(services_.bdd);
    if (!t.debut())
        return t.debut();
    const bool complet = bilan.fin == BilanTirage::Fin::Complet;
    QSqlQuery q(services_.bdd.connexion());
    // The labels printed are taken off each article's count as it is now: labels that another
    // till asked for during the run stay to print (a run stopped half-way: those of the sheets
    // printed).
    for (qsizetype i = 0; i < lot.articles.size() && (complet || i <= lot.courant); ++i) {
        const ArticleEtiquette& a = lot.articles[i];
        const qint64 imprimees = complet || i < lot.courant ? a.nombre : lot.copies;
        if (imprimees == 0)
            continue;
        if (Resultat<> r = executer(q,
                                    QStringLiteral("select nbraimprimer from ARTICLES where "
                                                   "rowid=?") +
                                        services_.bdd.pourModifier(),
                                    {a.rowid});
            !r)
            return r;
        const qint64 maintenant = q.next() ? nombreEtiquettes(q.value(0)) : 0;
        q.finish();
        if (Resultat<> r =
                executer(q, QStringLiteral("update ARTICLES set nbraimprimer=? where rowid=?;"),
                         {std::max<qint64>(maintenant - imprimees, 0), a.rowid});
            !r)
            return r;
    }
    // A whole run also clears the counts that ask for no label (below zero, a fraction below
    // one half, a text, none).
    if (complet)
        if (Resultat<> r = executer(q, QStringLiteral("update ARTICLES set nbraimprimer=0 where "
                                                      "nbraimprimer is null or not "
                                                      "(nbraimprimer + 0 >= 0.5);"));
            !r)
            return r;
    return t.valider();
}

bool TirageEtiquettes::confirmerNombre(qint64 etiquettes, qint64 feuilles) {
    return services_.dialogues.message(
               QStringLiteral("Il y a %1 étiquettes à imprimer, soit %2 feuilles.\nVoulez-vous "
                              "lancer l'impression de toutes ces feuilles ?")
                   .arg(etiquettes)
                   .arg(feuilles),
               titres::programme(), Dialogues::Boutons::OuiNon, Dialogues::Icone::Question,
               Dialogues::Reponse::Non) == Dialogues::Reponse::Oui;
}

void TirageEtiquettes::signalerSansCodeBarre(const QStringList& codes) {
    if (codes.isEmpty())
        return;
    QStringList montres;
    for (const QString& code : codes.mid(0, codesMontres))
        montres << QStringLiteral("« %1 »").arg(code);
    if (codes.size() > codesMontres)
        montres << QStringLiteral("et %1 autres").arg(codes.size() - codesMontres);
    services_.dialogues.message(
        QStringLiteral("Le code-barres de ces articles ne peut pas être imprimé (caractères "
                       "autres que chiffres, lettres, espace et - . $ / + %, ou code trop long "
                       "pour l'étiquette) ; leurs étiquettes n'ont pas de code-barres :\n%1")
            .arg(montres.join(u'\n')),
        titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
}

void TirageEtiquettes::enregistrer(const Lot& lot, const BilanTirage& bilan) {
    if (Resultat<> r = remettreAZero(lot, bilan); !r)
        services_.dialogues.message(
            QStringLiteral("Les nombres d'étiquettes à imprimer n'ont pas pu être remis à "
                           "zéro : %1")
                .arg(r.raison()),
            titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
    // The sheet left in the printer is used up to here, whatever became of the counts.
    services_.reglages().ecrire(kSautees, nombreReglage(bilan.positionFinale));
}
