#include "catalogue/ui/gencodestab.h"

#include "database/database.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "common/valeur.h"

#include <QComboBox>
#include <QSqlQuery>

GenCodesTab::GenCodesTab(Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    fourn = new QComboBox(this);
    fourn->setObjectName(QStringLiteral("fourn"));
    fourn->setEditable(true);
}

bool GenCodesTab::chargerarticles() {
    QSqlQuery q(services_.bdd.connexion());
    if (!executer(q, QStringLiteral("SELECT CodeArticle, libelle FROM ARTICLES WHERE EnStock > 0"))) {
        services_.dialogues.message(QStringLiteral("problème d'ouverture de la table ARTICLES"),
                                    titres::programme());
        return false;
    }
    return true;
}

void GenCodesTab::chargerFournisseurs() {
    QSqlQuery q(services_.bdd.connexion());
    if (!executer(q, QStringLiteral("SELECT fournisseur FROM ARTICLES GROUP BY fournisseur")))
        return;
    while (q.next())
        fourn->addItem(sansNullTexte(q.value(0)));
}
