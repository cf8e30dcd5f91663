-- Suppliers and descriptions in the order of their letters, accents and case aside: "Écharpe"
-- before "T-shirt"; "Éloïse" and "eloise" are one supplier, their articles by description.
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, fournisseur, DateDeCreation) VALUES ('A1', 'T-shirt', 10, 4, 1, 'Dupont', '2024-01-01 00:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, fournisseur, DateDeCreation) VALUES ('A2', 'Écharpe', 20, 8, 1, 'Dupont', '2024-01-01 00:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, fournisseur, DateDeCreation) VALUES ('A3', 'echarpe laine', 25, 9, 2, 'dupont', '2024-01-01 00:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, fournisseur, DateDeCreation) VALUES ('A4', 'Veste', 80, 30, 1, 'Éloïse', '2024-01-01 00:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, fournisseur, DateDeCreation) VALUES ('A5', 'Blouse', 35, 12, 1, 'eloise', '2024-01-01 00:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, fournisseur, DateDeCreation) VALUES ('A6', 'Zèbre', 15, 5, 1, 'Écluse', '2024-01-01 00:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, fournisseur, DateDeCreation) VALUES ('A7', 'Ceinture', 15, 5, 1, 'Zéphyr', '2024-01-01 00:00:00');
