-- Amounts beyond the ten-thousandth of a currency column are rounded as money, halves away
-- from zero; binary noise disappears; the stock value is rounded the same way.
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, DateDeCreation) VALUES ('A1', 'Chaussettes', 0.00005, 1.23456, 3, '2024-02-29 00:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, DateDeCreation) VALUES ('A2', 'Foulard', 0.30000000000000004, -0.00015, 1, '2024-02-29 08:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock, DateDeCreation) VALUES ('A3', 'Gants', 12, 0.3333, 0.5, NULL);
