#include "register/ui/historiquetickets.h"

#include "common/formats.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "platform/horloge.h"
#include "printing/rolesimprimantes.h"
#include "printing/serviceimpression.h"
#include "printing/surface.h"
#include "printing/ui/picturebox.h"
#include "register/recu.h"
#include "register/ui/mentionsboutique.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QString titre() {
    return QStringLiteral("Historique des tickets");
}

QPushButton* bouton(QWidget* parent, const QString& nom, const QString& texte) {
    auto* b = new QPushButton(texte, parent);
    b->setObjectName(nom);
    // Enter belongs to the search box: no button of the window is pressed by it.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QString genreAffiche(const historique::TicketTrouve& t) {
    return t.genre == textefiscal::Genre::Annulation
               ? QStringLiteral("Annulation du n° %1").arg(t.annule)
               : QStringLiteral("Vente");
}
} // namespace

HistoriqueTickets::HistoriqueTickets(Services& services, QString caisse, QString vendeur,
                                     QWidget* parent)
    : QDialog(parent), services_(services), caisse_(std::move(caisse)),
      vendeur_(std::move(vendeur)) {
    setObjectName(QStringLiteral("HistoriqueTickets"));
    setWindowTitle(titre());
    construire();
    chercher();
}

HistoriqueTickets::~HistoriqueTickets() = default;

void HistoriqueTickets::construire() {
    auto* legende =
        new QLabel(QStringLiteral("N° de ticket, date (jj/mm/aaaa) ou montant (12,50) :"), this);
    legende->setObjectName(QStringLiteral("legendeRecherche"));
    recherche = new QLineEdit(this);
    recherche->setObjectName(QStringLiteral("recherche"));
    recherche->setMaxLength(200);
    recherche->setAccessibleName(QStringLiteral("Recherche"));
    legende->setBuddy(recherche);
    auto* chercherBouton = bouton(this, QStringLiteral("chercher"), QStringLiteral("Chercher"));
    avis = new QLabel(this);
    avis->setObjectName(QStringLiteral("avis"));
    avis->setWordWrap(true);
    QPalette rouge = avis->palette();
    rouge.setColor(QPalette::WindowText, QColor(190, 0, 0));
    avis->setPalette(rouge);

    tickets = new QTableWidget(0, 4, this);
    tickets->setObjectName(QStringLiteral("tickets"));
    tickets->setAccessibleName(QStringLiteral("Tickets trouvés"));
    tickets->setHorizontalHeaderLabels({QStringLiteral("N°"), QStringLiteral("Date"),
                                        QStringLiteral("Total"), QStringLiteral("Genre")});
    tickets->setSelectionBehavior(QAbstractItemView::SelectRows);
    tickets->setSelectionMode(QAbstractItemView::SingleSelection);
    tickets->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tickets->verticalHeader()->hide();
    tickets->horizontalHeader()->setStretchLastSection(true);

    recu = new PictureBox;
    recu->setObjectName(QStringLiteral("recu"));
    recu->setAccessibleName(QStringLiteral("Reçu du ticket"));
    recu->resize(300, 400);
    defilement = new QScrollArea(this);
    defilement->setObjectName(QStringLiteral("defilementRecu"));
    defilement->setWidget(recu);
    defilement->setMinimumWidth(330);
    defilement->setBackgroundRole(QPalette::Dark);

    reimprimerBouton =
        bouton(this, QStringLiteral("reimprimer"), QStringLiteral("Réimprimer (duplicata)"));
    annulerBouton =
        bouton(this, QStringLiteral("annulerTicket"), QStringLiteral("Annuler ce ticket"));
    auto* fermer = bouton(this, QStringLiteral("fermer"), QStringLiteral("Fermer"));

    auto* ligneRecherche = new QHBoxLayout;
    ligneRecherche->addWidget(recherche, 1);
    ligneRecherche->addWidget(chercherBouton);
    auto* gauche = new QVBoxLayout;
    gauche->addWidget(legende);
    gauche->addLayout(ligneRecherche);
    gauche->addWidget(avis);
    gauche->addWidget(tickets, 1);
    auto* centre = new QHBoxLayout;
    centre->addLayout(gauche, 1);
    centre->addWidget(defilement);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(reimprimerBouton);
    boutons->addWidget(annulerBouton);
    boutons->addStretch(1);
    boutons->addWidget(fermer);
    auto* tout = new QVBoxLayout(this);
    tout->addLayout(centre, 1);
    tout->addLayout(boutons);
    resize(860, 560);

    connect(recherche, &QLineEdit::returnPressed, this, &HistoriqueTickets::chercher);
    connect(chercherBouton, &QPushButton::clicked, this, &HistoriqueTickets::chercher);
    connect(tickets, &QTableWidget::itemSelectionChanged, this, &HistoriqueTickets::montrer);
    connect(reimprimerBouton, &QPushButton::clicked, this, &HistoriqueTickets::reimprimer);
    connect(annulerBouton, &QPushButton::clicked, this, &HistoriqueTickets::annuler);
    connect(fermer, &QPushButton::clicked, this, &QDialog::reject);
}

