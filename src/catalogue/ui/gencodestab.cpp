#include "catalogue/ui/gencodestab.h"

#include "common/journalisation.h"
#include "common/ui/fenetres.h"
#include "common/ui/twips.h"
#include "common/valeur.h"
#include "database/database.h"
#include "frame/dialogues.h"
#include "frame/services.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>

namespace {
template <typename T> T* controle(QWidget* parent, const char* nom) {
    auto* c = new T(parent);
    c->setObjectName(QLatin1String(nom));
    return c;
}

QPushButton* bouton(QWidget* parent, const char* nom, const QString& texte) {
    auto* b = controle<QPushButton>(parent, nom);
    b->setText(texte);
    return b;
}

// A box's caption, right-aligned in the captions' column, naming the box for the keyboard
// and for screen readers.
QLabel* legende(QWidget* parent, const char* nom, const QString& texte, QWidget* boite, int haut,
                int gauche = 2940, int largeur = 2400) {
    QLabel* l = creerLabel(parent, QLatin1String(nom), texte, gauche, haut, largeur, 315);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setBuddy(boite);
    boite->setAccessibleName(texte);
    return l;
}

// A key that puts a character into a box: letters, digits, punctuation, space, Backspace and
// Enter (and the control characters of Ctrl combinations), not the arrows, Delete or Tab.
bool produitCaractere(const QKeyEvent* k) {
    switch (k->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        return !k->text().isEmpty() && k->text() != QStringLiteral("\x7f");
    }
}

// Focus moves inside the window; switching to another window and back is not one.
bool changementInterne(const QFocusEvent* f) {
    return f->reason() != Qt::ActiveWindowFocusReason && f->reason() != Qt::PopupFocusReason;
}
} // namespace

GenCodesTab::GenCodesTab(Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    construire();
    valeursDeDepart();
    ordreClavier();
    relierEvenements();
}

