-- The till's fiscal records: closed tickets signed in one chain per till, the closures (Z) of
-- each till and the technical events, each signed and chained too. What is closed is never
-- changed nor deleted: the triggers below refuse it; a mistake is mended by new records (a
-- return, a cancelling ticket). The verifying tool checks every signature and link whatever the file went through.
-- A ticket's place in its till's chain (ChaineCaisse; none: the first till's chain, which holds
-- every ticket signed before each till had a chain of its own).
CREATE UNIQUE INDEX IF NOT EXISTS TICKETS_chaine_caisse
    ON TICKETS ((coalesce(ChaineCaisse, '1')), Chainage) WHERE Chainage IS NOT NULL;

CREATE TABLE IF NOT EXISTS CLOTURES (
    Numero INTEGER PRIMARY KEY AUTOINCREMENT,
    Genre TEXT NOT NULL,          -- JOUR, MOIS or ANNEE
    Debut DATE NOT NULL,          -- the first and last days of the period
    Fin DATE NOT NULL,
    Premier INTEGER NOT NULL,     -- the first and last closed tickets of its till's chain
    Dernier INTEGER NOT NULL,
    Date DATETIME NOT NULL,       -- when it was made
    Tickets INTEGER NOT NULL,
    TotalTTC CURRENCY NOT NULL,
    GrandTotal CURRENCY NOT NULL, -- every ticket of its till since the first one
    Texte TEXT NOT NULL,          -- every figure of the closure, as signed
    Signature TEXT NOT NULL,
    ChaineCaisse TEXT             -- the till whose chain it closes (none: the first till)
);
CREATE INDEX IF NOT EXISTS CLOTURES_genre ON CLOTURES (Genre, Numero);

CREATE TABLE IF NOT EXISTS EVENEMENTS (
    Numero INTEGER PRIMARY KEY AUTOINCREMENT,
    Date DATETIME NOT NULL,
    Genre TEXT NOT NULL,
    Detail TEXT NOT NULL DEFAULT '',
    Signature TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS EVENEMENTS_genre ON EVENEMENTS (Genre, Numero);

-- A signed ticket stays as it was closed. A ticket closed before tickets were signed can only
-- receive its signature (once, when the shop's records are first sealed).
CREATE TRIGGER IF NOT EXISTS TICKETS_clos_inalterable BEFORE UPDATE ON TICKETS
WHEN OLD.TicketClos <> 0 AND OLD.Signature IS NOT NULL
BEGIN
    SELECT RAISE(ABORT, 'ticket clos : il ne peut plus être modifié');
END;
-- Closing a ticket writes its signature in the same statement.
CREATE TRIGGER IF NOT EXISTS TICKETS_cloture_signee BEFORE UPDATE ON TICKETS
WHEN NEW.TicketClos <> 0 AND (NEW.Signature IS NULL OR NEW.Chainage IS NULL)
BEGIN
    SELECT RAISE(ABORT, 'ticket clos sans signature : refusé');
END;
CREATE TRIGGER IF NOT EXISTS TICKETS_clos_conserve BEFORE DELETE ON TICKETS
WHEN OLD.TicketClos <> 0
BEGIN
    SELECT RAISE(ABORT, 'ticket clos : il ne peut pas être supprimé');
END;
CREATE TRIGGER IF NOT EXISTS VENTES_ajout_ticket_clos BEFORE INSERT ON VENTES
WHEN EXISTS (SELECT 1 FROM TICKETS WHERE NumeroTicket = NEW.NumeroTicket AND TicketClos <> 0)
BEGIN
    SELECT RAISE(ABORT, 'ticket clos : aucune ligne ne peut y être ajoutée');
END;
CREATE TRIGGER IF NOT EXISTS VENTES_ticket_clos_inalterable BEFORE UPDATE ON VENTES
WHEN EXISTS (SELECT 1 FROM TICKETS WHERE NumeroTicket IN (OLD.NumeroTicket, NEW.NumeroTicket)
             AND TicketClos <> 0)
BEGIN
    SELECT RAISE(ABORT, 'ticket clos : ses lignes ne peuvent plus être modifiées');
END;
CREATE TRIGGER IF NOT EXISTS VENTES_ticket_clos_conserve BEFORE DELETE ON VENTES
WHEN EXISTS (SELECT 1 FROM TICKETS WHERE NumeroTicket = OLD.NumeroTicket AND TicketClos <> 0)
BEGIN
    SELECT RAISE(ABORT, 'ticket clos : ses lignes ne peuvent pas être supprimées');
END;
CREATE TRIGGER IF NOT EXISTS CLOTURES_inalterables BEFORE UPDATE ON CLOTURES
BEGIN
    SELECT RAISE(ABORT, 'clôture : elle ne peut plus être modifiée');
END;
CREATE TRIGGER IF NOT EXISTS CLOTURES_conservees BEFORE DELETE ON CLOTURES
BEGIN
    SELECT RAISE(ABORT, 'clôture : elle ne peut pas être supprimée');
END;
CREATE TRIGGER IF NOT EXISTS EVENEMENTS_inalterables BEFORE UPDATE ON EVENEMENTS
BEGIN
    SELECT RAISE(ABORT, 'événement : il ne peut plus être modifié');
END;
CREATE TRIGGER IF NOT EXISTS EVENEMENTS_conserves BEFORE DELETE ON EVENEMENTS
BEGIN
    SELECT RAISE(ABORT, 'événement : il ne peut pas être supprimé');
END;