void HistoriqueTickets::avertir(const QString& texte) {
    avis->setText(texte);
}

void HistoriqueTickets::chercher() {
    const Resultat<QList<historique::TicketTrouve>> trouves =
        historique::chercher(services_.bdd, recherche->text());
    tickets->setRowCount(0);
    if (!trouves) {
        avertir(trouves.raison());
        montrer();
        return;
    }
    if (trouves->isEmpty())
        avertir(QStringLiteral("Aucun ticket terminé ne correspond."));
    else if (trouves->size() >= historique::kMaximumTrouves)
        avertir(QStringLiteral("Seuls les %1 tickets les plus récents sont listés.")
                    .arg(historique::kMaximumTrouves));
    else
        avertir(QString());
    tickets->setRowCount(int(trouves->size()));
    for (int i = 0; i < trouves->size(); ++i) {
        const historique::TicketTrouve& t = trouves->at(i);
        auto* numero = new QTableWidgetItem(QString::number(t.numero));
        numero->setData(Qt::UserRole, t.numero);
        tickets->setItem(i, 0, numero);
        tickets->setItem(i, 1,
                         new QTableWidgetItem(dateCourte(t.date.date()) + u' ' +
                                              t.date.time().toString(QStringLiteral("HH:mm"))));
        auto* total = new QTableWidgetItem(formatEuros(t.total));
        total->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tickets->setItem(i, 2, total);
        tickets->setItem(i, 3, new QTableWidgetItem(genreAffiche(t)));
    }
    tickets->resizeColumnsToContents();
    if (!trouves->isEmpty())
        tickets->selectRow(0);
    else
        montrer();
}

std::optional<qint64> HistoriqueTickets::ticketMontre() const {
    if (!montre_)
        return std::nullopt;
    return montre_->entete.numero;
}

void HistoriqueTickets::montrer() {
    montre_.reset();
    const QList<QTableWidgetItem*> choisis = tickets->selectedItems();
    Surface& s = recu->surface();
    if (!choisis.isEmpty()) {
        const qint64 numero =
            tickets->item(choisis.first()->row(), 0)->data(Qt::UserRole).toLongLong();
        Resultat<historique::TicketClos> t = historique::lire(services_.bdd, numero);
        if (t)
            montre_ = std::move(*t);
        else
            avertir(QStringLiteral("Le ticket n° %1 n'a pas pu être lu : %2.")
                        .arg(numero)
                        .arg(t.raison()));
    }
    reimprimerBouton->setEnabled(montre_.has_value());
    annulerBouton->setEnabled(montre_ && montre_->entete.genre == textefiscal::Genre::Vente &&
                              !montre_->annulePar);
    if (!montre_) {
        s.Cls();
        return;
    }
    // The receipt as it was printed when the ticket closed, dated then.
    const Image& entete =
        entete_.charger(services_.installation.chemin(EnteteTicket::nomFichier()));
    ::imprimerTicket(s, montre_->lignes, entete, montre_->entete.date);
    imprimerMentions(
        s, montre_->lignes,
        mentionsBoutique(services_.reglages(), montre_->entete.numero, montre_->signature));
    if (montre_->annulePar)
        s.Print(QStringLiteral("Annulé par le ticket n° %1").arg(montre_->annulePar));
    recu->setHeight(s.CurrentY() + 400);
}

