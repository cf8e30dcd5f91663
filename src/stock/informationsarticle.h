#pragma once

#include <QString>

struct Article;

// The seven lines that describe an article on the inventory tab, each ended by CR LF:
// sale VAT, sale price, size, colour, supplier, purchase VAT, purchase price.
QString informationsArticle(const Article& article);
