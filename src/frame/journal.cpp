#include "frame/journal.h"

#include "common/formats.h"
#include "common/texte.h"
#include "platform/fichiers.h"
#include "platform/horloge.h"

Journal::Journal(QString dossier, const Horloge& horloge)
    : dossier_(std::move(dossier)), horloge_(horloge) {}

QString Journal::chemin() const {
    return dossier_ + u'/' + nomFichier();
}

Resultat<> Journal::ecrireJournal(const QString& mot, const QString& totalAvant,
                                  const QString& codeArticle, const QString& quantite) const {
    // A line break inside a field would split the line in two: keep each event on one line.
    const auto uneLigne = sansCaracteresDeControle;
    const QString ligne = uneLigne(mot) + QStringLiteral(" | ") + uneLigne(totalAvant) +
                          QStringLiteral(" | ") + horodatage(horloge_.maintenant()) +
                          QStringLiteral(" | ") + uneLigne(codeArticle) + QStringLiteral(" | ") +
                          uneLigne(quantite);
    return ajouterLigne(chemin(), ligne);
}