Resultat<> HistoriqueTickets::imprimerDuplicata(const historique::TicketClos& t, int rang) {
    services_.imprimantes.SelectPrinter(services_.roles().ticket());
    std::unique_ptr<TravailImpression> travail =
        services_.imprimantes.commencer(FormatPapier::Ticket);
    if (!travail)
        return echec(QStringLiteral("aucune imprimante n'est disponible"));
    const Image& entete =
        entete_.charger(services_.installation.chemin(EnteteTicket::nomFichier()));
    ::imprimerTicket(travail->surface(), t.lignes, entete, t.entete.date);
    MentionsRecu m = mentionsBoutique(services_.reglages(), t.entete.numero, t.signature);
    m.duplicata = rang;
    imprimerMentions(travail->surface(), t.lignes, m);
    return travail->EndDoc();
}

void HistoriqueTickets::reimprimer() {
    if (!montre_)
        return;
    const historique::TicketClos t = *montre_;
    // The duplicate is in the journal before it is on paper.
    const Resultat<int> rang = historique::consignerDuplicata(
        services_.bdd, services_.cle, t.entete.numero, services_.horloge.maintenant());
    if (!rang) {
        services_.dialogues.message(QStringLiteral("Le duplicata du ticket n° %1 n'a pas pu être "
                                                   "consigné : il n'est pas imprimé (%2).")
                                        .arg(t.entete.numero)
                                        .arg(rang.raison()),
                                    titre(), Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
        return;
    }
    if (Resultat<> r = imprimerDuplicata(t, *rang); !r)
        services_.dialogues.message(QStringLiteral("Le duplicata n° %1 du ticket n° %2 n'a pas pu "
                                                   "être imprimé : %3.")
                                        .arg(*rang)
                                        .arg(t.entete.numero)
                                        .arg(r.raison()),
                                    titre(), Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
    else
        avertir(QStringLiteral("Duplicata n° %1 du ticket n° %2 imprimé.")
                    .arg(*rang)
                    .arg(t.entete.numero));
}

void HistoriqueTickets::annuler() {
    if (!montre_)
        return;
    const qint64 numero = montre_->entete.numero;
    if (services_.dialogues.message(
            QStringLiteral("Annuler le ticket n° %1 de %2 ? Un ticket d'annulation sera "
                           "enregistré et les articles remis en stock.")
                .arg(numero)
                .arg(formatEuros(montre_->entete.total)),
            titre(), Dialogues::Boutons::OuiNon, Dialogues::Icone::Question,
            Dialogues::Reponse::Non) != Dialogues::Reponse::Oui)
        return;
    historique::Annulation a;
    a.numero = numero;
    a.quand = services_.horloge.maintenant();
    a.caisse = caisse_;
    a.vendeur = vendeur_;
    const Resultat<qint64> r = historique::annuler(services_.bdd, services_.cle, a);
    if (!r) {
        services_.dialogues.message(r.raison(), titre(), Dialogues::Boutons::Ok,
                                    Dialogues::Icone::Arret);
    } else {
        services_.dialogues.message(
            QStringLiteral("Le ticket n° %1 est annulé par le ticket n° %2.").arg(numero).arg(*r),
            titre(), Dialogues::Boutons::Ok, Dialogues::Icone::Information);
    }
    // The list shows the cancelling ticket (or the refusal's state) again.
    recherche->setText(QString::number(r ? *r : numero));
    chercher();
}
