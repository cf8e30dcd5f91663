#!/usr/bin/env python3
"""Writes the shop's Windows metafile pictures (.wmf) and the small pictures of the tests.

    fabriquer_wmf.py entete FICHIER     receipt header, 80 x 30 mm
    fabriquer_wmf.py fond FICHIER       label background, 53 x 30 mm
    fabriquer_wmf.py carre FICHIER      test picture: a black square in a 20 x 20 mm frame
    fabriquer_wmf.py standard FICHIER   the same square without the placeable header
    fabriquer_wmf.py symboles FICHIER   test picture: a text with & < > and accents
    fabriquer_wmf.py tout DOSSIER_RESSOURCES DOSSIER_TESTS

A picture is an Aldus placeable header (bounding box in logical units, units per inch)
followed by a standard metafile: a map mode, a window, then GDI records (pens, brushes,
fonts, shapes, text) and the end record. One logical unit is a tenth of a millimetre.

Standard library only.
"""

import math
import os
import struct
import sys

UNITES_PAR_POUCE = 254  # a tenth of a millimetre

# Record functions.
SETBKMODE = 0x0102
SETTEXTALIGN = 0x012E
SELECTOBJECT = 0x012D
DELETEOBJECT = 0x01F0
SETTEXTCOLOR = 0x0209
SETWINDOWORG = 0x020B
SETWINDOWEXT = 0x020C
LINETO = 0x0213
MOVETO = 0x0214
CREATEPENINDIRECT = 0x02FA
CREATEFONTINDIRECT = 0x02FB
CREATEBRUSHINDIRECT = 0x02FC
ELLIPSE = 0x0418
RECTANGLE = 0x041B
TEXTOUT = 0x0521
ROUNDRECT = 0x061C

TRANSPARENT = 1
PS_SOLID, PS_NULL = 0, 5
BS_SOLID, BS_NULL = 0, 1
TA_LEFT, TA_CENTER = 0, 6
TA_TOP, TA_BASELINE = 0, 24
FW_NORMAL, FW_BOLD = 400, 700


def rgb(r, g, b):
    return r | (g << 8) | (b << 16)


NOIR = rgb(0, 0, 0)
BLANC = rgb(255, 255, 255)


