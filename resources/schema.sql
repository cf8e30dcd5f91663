-- The shop database: four tables (and the fiscal records' three, see fiscal.sql), their defaults and the indexes of the program's lookups.
-- Money columns are declared CURRENCY so that readers can tell them from plain numbers.
CREATE TABLE ARTICLES (
    CodeArticle TEXT COLLATE NOCASE,
    libelle TEXT COLLATE NOCASE,
    taille TEXT,
    couleur TEXT,
    PrixVenteTTC CURRENCY,
    tauxTVAvente DOUBLE,
    PrixHAHT CURRENCY,
    tauxTVAHA DOUBLE,
    fournisseur TEXT COLLATE NOCASE,
    EnStock DOUBLE DEFAULT 0,
    nbraimprimer INTEGER DEFAULT 0,
    DateDeCreation DATETIME DEFAULT (datetime('now', 'localtime'))
);
-- Codes are looked up without regard to letter case (accented capitals included) or trailing
-- spaces through the index ARTICLES_cle_code, made by the program from the one expression of
-- that comparison.
CREATE INDEX ARTICLES_code ON ARTICLES (CodeArticle);
CREATE INDEX ARTICLES_a_imprimer ON ARTICLES (nbraimprimer) WHERE nbraimprimer > 0;
-- The suppliers' names of the article form, read at each start.
CREATE INDEX ARTICLES_fournisseur ON ARTICLES (fournisseur);

CREATE TABLE VENTES (
    Id INTEGER PRIMARY KEY AUTOINCREMENT,
    NumeroTicket INTEGER,
    CodeArticle TEXT COLLATE NOCASE,
    PrixVenteTTC CURRENCY,
    TVA CURRENCY,
    commentaire TEXT,
    qt DOUBLE,
    TauxTVA DOUBLE -- the VAT rate of an article's line, in percent; Null on other lines
);
CREATE INDEX VENTES_ticket ON VENTES (NumeroTicket, Id);

CREATE TABLE TICKETS (
    NumeroTicket INTEGER PRIMARY KEY AUTOINCREMENT,
    Date DATETIME,
    TotalTTC CURRENCY,
    TicketClos BOOLEAN NOT NULL DEFAULT 0,
    caisse TEXT,
    vendeur TEXT,
    Genre TEXT,           -- VENTE or ANNULATION, once closed
    TicketAnnule INTEGER, -- the closed ticket that a cancelling ticket cancels
    -- Its place in its till's chain of signed tickets, its signature (written by the closing)
    -- and the till whose chain holds it (none: the first till's).
    Chainage INTEGER,
    Signature TEXT,
    ChaineCaisse TEXT
);
CREATE INDEX TICKETS_ouverts ON TICKETS (TicketClos, NumeroTicket);
CREATE INDEX TICKETS_date ON TICKETS (Date);

CREATE TABLE FOURNISSEURS (
    codefournisseur TEXT,
    nom TEXT,
    adresse TEXT,
    telephone TEXT
);

-- The schema's version: one more at each change of the tables (see the program's upgrade).
PRAGMA user_version = 4;
