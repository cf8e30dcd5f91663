-- No article in stock: zero, Null and negative stocks are left out.
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock) VALUES ('ZERO', 'Pull', 29.9, 12.5, 0);
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock) VALUES ('NUL', 'Jupe', 19.99, 7.77, NULL);
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock) VALUES ('NEG', 'Robe', 59.99, 20, -2);
