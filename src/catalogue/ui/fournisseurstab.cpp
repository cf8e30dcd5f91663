#include "catalogue/ui/fournisseurstab.h"

#include "common/valeur.h"
#include "database/database.h"
#include "frame/dialogues.h"
#include "frame/services.h"

#include <QListWidget>
#include <QSqlQuery>
#include <QSqlRecord>

FournisseursTab::FournisseursTab(Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    listefournisseur = new QListWidget(this);
    listefournisseur->setObjectName(QStringLiteral("listefournisseur"));
}

bool FournisseursTab::chargerListe() {
    QSqlQuery q(services_.bdd.connexion());
    if (!executer(q, QStringLiteral("SELECT * FROM FOURNISSEURS"))) {
        services_.dialogues.message(QStringLiteral("problème d'ouverture de la table FOURNISSEURS"),
                                    titres::programme());
        return false;
    }
    const QSqlRecord colonnes = q.record();
    const int code = colonnes.indexOf(QStringLiteral("codefournisseur"));
    const int nom = colonnes.indexOf(QStringLiteral("nom"));
    while (q.next())
        listefournisseur->addItem(sansNullTexte(code >= 0 ? q.value(code) : QVariant()) +
                                  QStringLiteral(" | ") +
                                  sansNullTexte(nom >= 0 ? q.value(nom) : QVariant()));
    return true;
}
