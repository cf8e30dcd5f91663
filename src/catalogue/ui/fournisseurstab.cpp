#include "catalogue/ui/fournisseurstab.h"

#include "common/formats.h"
#include "common/journalisation.h"
#include "common/texte.h"
#include "common/ui/twips.h"
#include "common/valeur.h"
#include "database/database.h"
#include "frame/dialogues.h"
#include "frame/services.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
// The panel's rows: element 0 at its design place, each further one 50 twips below the box
// above it.
constexpr int kGaucheLabel = 120, kGaucheBoite = 1920, kHaut0 = 720;
constexpr int kLargeurLabel = 1575, kHauteurLabel = 255, kLargeurBoite = 4575, kHauteurBoite = 285;
constexpr int kEcart = 50;

// A value as the supplier's box shows it: Null as an empty box, binary data by its size.
QString texteValeur(const QVariant& v) {
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QByteArray)
        return QStringLiteral("(donnée binaire de %1 octets)").arg(v.toByteArray().size());
    return sansCaracteresDeControle(texteAffiche(v));
}
} // namespace

FournisseursTab::FournisseursTab(Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    auto* titre = creerLabel(this, QStringLiteral("Label22"), QStringLiteral("Fournisseurs"), 240,
                             120, 2895, 255);
    listefournisseur = new QListWidget(this);
    listefournisseur->setObjectName(QStringLiteral("listefournisseur"));
    placer(listefournisseur, 240, 420, 2895, 5700);
    titre->setBuddy(listefournisseur);

    fondfournisseur = new QFrame(this);
    fondfournisseur->setObjectName(QStringLiteral("fondfournisseur"));
    placer(fondfournisseur, 3360, 420, 6855, 3855);
    fondfournisseur->setAutoFillBackground(true);
    QPalette fond = fondfournisseur->palette();
    fond.setColor(QPalette::Window, QColor(255, 192, 128));
    fondfournisseur->setPalette(fond);
    fondfournisseur->hide();

    status = creerLabel(fondfournisseur, QStringLiteral("status"),
                        QStringLiteral("Modification en cours"), 0, 0, 3735, 495);
    QFont grand(QStringLiteral("Arial"), 18);
    status->setFont(grand);
    QPalette noir = status->palette();
    noir.setColor(QPalette::WindowText, Qt::black);
    status->setPalette(noir);

    labelfournisseur << creerLabel(fondfournisseur, QStringLiteral("labelfournisseur_0"),
                                   QStringLiteral("nom"), kGaucheLabel, kHaut0, kLargeurLabel,
                                   kHauteurLabel);
    labelfournisseur[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fournisseur << new QLineEdit(fondfournisseur);
    fournisseur[0]->setObjectName(QStringLiteral("fournisseur_0"));
    fournisseur[0]->setProperty("haut", kHaut0);
    placer(fournisseur[0], kGaucheBoite, kHaut0, kLargeurBoite, kHauteurBoite);
    labelfournisseur[0]->setBuddy(fournisseur[0]);

    ajouterfournisseur = new QPushButton(QStringLiteral("Ajouter fournisseur"), this);
    ajouterfournisseur->setObjectName(QStringLiteral("ajouterfournisseur"));
    placer(ajouterfournisseur, 3360, 4440, 2055, 495);
    validermodification = new QPushButton(QStringLiteral("Valider la modification"), this);
    validermodification->setObjectName(QStringLiteral("validermodification"));
    placer(validermodification, 5640, 4440, 2055, 495);

    connect(listefournisseur, &QListWidget::itemSelectionChanged, this,
            &FournisseursTab::listefournisseur_Click);
}

bool FournisseursTab::chargerListe() {
    QSqlQuery q(services_.bdd.connexion());
    if (Resultat<> r = executer(q, QStringLiteral("SELECT * FROM FOURNISSEURS")); !r) {
        services_.dialogues.message(
            QStringLiteral("problème d'ouverture de la table FOURNISSEURS") +
                QStringLiteral("\n\n") + r.raison() + u'.',
            titres::programme());
        return false;
    }
    const QSqlRecord colonnes = q.record();
    const int code = colonnes.indexOf(QStringLiteral("codefournisseur"));
    const int nom = colonnes.indexOf(QStringLiteral("nom"));
    while (q.next())
        listefournisseur->addItem(texteValeur(code >= 0 ? q.value(code) : QVariant()) +
                                  QStringLiteral(" | ") +
                                  texteValeur(nom >= 0 ? q.value(nom) : QVariant()));
    // The list ends at the first row that cannot be read; the log tells which.
    if (q.lastError().isValid())
        consigner(Resultat<>(echec(raisonSql(q.lastError()))),
                  QStringLiteral("liste des fournisseurs"));
    return true;
}

void FournisseursTab::placerElement(int i) {
    if (i == 0)
        return; // element 0 keeps its design place
    // Tops are reckoned in twips, kept on each box, so that pixel rounding does not add up.
    const int haut = fournisseur[i - 1]->property("haut").toInt() + kHauteurBoite + kEcart;
    fournisseur[i]->setProperty("haut", haut);
    placer(fournisseur[i], kGaucheBoite, haut, kLargeurBoite, kHauteurBoite);
    placer(labelfournisseur[i], kGaucheLabel, haut, kLargeurLabel, kHauteurLabel);
}

void FournisseursTab::listefournisseur_Click() {
    // The entry selected, by a click, the keyboard or assistive technology (which selects an
    // entry without making it the current one).
    const QList<QListWidgetItem*> choix = listefournisseur->selectedItems();
    const QString entree = choix.isEmpty() ? QString() : choix.first()->text();
    const QString code = champ(entree, QStringLiteral("|"), 1).trimmed();

    // The code is a bound value: text codes and numeric codes are both found.
    QSqlQuery q(services_.bdd.connexion());
    const QString sql = QStringLiteral("SELECT * FROM FOURNISSEURS WHERE codefournisseur = ?");
    Resultat<> lu = executer(q, sql, {code});
    bool ligne = lu && q.next();
    bool ok = false;
    const double numerique = code.toDouble(&ok);
    if (lu && !ligne && ok) {
        lu = executer(q, sql, {numerique});
        ligne = lu && q.next();
    }
    if (!lu) {
        fondfournisseur->hide();
        services_.dialogues.message(
            QStringLiteral("Le fournisseur « %1 » n'a pas pu être lu : %2.").arg(code, lu.raison()),
            titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
        return;
    }
    const QSqlRecord colonnes = q.record();
    for (int i = 0; i < colonnes.count(); ++i) {
        if (i >= fournisseur.size()) {
            auto* boite = new QLineEdit(fondfournisseur);
            boite->setObjectName(QStringLiteral("fournisseur_%1").arg(i));
            boite->setFont(fournisseur[0]->font());
            fournisseur << boite;
            auto* label = new QLabel(fondfournisseur);
            label->setObjectName(QStringLiteral("labelfournisseur_%1").arg(i));
            label->setFont(labelfournisseur[0]->font());
            label->setAlignment(labelfournisseur[0]->alignment());
            label->setBuddy(boite);
            labelfournisseur << label;
        }
        placerElement(i);
        fournisseur[i]->setVisible(true);
        if (ligne)
            fournisseur[i]->setText(texteValeur(q.value(i)));
        labelfournisseur[i]->setVisible(true);
        labelfournisseur[i]->setText(colonnes.fieldName(i));
    }
    fondfournisseur->show();
}