class Metafichier:
    """A metafile being written; coordinates in tenths of a millimetre."""

    def __init__(self, largeur, hauteur):
        self.largeur = largeur
        self.hauteur = hauteur
        self.enregistrements = []
        self.objets = []  # slots of the object table: True when in use
        self.maxObjets = 0
        # No map mode record: a placeable picture is scaled by its frame and units per inch,
        # and a player that maps the window onto its target finds the same frame here.
        self.enregistrer(SETWINDOWORG, "<hh", 0, 0)  # y then x
        self.enregistrer(SETWINDOWEXT, "<hh", hauteur, largeur)
        self.enregistrer(SETBKMODE, "<H", TRANSPARENT)

    def enregistrer(self, fonction, format_=None, *valeurs, brut=b""):
        parametres = (struct.pack(format_, *valeurs) if format_ else b"") + brut
        if len(parametres) % 2:
            parametres += b"\0"
        taille = 3 + len(parametres) // 2  # in 16-bit words, header included
        self.enregistrements.append(struct.pack("<IH", taille, fonction) + parametres)

    # Objects take the lowest free slot of the object table, as the player expects.
    def _objet(self, fonction, format_, *valeurs, brut=b""):
        self.enregistrer(fonction, format_, *valeurs, brut=brut)
        try:
            index = self.objets.index(False)
            self.objets[index] = True
        except ValueError:
            index = len(self.objets)
            self.objets.append(True)
        self.maxObjets = max(self.maxObjets, len(self.objets))
        return index

    def stylo(self, couleur=NOIR, epaisseur=1, style=PS_SOLID):
        return self._objet(CREATEPENINDIRECT, "<HhhI", style, epaisseur, 0, couleur)

    def pinceau(self, couleur=NOIR, style=BS_SOLID):
        return self._objet(CREATEBRUSHINDIRECT, "<HIH", style, couleur, 0)

    def police(self, hauteur, nom="Arial", gras=False, italique=False):
        logfont = struct.pack(
            "<hhhhhBBBBBBBB",
            -hauteur,  # negative: the character height, without internal leading
            0,
            0,
            0,
            FW_BOLD if gras else FW_NORMAL,
            1 if italique else 0,
            0,
            0,
            0,  # ANSI_CHARSET
            0,
            0,
            2,  # PROOF_QUALITY
            0x20 | 2,  # FF_SWISS | VARIABLE_PITCH
        )
        nomOctets = nom.encode("cp1252")[:31] + b"\0"
        return self._objet(CREATEFONTINDIRECT, None, brut=logfont + nomOctets)

    def choisir(self, index):
        self.enregistrer(SELECTOBJECT, "<H", index)

    def supprimer(self, index):
        self.enregistrer(DELETEOBJECT, "<H", index)
        self.objets[index] = False

    def rectangle(self, g, h, d, b):
        self.enregistrer(RECTANGLE, "<hhhh", b, d, h, g)

    def rectangleArrondi(self, g, h, d, b, rayon):
        self.enregistrer(ROUNDRECT, "<hhhhhh", 2 * rayon, 2 * rayon, b, d, h, g)

    def trace(self, points):
        """Lines from point to point (line records: a player fills a polyline record's
        inside)."""
        self.enregistrer(MOVETO, "<hh", points[0][1], points[0][0])
        for x, y in points[1:]:
            self.enregistrer(LINETO, "<hh", y, x)

    def ellipse(self, g, h, d, b):
        self.enregistrer(ELLIPSE, "<hhhh", b, d, h, g)

    def ligne(self, x1, y1, x2, y2):
        self.enregistrer(MOVETO, "<hh", y1, x1)
        self.enregistrer(LINETO, "<hh", y2, x2)

    def couleurTexte(self, couleur):
        self.enregistrer(SETTEXTCOLOR, "<I", couleur)

    def alignement(self, mode):
        self.enregistrer(SETTEXTALIGN, "<H", mode)

    def texte(self, x, y, chaine):
        octets = chaine.encode("cp1252")
        longueur = len(octets)
        if longueur % 2:
            octets += b"\0"
        self.enregistrer(TEXTOUT, "<H", longueur, brut=octets + struct.pack("<hh", y, x))

    def octets(self):
        corps = b"".join(self.enregistrements) + struct.pack("<IH", 3, 0)  # end record
        plusGrand = max(len(e) for e in self.enregistrements) // 2 if self.enregistrements else 3
        tailleMots = 9 + len(corps) // 2
        entete = struct.pack("<HHHIHIH", 1, 9, 0x0300, tailleMots, self.maxObjets,
                             max(plusGrand, 3), 0)
        placable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, self.largeur, self.hauteur,
                               UNITES_PAR_POUCE, 0)
        somme = 0
        for (mot,) in struct.iter_unpack("<H", placable):
            somme ^= mot
        return placable + struct.pack("<H", somme) + entete + corps

    def ecrire(self, chemin, placable=True):
        donnees = self.octets()
        if not placable:
            donnees = donnees[22:]
        with open(chemin, "wb") as f:
            f.write(donnees)


def entete():
    """Receipt header: the shop's name, its trade and its address, 80 x 30 mm."""
    m = Metafichier(800, 300)
    encre = rgb(30, 30, 30)
    gris = rgb(90, 90, 90)
    trait = m.stylo(encre, 4)
    vide = m.pinceau(style=BS_NULL)
    m.choisir(trait)
    m.choisir(vide)
    m.rectangleArrondi(20, 15, 780, 285, 30)  # frame
    m.supprimer(trait)
    fin = m.stylo(gris, 2)
    m.choisir(fin)
    m.ligne(110, 168, 241, 168)  # rules either side of the trade, a dot at their inner ends
    m.ligne(559, 168, 690, 168)
    plein = m.pinceau(gris)
    m.choisir(plein)
    m.ellipse(243, 163, 253, 173)
    m.ellipse(547, 163, 557, 173)
    m.alignement(TA_CENTER | TA_BASELINE)
    m.couleurTexte(encre)
    nom = m.police(62, "Arial", gras=True)
    m.choisir(nom)
    m.texte(400, 100, "TALMIR Vestimentaire")
    m.supprimer(nom)
    metier = m.police(36, "Arial", italique=True)
    m.choisir(metier)
    m.texte(400, 180, "Prêt-à-porter")
    m.supprimer(metier)
    adresse = m.police(30, "Arial")
    m.choisir(adresse)
    m.couleurTexte(gris)
    m.texte(400, 228, "14, rue des Tisserands - 59100 Roubaix")
    m.texte(400, 264, "Tél. 03 53 01 42 17")
    m.supprimer(adresse)
    m.supprimer(plein)
    m.supprimer(fin)
    m.supprimer(vide)
    return m