void GenCodesTab::construire() {
    // The list column; the deliveries controls lie over its top.
    choisirdatelivraison =
        bouton(this, "choisirdatelivraison", QStringLiteral("Choisir une date de livraison"));
    placer(choisirdatelivraison, 120, 90, 2760, 375);
    ListeDesDates = controle<QComboBox>(this, "ListeDesDates");
    ListeDesDates->setEditable(true);
    ListeDesDates->lineEdit()->setPlaceholderText(QStringLiteral("Date de livraison"));
    ListeDesDates->setAccessibleName(QStringLiteral("Dates de livraison"));
    placer(ListeDesDates, 120, 525, 2760, 315);
    nombrereponses = creerLabel(this, QStringLiteral("nombrereponses"), QStringLiteral("1"), 120,
                                900, 2760, 255);
    ListeDesArrivees = controle<QListWidget>(this, "ListeDesArrivees");
    ListeDesArrivees->setUniformItemSizes(true);
    ListeDesArrivees->setAccessibleName(QStringLiteral("Articles"));
    placer(ListeDesArrivees, 120, 1200, 2760, 4560);
    recherche = controle<QLineEdit>(this, "recherche");
    recherche->setAccessibleName(QStringLiteral("Recherche par libellé"));
    placer(recherche, 120, 5850, 2760, 315);
    gorecherche = bouton(this, "gorecherche", QStringLiteral("Rech"));
    placer(gorecherche, 120, 6240, 855, 375);
    rechager = bouton(this, "rechager", QStringLiteral("Rech sans condition"));
    placer(rechager, 1035, 6240, 1845, 375);

    // The article form: the captions right of the list, the boxes beside them.
    CodeArticle = controle<QLineEdit>(this, "CodeArticle");
    placer(CodeArticle, 5400, 120, 1860, 315);
    Label2 = legende(this, "Label2", QStringLiteral("Recherche de code barres"), CodeArticle, 120);
    NouvelArticle = bouton(this, "NouvelArticle", QStringLiteral("Créer un nouveau CODE"));
    placer(NouvelArticle, 7380, 90, 2520, 375);

    NombreArticles = controle<QLineEdit>(this, "NombreArticles");
    placer(NombreArticles, 5400, 540, 720, 315);
    Label5 = legende(this, "Label5", QStringLiteral("Nombre à ajouter"), NombreArticles, 540);
    totalarticle = creerLabel(this, QStringLiteral("totalarticle"), {}, 6240, 540, 1500, 315);
    aimprimer = controle<QLineEdit>(this, "aimprimer");
    placer(aimprimer, 9000, 540, 900, 315);
    Label13 = legende(this, "Label13", QStringLiteral("A imprimer"), aimprimer, 540, 7800, 1140);

    Libelle = controle<QLineEdit>(this, "Libelle");
    placer(Libelle, 5400, 960, 4500, 315);
    Label6 = legende(this, "Label6", QStringLiteral("Libellé"), Libelle, 960);
    taille = controle<QLineEdit>(this, "taille");
    taille->setMaxLength(kLongueurTaille);
    placer(taille, 5400, 1380, 720, 315);
    Label7 = legende(this, "Label7", QStringLiteral("Taille"), taille, 1380);
    couleur = controle<QLineEdit>(this, "couleur");
    couleur->setMaxLength(kLongueurCouleur);
    placer(couleur, 5400, 1800, 1335, 315);
    Label8 = legende(this, "Label8", QStringLiteral("Couleur"), couleur, 1800);
    prixdeventettc = controle<QLineEdit>(this, "prixdeventettc");
    placer(prixdeventettc, 5400, 2220, 1335, 315);
    Label9 = legende(this, "Label9", QStringLiteral("Prix Vente TTC"), prixdeventettc, 2220);
    tauxtvavente = controle<QLineEdit>(this, "tauxtvavente");
    placer(tauxtvavente, 5400, 2640, 1335, 315);
    Label10 = legende(this, "Label10", QStringLiteral("Taux TVA vente"), tauxtvavente, 2640);
    prixhaht = controle<QLineEdit>(this, "prixhaht");
    placer(prixhaht, 5400, 3060, 1335, 315);
    Label11 = legende(this, "Label11", QStringLiteral("Prix achat HT"), prixhaht, 3060);
    tauxtvaha = controle<QLineEdit>(this, "tauxtvaha");
    placer(tauxtvaha, 5400, 3480, 1335, 315);
    Label12 = legende(this, "Label12", QStringLiteral("Taux TVA HA"), tauxtvaha, 3480);

    // The right column.
    fourn = controle<QComboBox>(this, "fourn");
    fourn->setEditable(true);
    fourn->setInsertPolicy(QComboBox::NoInsert);
    placer(fourn, 6960, 1680, 2940, 315);
    Label17 = legende(this, "Label17", QStringLiteral("Fournisseur"), fourn, 1380, 6960, 2940);
    Label17->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    datefacture = controle<QLineEdit>(this, "datefacture");
    placer(datefacture, 6960, 2400, 1500, 315);
    Label19 =
        legende(this, "Label19", QStringLiteral("Date Facture HA"), datefacture, 2100, 6960, 2940);
    Label19->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label18 =
        creerLabel(this, QStringLiteral("Label18"),
                   QStringLiteral("DATE FACTURE + zone commentaire + recherche multicritères"),
                   6960, 2820, 2940, 1215);
    Label18->setWordWrap(true);

    // The buttons, bottom right.
    imprimerlesetiquettes =
        bouton(this, "imprimerlesetiquettes", QStringLiteral("Imprimer 1 feuilles d'Etiquettes"));
    placer(imprimerlesetiquettes, 3600, 4920, 3000, 495);
    supprimer = bouton(this, "supprimer", QStringLiteral("Supprimer"));
    placer(supprimer, 3600, 5520, 3000, 495);
    validation = bouton(this, "validation", QStringLiteral("Validation"));
    placer(validation, 6840, 4920, 3060, 495);
    Annulersaisie = bouton(this, "Annulersaisie", QStringLiteral("Annuler saisie"));
    placer(Annulersaisie, 6840, 5520, 3060, 495);
}

void GenCodesTab::ordreClavier() {
    const QList<QWidget*> ordre{ListeDesArrivees,
                                ListeDesDates,
                                choisirdatelivraison,
                                CodeArticle,
                                NouvelArticle,
                                NombreArticles,
                                Libelle,
                                taille,
                                couleur,
                                prixdeventettc,
                                tauxtvavente,
                                prixhaht,
                                tauxtvaha,
                                validation,
                                aimprimer,
                                imprimerlesetiquettes,
                                recherche,
                                gorecherche,
                                Annulersaisie,
                                fourn,
                                rechager,
                                supprimer,
                                datefacture};
    for (qsizetype i = 1; i < ordre.size(); ++i)
        setTabOrder(ordre[i - 1], ordre[i]);
}

