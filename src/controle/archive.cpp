#include "controle/archive.h"

#include "controle/chainetickets.h"
#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "fiscal/evenements.h"
#include "fiscal/textefiscal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>

namespace archive {

namespace {

const QStringList kFichiers = {QStringLiteral("tickets.csv"), QStringLiteral("lignes.csv"),
                               QStringLiteral("clotures.csv"), QStringLiteral("evenements.csv")};

QByteArray champ(const QVariant& v) {
    if (v.isNull())
        return {};
    QByteArray t = v.toString().toUtf8();
    t.replace('"', "\"\"");
    return '"' + t + '"';
}

// A column's name as the shop's file spells it: a server gives the names in small letters.
QString nomDuFichier(const QString& nom) {
    static const QStringList noms = {QStringLiteral("NumeroTicket"), QStringLiteral("Date"),
                                     QStringLiteral("TotalTTC"),     QStringLiteral("TicketClos"),
                                     QStringLiteral("Genre"),        QStringLiteral("TicketAnnule"),
                                     QStringLiteral("Chainage"),     QStringLiteral("Signature"),
                                     QStringLiteral("Id"),           QStringLiteral("CodeArticle"),
                                     QStringLiteral("PrixVenteTTC"), QStringLiteral("TVA"),
                                     QStringLiteral("TauxTVA"),      QStringLiteral("Numero"),
                                     QStringLiteral("Debut"),        QStringLiteral("Fin"),
                                     QStringLiteral("Premier"),      QStringLiteral("Dernier"),
                                     QStringLiteral("Tickets"),      QStringLiteral("GrandTotal"),
                                     QStringLiteral("Texte"),        QStringLiteral("Detail"),
                                     QStringLiteral("ChaineCaisse")};
    for (const QString& n : noms)
        if (n.compare(nom, Qt::CaseInsensitive) == 0)
            return n;
    return nom;
}

// The rows of `sql` as CSV, the columns' names first.
Resultat<QByteArray> csv(const Database& bdd, const QString& sql, const QVariantList& valeurs) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, sql, valeurs); !r)
        return r.echec();
    QByteArray sortie;
    const QSqlRecord colonnes = q.record();
    const bool serveur = bdd.moteur() == Database::Moteur::PostgreSQL;
    for (int i = 0; i < colonnes.count(); ++i)
        sortie += (i ? ";" : "") +
                  champ(serveur ? nomDuFichier(colonnes.fieldName(i)) : colonnes.fieldName(i));
    sortie += "\r\n";
    while (q.next()) {
        for (int i = 0; i < colonnes.count(); ++i)
            sortie += (i ? ";" : "") + champ(q.value(i));
        sortie += "\r\n";
    }
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return sortie;
}

Resultat<> ecrire(const QString& chemin, const QByteArray& contenu) {
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) || f.write(contenu) != contenu.size() || !f.commit())
        return echec(QStringLiteral("le fichier %1 ne peut pas être écrit : %2")
                         .arg(QDir::toNativeSeparators(chemin), f.errorString()));
    return {};
}

QByteArray sha256(const QByteArray& contenu) {
    return QCryptographicHash::hash(contenu, QCryptographicHash::Sha256).toHex();
}

// A CSV file read back: each field, Null when empty and unquoted.
struct Table {
    QHash<QString, int> colonne;
    QList<QList<QVariant>> lignes;
};