def fond():
    """Label background, 53 x 30 mm: a thin frame with rounded corners along the top and the
    bottom of the label, and the shop's name in the top right corner. The texts of a label run
    from its left edge (x = 0) across its whole width, from 6 mm down to 25 mm, so the frame
    leaves that band open: its sides stop above 4.5 mm and start again below 25.8 mm."""
    m = Metafichier(530, 300)
    bord = m.stylo(rgb(170, 170, 170), 2)
    m.choisir(bord)
    g, d, h, b, r = 8, 522, 8, 292, 25  # frame edges and corner radius
    haut, bas = 45, 258  # the sides end here, clear of the texts

    def coin(cx, cy, sx, sy):
        """A quarter circle of radius r around (cx, cy), towards the corner (sx, sy)."""
        pas = 8
        return [(round(cx + sx * r * math.sin(math.pi / 2 * i / pas)),
                 round(cy + sy * r * math.cos(math.pi / 2 * i / pas))) for i in range(pas + 1)]

    # Each half: a side, its corner, the rule, the other corner, the other side.
    m.trace([(g, haut)] + coin(g + r, h + r, -1, -1)[::-1][:-1] + [(g + r, h)] +
                [(d - r, h)] + coin(d - r, h + r, 1, -1)[1:] + [(d, haut)])
    m.trace([(g, bas)] + coin(g + r, b - r, -1, 1)[::-1][:-1] + [(g + r, b)] +
                [(d - r, b)] + coin(d - r, b - r, 1, 1)[1:] + [(d, bas)])
    m.supprimer(bord)
    m.alignement(TA_LEFT | TA_BASELINE)
    m.couleurTexte(rgb(150, 150, 150))
    petite = m.police(22, "Arial", gras=True)
    m.choisir(petite)
    m.texte(320, 40, "TALMIR")
    m.supprimer(petite)
    return m


def carre():
    """Test picture: a 20 x 20 mm frame whose middle 10 x 10 mm is black."""
    m = Metafichier(200, 200)
    aucun = m.stylo(style=PS_NULL)
    noir = m.pinceau(NOIR)
    m.choisir(aucun)
    m.choisir(noir)
    m.rectangle(50, 50, 150, 150)
    return m


def symboles():
    """Test picture: a text with the characters that XML reserves and accented letters."""
    m = Metafichier(1000, 100)
    m.alignement(TA_LEFT | TA_BASELINE)
    police = m.police(50, "Arial")
    m.choisir(police)
    m.texte(20, 70, "Prix & <remise> à 10 % \"été\"")
    return m


def main(arguments):
    fabriques = {"entete": entete, "fond": fond, "carre": carre, "symboles": symboles}
    if len(arguments) == 3 and arguments[0] == "tout":
        ressources, tests = arguments[1], arguments[2]
        entete().ecrire(os.path.join(ressources, "enteteimprimante.wmf"))
        fond().ecrire(os.path.join(ressources, "fondetiquette.wmf"))
        carre().ecrire(os.path.join(tests, "carre.wmf"))
        carre().ecrire(os.path.join(tests, "carre_standard.wmf"), placable=False)
        symboles().ecrire(os.path.join(tests, "symboles.wmf"))
        return 0
    if len(arguments) == 2 and arguments[0] == "standard":
        carre().ecrire(arguments[1], placable=False)
        return 0
    if len(arguments) == 2 and arguments[0] in fabriques:
        fabriques[arguments[0]]().ecrire(arguments[1])
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