void GenCodesTab::relierEvenements() {
    for (QWidget* w : {static_cast<QWidget*>(CodeArticle), static_cast<QWidget*>(recherche)})
        w->installEventFilter(this);
    for (QLineEdit* boite : {aimprimer, couleur, Libelle, NombreArticles, prixdeventettc, prixhaht,
                             taille, tauxtvaha, tauxtvavente})
        boite->installEventFilter(this);
    fourn->installEventFilter(this);
    fourn->lineEdit()->installEventFilter(this);

    connect(fourn, &QComboBox::activated, this, &GenCodesTab::modifierDonnees);
    // Typing keeps to the box's length; a longer stored text stays whole until it is shortened.
    for (auto [boite, limite] : {std::pair{taille, kLongueurTaille}, {couleur, kLongueurCouleur}})
        connect(boite, &QLineEdit::textEdited, boite,
                [boite, limite] { boite->setMaxLength(qMax<int>(limite, boite->text().size())); });
    // An entry chosen (clicked, or reached with the arrow keys) loads its article. The focus
    // arriving in the list makes its first entry current without choosing it: that loads
    // nothing, so an article shown by its code stays in the form.
    connect(ListeDesArrivees, &QListWidget::itemSelectionChanged, this, [this] {
        if (rangChoisi() >= 0)
            ListeDesArrivees_Click();
    });
    // A click on the entry already chosen loads it again too.
    ListeDesArrivees->viewport()->installEventFilter(this);
    connect(ListeDesArrivees, &QListWidget::clicked, this, [this](const QModelIndex& i) {
        if (i.row() >= 0 && i.row() == rangAvantClic_)
            ListeDesArrivees_Click();
    });
    connect(Annulersaisie, &QPushButton::clicked, this, &GenCodesTab::Annulersaisie_Click);
    connect(validation, &QPushButton::clicked, this, &GenCodesTab::validation_Click);
    connect(NouvelArticle, &QPushButton::clicked, this, &GenCodesTab::NouvelArticle_Click);
    connect(imprimerlesetiquettes, &QPushButton::clicked, this,
            &GenCodesTab::imprimerlesetiquettes_Click);
    connect(supprimer, &QPushButton::clicked, this, &GenCodesTab::supprimer_Click);
    connect(gorecherche, &QPushButton::clicked, this, &GenCodesTab::gorecherche_Click);
    connect(rechager, &QPushButton::clicked, this, &GenCodesTab::rechargerListe);
}

bool GenCodesTab::eventFilter(QObject* objet, QEvent* e) {
    if (objet == ListeDesArrivees->viewport()) {
        if (e->type() == QEvent::MouseButtonPress)
            rangAvantClic_ = rangChoisi();
        return false;
    }
    QWidget* w = qobject_cast<QWidget*>(objet);
    if (!w)
        return false;
    if (w == fourn->lineEdit())
        w = fourn;
    switch (e->type()) {
    case QEvent::FocusIn: {
        const auto* f = static_cast<QFocusEvent*>(e);
        if (w == recherche || !changementInterne(f))
            break;
        selectionnerTout(w);
        // A click places the cursor after the focus arrives: select again once it has.
        if (f->reason() == Qt::MouseFocusReason)
            QMetaObject::invokeMethod(
                w, [w] { selectionnerTout(w); }, Qt::QueuedConnection);
        break;
    }
    case QEvent::FocusOut:
        if (w == CodeArticle && changementInterne(static_cast<QFocusEvent*>(e)))
            CodeArticle_LostFocus();
        break;
    case QEvent::KeyPress: {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (w == CodeArticle) {
            if (estToucheEntree(k))
                CodeArticle_KeyPress(13);
        } else if (w == recherche) {
            if (estToucheEntree(k))
                recherche_KeyPress(13);
        } else if (produitCaractere(k)) {
            modifierDonnees();
        }
        break;
    }
    default:
        break;
    }
    return false;
}

void GenCodesTab::chargerFournisseurs() {
    QSqlQuery q(services_.bdd.connexion());
    q.setForwardOnly(true);
    // Without the names the box stays empty; the names can still be typed.
    const Resultat<> r =
        executer(q, QStringLiteral("SELECT fournisseur FROM ARTICLES GROUP BY fournisseur"));
    consigner(r, QStringLiteral("noms des fournisseurs"));
    if (!r)
        return;
    while (q.next())
        fourn->addItem(sansNullTexte(q.value(0)));
    if (q.lastError().isValid())
        consigner(Resultat<>(echec(raisonSql(q.lastError()))),
                  QStringLiteral("noms des fournisseurs"));
    fourn->setEditText(QString());
}

void GenCodesTab::signaler(const QString& texte) {
    services_.dialogues.message(texte, titres::programme(), Dialogues::Boutons::Ok,
                                Dialogues::Icone::Avertissement);
}