Resultat<Table> lireCsv(const QByteArray& contenu, const QString& nom) {
    Table t;
    QList<QVariant> ligne;
    QByteArray valeur;
    bool guillemets = false, entre = false;
    qsizetype i = 0;
    const qsizetype n = contenu.size();
    auto finChamp = [&] {
        ligne << (entre ? QVariant(QString::fromUtf8(valeur)) : QVariant());
        valeur.clear();
        entre = false;
    };
    while (i < n) {
        const char c = contenu[i];
        if (guillemets) {
            if (c == '"' && i + 1 < n && contenu[i + 1] == '"') {
                valeur += '"';
                i += 2;
                continue;
            }
            if (c == '"')
                guillemets = false;
            else
                valeur += c;
            ++i;
            continue;
        }
        if (c == '"') {
            if (entre || !valeur.isEmpty())
                return echec(QStringLiteral("le fichier %1 est mal formé").arg(nom));
            guillemets = entre = true;
        } else if (c == ';') {
            finChamp();
        } else if (c == '\r' && i + 1 < n && contenu[i + 1] == '\n') {
            finChamp();
            t.lignes << ligne;
            ligne.clear();
            ++i;
        } else {
            return echec(QStringLiteral("le fichier %1 est mal formé").arg(nom));
        }
        ++i;
    }
    if (guillemets || !ligne.isEmpty() || entre)
        return echec(QStringLiteral("le fichier %1 est mal formé").arg(nom));
    if (t.lignes.isEmpty())
        return echec(QStringLiteral("le fichier %1 n'a pas de ligne d'en-tête").arg(nom));
    const QList<QVariant> entete = t.lignes.takeFirst();
    for (int k = 0; k < entete.size(); ++k)
        t.colonne.insert(entete[k].toString(), k);
    for (const QList<QVariant>& l : std::as_const(t.lignes))
        if (l.size() != entete.size())
            return echec(QStringLiteral("le fichier %1 est mal formé").arg(nom));
    return t;
}

// The stretch of a till's chain in an archive: its first and last places, and the signature
// of the ticket before the first (empty when it is the chain's first ticket).
struct Troncon {
    QString caisse;
    qint64 premier = 0;
    qint64 dernier = -1;
    QByteArray precedente;
};

// A till's name the manifest can hold in its line as it is.
bool nomDeCaisseLisible(const QString& caisse) {
    return !caisse.isEmpty() && !caisse.contains(u';') && !caisse.contains(u'=') &&
           !caisse.contains(u'\n') && !caisse.contains(u'\r');
}

// "CAISSE=2;PREMIER=5;PRECEDENTE=<signature>"
Resultat<Troncon> lireTroncon(const QByteArray& ligne) {
    const QList<QByteArray> champs = ligne.split(';');
    if (champs.size() != 3 || !champs[0].startsWith("CAISSE=") ||
        !champs[1].startsWith("PREMIER=") || !champs[2].startsWith("PRECEDENTE="))
        return echec(
            QStringLiteral("le manifeste est mal formé : %1").arg(QString::fromUtf8(ligne)));
    Troncon tr;
    tr.caisse = QString::fromUtf8(champs[0].mid(7));
    tr.premier = champs[1].mid(8).toLongLong();
    tr.precedente = champs[2].mid(11);
    return tr;
}

QString nomArchive(QDate du, QDate au) {
    return QStringLiteral("archive_%1_%2")
        .arg(du.toString(QStringLiteral("yyyyMMdd")), au.toString(QStringLiteral("yyyyMMdd")));
}

} // namespace

