#include "database/adresseserveur.h"

#include <QSqlDatabase>
#include <QUrl>
#include <QUrlQuery>

namespace {
const QString kSchemas[] = {QStringLiteral("postgresql"), QStringLiteral("postgres")};
} // namespace

bool AdresseServeur::estServeur(const QString& texte) {
    const QString t = texte.trimmed();
    for (const QString& s : kSchemas)
        if (t.startsWith(s + QStringLiteral("://"), Qt::CaseInsensitive))
            return true;
    return false;
}

Resultat<AdresseServeur> AdresseServeur::lire(const QString& texte) {
    const QString t = texte.trimmed();
    const QUrl url(t);
    // A password typed into the address is never repeated in a message.
    QUrl sansMotDePasse = url;
    sansMotDePasse.setPassword(QString());
    const QString affiche = url.isValid() ? sansMotDePasse.toString() : t;
    auto refus = [&affiche](const QString& pourquoi) {
        return echec(QStringLiteral("l'adresse du serveur « %1 » ne convient pas : %2")
                         .arg(affiche, pourquoi));
    };
    if (!estServeur(t))
        return refus(QStringLiteral("elle doit commencer par postgresql://"));
    if (!url.isValid())
        return refus(url.errorString());
    if (!url.password().isEmpty())
        return refus(QStringLiteral("le mot de passe ne s'écrit pas dans l'adresse ; mettez-le "
                                    "dans le fichier .pgpass du compte qui lance la caisse"));
    AdresseServeur a;
    a.hote = url.host();
    a.utilisateur = url.userName();
    a.base = url.path().mid(1);
    if (a.base.isEmpty() || a.base.contains(u'/'))
        return refus(QStringLiteral("le nom de la base manque après l'hôte (…/boutique)"));
    if (url.port() != -1)
        a.port = url.port();
    const QUrlQuery options(url);
    for (const auto& [cle, valeur] : options.queryItems(QUrl::FullyDecoded)) {
        if (cle != QStringLiteral("host"))
            return refus(
                QStringLiteral("l'option « %1 » n'est pas connue (seule host= l'est)").arg(cle));
        if (!a.hote.isEmpty() && a.hote != valeur)
            return refus(QStringLiteral("l'hôte est donné deux fois"));
        a.hote = valeur;
    }
    for (const QString* partie : {&a.hote, &a.base, &a.utilisateur})
        for (const QChar c : *partie)
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                return refus(QStringLiteral("elle contient un caractère de contrôle"));
    return a;
}

QString AdresseServeur::texte() const {
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(utilisateur);
    const bool socket = hote.startsWith(u'/');
    url.setHost(socket ? QString() : hote);
    if (port != 5432)
        url.setPort(port);
    url.setPath(u'/' + base);
    if (socket) {
        QUrlQuery options;
        options.addQueryItem(QStringLiteral("host"), hote);
        url.setQuery(options);
    }
    return url.toString();
}

void AdresseServeur::appliquer(QSqlDatabase& db) const {
    db.setHostName(hote);
    db.setPort(port);
    db.setDatabaseName(base);
    db.setUserName(utilisateur);
    db.setConnectOptions(QStringLiteral("connect_timeout=5;application_name=TALMIR_vestimentaire"));
}
