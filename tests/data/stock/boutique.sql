-- Commas, quotes, semicolons, accents and line breaks in texts; Null values; fractional stock;
-- prices with four decimals; a typed text that a spreadsheet would take for a formula.
INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, PrixVenteTTC, tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, DateDeCreation) VALUES ('PULL1', 'Pull, laine', 'M', 'rouge', 29.9, 19.6, 12.5, 19.6, 'Filature du Nord', 3, '2024-03-05 09:01:22');
INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, PrixVenteTTC, tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, DateDeCreation) VALUES ('CHE"MISE', 'Chemise "Oxford"; coton', NULL, 'bleu ciel', 45, 20, 18.3, 20, 'Filature du Nord', 1.5, '2024-01-02 00:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, PrixVenteTTC, tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, DateDeCreation) VALUES ('ROBE7', 'Robe d''été
à fleurs', 'S', NULL, 59.99, 5.5, NULL, 5.5, 'Atelier Éloïse', 2, '2023-12-31 23:59:59');
INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, PrixVenteTTC, tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, DateDeCreation) VALUES ('JUPE2', 'Jupe', NULL, NULL, 19.99, 19.6, 7.77, 19.6, NULL, 4, NULL);
INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, PrixVenteTTC, tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, DateDeCreation) VALUES ('CEINT', 'Ceinture cuir', 'Unique', 'noir', 15, 19.6, 4.1234, 19.6, 'atelier éloïse', 1, '2024-06-15');
INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, PrixVenteTTC, tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, DateDeCreation) VALUES ('FORM', '=1+1', '-', '@x', 10, 19.6, 5, 19.6, 'Atelier Éloïse', 2, '2024-06-15 12:00:00');
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock) VALUES ('ZERO', 'Pull', 29.9, 12.5, 0);
INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, EnStock) VALUES ('NUL', 'Jupe', 19.99, 7.77, NULL);