Resultat<QString> creer(const Database& bdd, const CleFiscale& cle, const QString& dossier,
                        QDate du, QDate au, const QDateTime& quand) {
    if (!du.isValid() || !au.isValid() || au < du)
        return echec(QStringLiteral("la période de l'archive n'est pas valable"));
    const QString nom = nomArchive(du, au);
    const QString chemin = QDir(dossier).filePath(nom);
    if (QFileInfo::exists(chemin))
        return echec(
            QStringLiteral("l'archive %1 existe déjà").arg(QDir::toNativeSeparators(chemin)));
    const QString debut = du.toString(QStringLiteral("yyyy-MM-dd"));
    const QString fin = au.addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
    // One read transaction: every file shows the database at one moment.
    Transaction t(bdd);
    if (!t.debut())
        return t.debut().echec();
    // The stretch of each till's chain closed in the period, whole, in the tills' names order.
    QSqlQuery q(bdd.connexion());
    if (Resultat<> r = executer(q,
                                QStringLiteral("SELECT coalesce(ChaineCaisse, '1'), min(Chainage), "
                                               "max(Chainage) FROM TICKETS WHERE Chainage IS NOT "
                                               "NULL AND Date >= ? AND Date < ? GROUP BY "
                                               "coalesce(ChaineCaisse, '1')"),
                                {debut, fin});
        !r)
        return r.echec();
    QList<Troncon> troncons;
    while (q.next())
        troncons << Troncon{
            q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toLongLong(), {}};
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    std::sort(troncons.begin(), troncons.end(),
              [](const Troncon& a, const Troncon& b) { return a.caisse < b.caisse; });
    for (Troncon& tr : troncons) {
        if (!nomDeCaisseLisible(tr.caisse))
            return echec(QStringLiteral("la caisse « %1 » a un nom que l'archive ne peut pas "
                                        "écrire")
                             .arg(tr.caisse));
        if (tr.premier <= 1)
            continue;
        if (Resultat<> r =
                executer(q,
                         QStringLiteral("SELECT Signature FROM TICKETS WHERE "
                                        "coalesce(ChaineCaisse, '1') = ? AND Chainage = ?"),
                         {tr.caisse, tr.premier - 1});
            !r)
            return r.echec();
        if (q.next())
            tr.precedente = q.value(0).toString().toLatin1();
    }
    // The event before the period's first one, whose signature the first one is chained to.
    QByteArray evenementPrecedent;
    if (Resultat<> r = executer(q,
                                QStringLiteral("SELECT Signature FROM EVENEMENTS WHERE Numero = "
                                               "(SELECT min(Numero) - 1 FROM EVENEMENTS WHERE "
                                               "Date >= ? AND Date < ?)"),
                                {debut, fin});
        !r)
        return r.echec();
    if (q.next())
        evenementPrecedent = q.value(0).toString().toLatin1();
    q.finish();
    // The tickets of every stretch, and their lines.
    QStringList parCaisse;
    QVariantList valeurs;
    for (const Troncon& tr : std::as_const(troncons)) {
        parCaisse << QStringLiteral(
            "(coalesce(%1ChaineCaisse, '1') = ? AND %1Chainage BETWEEN ? AND ?)");
        valeurs << tr.caisse << tr.premier << tr.dernier;
    }
    auto dansLesTroncons = [&](const QString& table) {
        return troncons.isEmpty() ? QStringLiteral("1 = 0")
                                  : QStringLiteral("%1Chainage IS NOT NULL AND (").arg(table) +
                                        parCaisse.join(QStringLiteral(" OR ")).arg(table) + u')';
    };
    QList<Resultat<QByteArray>> contenus;
    contenus << csv(bdd,
                    QStringLiteral("SELECT * FROM TICKETS WHERE ") + dansLesTroncons(QString()) +
                        QStringLiteral(" ORDER BY coalesce(ChaineCaisse, '1'), Chainage"),
                    valeurs);
    contenus << csv(bdd,
                    QStringLiteral("SELECT V.* FROM VENTES V JOIN TICKETS T ON T.NumeroTicket = "
                                   "V.NumeroTicket WHERE ") +
                        dansLesTroncons(QStringLiteral("T.")) +
                        QStringLiteral(" ORDER BY V.NumeroTicket, V.Id"),
                    valeurs);
    contenus << csv(bdd,
                    QStringLiteral("SELECT * FROM CLOTURES WHERE Date >= ? AND Date < ? ORDER BY "
                                   "Numero"),
                    {debut, fin});
    contenus << csv(bdd,
                    QStringLiteral("SELECT * FROM EVENEMENTS WHERE Date >= ? AND Date < ? ORDER "
                                   "BY Numero"),
                    {debut, fin});
    QByteArray manif = "ARCHIVE;DU=" + debut.toLatin1() +
                       ";AU=" + au.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + "\n";
    // The first till's stretch as a shop of one till has always written it (none: place 0),
    // then each other till's.
    Troncon premiere;
    premiere.caisse = QStringLiteral("1");
    for (const Troncon& tr : std::as_const(troncons))
        if (tr.caisse == premiere.caisse)
            premiere = tr;
    manif += "PREMIER=" + QByteArray::number(premiere.premier) + "\n";
    manif += "PRECEDENTE=" + premiere.precedente + "\n";
    for (const Troncon& tr : std::as_const(troncons))
        if (tr.caisse != premiere.caisse)
            manif += "CAISSE=" + tr.caisse.toUtf8() + ";PREMIER=" + QByteArray::number(tr.premier) +
                     ";PRECEDENTE=" + tr.precedente + "\n";
    manif += "EVENEMENT_PRECEDENT=" + evenementPrecedent + "\n";
    for (int i = 0; i < kFichiers.size(); ++i) {
        if (!contenus[i])
            return contenus[i].echec();
        manif += sha256(*contenus[i]) + "  " + kFichiers[i].toLatin1() + "\n";
    }
    const Resultat<QByteArray> signature = cle.signer(manif);
    if (!signature)
        return signature.echec();
    if (!QDir().mkpath(chemin))
        return echec(QStringLiteral("le dossier %1 ne peut pas être créé")
                         .arg(QDir::toNativeSeparators(chemin)));
    const QDir d(chemin);
    for (int i = 0; i < kFichiers.size(); ++i)
        if (Resultat<> r = ecrire(d.filePath(kFichiers[i]), *contenus[i]); !r)
            return r.echec();
    for (const auto& [fichier, contenu] :
         {std::pair{manifeste(), manif}, std::pair{signatureManifeste(), *signature + "\n"},
          std::pair{CleFiscale::fichierPublic(), cle.publiquePem()}})
        if (Resultat<> r = ecrire(d.filePath(fichier), contenu); !r)
            return r.echec();
    if (Resultat<> r = t.valider(); !r)
        return r.echec();
    if (Resultat<qint64> e = evenements::consigner(
            bdd, cle, evenements::archive(),
            QStringLiteral("%1 SHA256=%2").arg(nom, QString::fromLatin1(sha256(manif))), quand);
        !e)
        return e.echec();
    return chemin;
}

Resultat<verification::Bilan> verifier(const QString& dossier,
                                       const std::optional<ClePublique>& cle) {
    const QDir d(dossier);
    auto lire = [&](const QString& nom) -> Resultat<QByteArray> {
        QFile f(d.filePath(nom));
        if (!f.open(QIODevice::ReadOnly))
            return echec(QStringLiteral("le fichier %1 de l'archive ne peut pas être lu : %2")
                             .arg(nom, f.errorString()));
        return f.readAll();
    };
    std::optional<ClePublique> publique = cle;
    if (!publique) {
        const Resultat<QByteArray> pem = lire(CleFiscale::fichierPublic());
        if (!pem)
            return pem.echec();
        Resultat<ClePublique> c = ClePublique::lire(*pem);
        if (!c)
            return c.echec();
        publique = *c;
    }
    const Resultat<QByteArray> manif = lire(manifeste());
    if (!manif)
        return manif.echec();
    const Resultat<QByteArray> sig = lire(signatureManifeste());
    if (!sig)
        return sig.echec();
    verification::Bilan bilan;
    const Resultat<bool> signe = publique->verifier(*manif, sig->trimmed());
    if (!signe)
        return signe.echec();
    if (!*signe) {
        bilan.echec = QStringLiteral("manifeste : sa signature ne correspond pas");
        return bilan;
    }
    // Each till's stretch: the first till's in its lines of old, each other's in one line.
    QMap<QString, Troncon> troncons;
    Troncon premiere;
    premiere.caisse = QStringLiteral("1");
    QByteArray evenementPrecedent;
    QHash<QString, QByteArray> empreinte;
    for (const QByteArray& l : manif->split('\n')) {
        if (l.startsWith("PREMIER="))
            premiere.premier = l.mid(8).toLongLong();
        else if (l.startsWith("PRECEDENTE="))
            premiere.precedente = l.mid(11);
        else if (l.startsWith("CAISSE=")) {
            const Resultat<Troncon> tr = lireTroncon(l);
            if (!tr)
                return tr.echec();
            troncons.insert(tr->caisse, *tr);
        } else if (l.startsWith("EVENEMENT_PRECEDENT="))
            evenementPrecedent = l.mid(20);
        else if (l.size() > 66 && l.mid(64, 2) == "  ")
            empreinte.insert(QString::fromUtf8(l.mid(66)), l.left(64));
    }
    QHash<QString, Table> tables;
    for (const QString& nom : kFichiers) {
        const Resultat<QByteArray> contenu = lire(nom);
        if (!contenu)
            return contenu.echec();
        if (!empreinte.contains(nom) || sha256(*contenu) != empreinte.value(nom)) {
            bilan.echec = QStringLiteral("fichier %1 : son empreinte SHA-256 ne correspond pas au "
                                         "manifeste")
                              .arg(nom);
            return bilan;
        }
        Resultat<Table> t = lireCsv(*contenu, nom);
        if (!t)
            return t.echec();
        tables.insert(nom, *t);
    }
    // The tickets' chain, made again from the files.
    ChaineTickets chaine(*publique);
    troncons.insert(premiere.caisse, premiere);
    for (const Troncon& tr : std::as_const(troncons))
        chaine.commencerA(tr.caisse, tr.premier, tr.precedente);
    const Table& tk = tables[kFichiers[0]];
    const Table& lg = tables[kFichiers[1]];
    for (const QString& col :
         {QStringLiteral("NumeroTicket"), QStringLiteral("Genre"), QStringLiteral("Date"),
          QStringLiteral("TotalTTC"), QStringLiteral("Chainage"), QStringLiteral("Signature")})
        if (!tk.colonne.contains(col))
            return echec(QStringLiteral("le fichier tickets.csv n'a pas de colonne %1").arg(col));
    for (const QString& col : {QStringLiteral("NumeroTicket"), QStringLiteral("CodeArticle"),
                               QStringLiteral("PrixVenteTTC"), QStringLiteral("TVA"),
                               QStringLiteral("qt"), QStringLiteral("TauxTVA")})
        if (!lg.colonne.contains(col))
            return echec(QStringLiteral("le fichier lignes.csv n'a pas de colonne %1").arg(col));
    auto c = [](const Table& t, const QList<QVariant>& l, const char* nom) {
        return l[t.colonne.value(QString::fromLatin1(nom))];
    };
    // (a shop's file without tills: every ticket is the first till's)
    const bool parCaisse = tk.colonne.contains(QStringLiteral("ChaineCaisse"));
    for (const QList<QVariant>& l : tk.lignes)
        chaine.ajouter(ChaineTickets::Ticket{
            c(tk, l, "NumeroTicket").toLongLong(), c(tk, l, "Genre").toString(),
            c(tk, l, "Date").toString(), Montant::depuisVariant(c(tk, l, "TotalTTC")),
            c(tk, l, "Chainage").toLongLong(), c(tk, l, "Signature").toString().toLatin1(),
            textefiscal::caisseStockee(parCaisse ? c(tk, l, "ChaineCaisse") : QVariant())});
    for (const QList<QVariant>& l : lg.lignes) {
        LigneTicket li;
        li.codeArticle = c(lg, l, "CodeArticle").toString();
        li.prix = Montant::depuisVariant(c(lg, l, "PrixVenteTTC"));
        li.tva = Montant::depuisVariant(c(lg, l, "TVA"));
        li.qt = Quantite::depuisVariant(c(lg, l, "qt"));
        if (!c(lg, l, "TauxTVA").isNull())
            li.taux = c(lg, l, "TauxTVA").toDouble();
        chaine.ligne(c(lg, l, "NumeroTicket").toLongLong(), li);
    }
    bilan.echec = chaine.terminer();
    bilan.tickets = chaine.tickets();
    bilan.lignes = chaine.lignes();
    bilan.clotures = tables[kFichiers[2]].lignes.size();
    if (!bilan.sain())
        return bilan;
    // The events of the period, each chained to the one before it.
    const Table& ev = tables[kFichiers[3]];
    for (const QString& col :
         {QStringLiteral("Numero"), QStringLiteral("Date"), QStringLiteral("Genre"),
          QStringLiteral("Detail"), QStringLiteral("Signature")})
        if (!ev.colonne.contains(col))
            return echec(
                QStringLiteral("le fichier evenements.csv n'a pas de colonne %1").arg(col));
    qint64 attendu = 0;
    for (const QList<QVariant>& l : ev.lignes) {
        textefiscal::Evenement e;
        e.numero = c(ev, l, "Numero").toLongLong();
        if (attendu != 0 && e.numero != attendu) {
            bilan.echec = QStringLiteral("événement n° %1 : l'événement n° %2 qui le précède "
                                         "manque dans evenements.csv")
                              .arg(e.numero)
                              .arg(attendu);
            return bilan;
        }
        e.quand = textefiscal::dateStockee(c(ev, l, "Date").toString());
        e.genre = c(ev, l, "Genre").toString();
        e.detail = c(ev, l, "Detail").toString();
        e.precedente = evenementPrecedent;
        const QByteArray signature = c(ev, l, "Signature").toString().toLatin1();
        const Resultat<bool> bon = publique->verifier(textefiscal::texte(e), signature);
        if (!bon)
            return bon.echec();
        ++bilan.evenements;
        if (!*bon) {
            bilan.echec =
                QStringLiteral("événement n° %1 : la signature ne correspond pas").arg(e.numero);
            return bilan;
        }
        evenementPrecedent = signature;
        attendu = e.numero + 1;
    }
    return bilan;
}

} // namespace archive
