#!/usr/bin/env python3
"""Makes the shipped files of resources/program/ that are binary or have a fixed byte layout.

Usage (from anywhere):
    python3 scripts/make-resources.py            # (re)write every file
    python3 scripts/make-resources.py --check    # rebuild in a scratch folder, compare with the committed files

Needs python3, sox (sounds) and ImageMagick's `convert` (pictures). Every output is reproducible:
sox runs with a fixed random seed (-R) and no dither, pictures are written without metadata or dates,
and the sample's drawings vary by a fixed generator of their own.

Outputs:
    Fichora_par.ref   parameter-file template: 23 field records of 80 bytes (text fields, empty labels,
                      width 145, ticked for export); the marker "Fichora V3.6" at 0, flags at 13..15 blank
    Fichora_xml.ref   data-file template: an empty data packet of 23 text fields, 1470 bytes, with the
                      descriptions of F02..F21 in 55-byte slots 57 bytes apart from 149, "<ROWDATA>" at 1438
    Fichora_conf.ref  configuration: language 'F' at byte 25, skin '3' at byte 36
    Carnet.par/.xml   a sample address book made as the new-database window and the row writer make them;
                      its picture lists name files of Carnet/ relative to the program directory
    Carnet/           the sample's pictures (JPEG mostly, some PNG and GIF), a few Windows-1252 texts
                      and one-page PDFs; regenerated whole, so a file no record names is reported
    Smiley.bmp/.jpg, Smiley2.bmp             stand-in pictures
    big-dog-barking.wav, beep-*.wav          sounds (16-bit PCM, 44.1 kHz, mono)
"""

import filecmp
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAM_DIR = os.path.join(ROOT, "resources", "program")

FIELD_COUNT = 23
LABEL_LENGTH = 15


def field_type_offset(n):
    return 80 * n - 60


def label_offset(n):
    return 80 * n - 39


def width_offset(n):
    return 80 * n - 23


def export_offset(n):
    return 80 * n - 19


def slot_offset(n):
    return 149 + 57 * (n - 2)


ROWDATA_OFFSET = 1438
ROWS_OFFSET = 1447
PACKET_END = b"</ROWDATA></DATAPACKET>"
TEMPLATE_SIZE = 1470
SLOT_LENGTH = 55


# ---------------------------------------------------------------- parameter-file template

def par_template():
    data = bytearray(FIELD_COUNT * 80)
    data[0:12] = b"Fichora V3.6"
    data[13:16] = b"   "
    for n in range(1, FIELD_COUNT + 1):
        data[field_type_offset(n):field_type_offset(n) + 6] = b"string"
        data[label_offset(n):label_offset(n) + LABEL_LENGTH] = b"\0" + b" " * 14
        data[width_offset(n):width_offset(n) + 4] = struct.pack("<i", 145)
        data[export_offset(n)] = ord("E")
    return bytes(data)


# ---------------------------------------------------------------- data-file template

def text_field(n, width):
    return b'<FIELD attrname="F%02d" fieldtype="string" WIDTH="%d"/>' % (n, width)


def xml_template():
    crlf = b"\r\n"
    out = bytearray()
    out += b'<?xml version="1.0" standalone="yes"?>' + crlf
    out += b'<DATAPACKET Version="2.0">' + crlf
    out += b"<METADATA>" + crlf
    out += b"<FIELDS>" + crlf
    # F01 is padded so that the slot of F02 starts at its fixed offset.
    out += text_field(1, 4000).ljust(slot_offset(2) - len(out) - 2) + crlf
    for n in range(2, 22):
        assert len(out) == slot_offset(n), n
        out += text_field(n, 4000).ljust(SLOT_LENGTH) + crlf
    out += text_field(22, 9000) + crlf
    out += text_field(23, 100000) + crlf
    out += b"</FIELDS>" + crlf
    out += b"<PARAMS/>" + crlf
    out += b"</METADATA>"
    assert len(out) == ROWDATA_OFFSET, len(out)
    out += b"<ROWDATA>" + PACKET_END
    assert len(out) == TEMPLATE_SIZE
    return bytes(out)


# ---------------------------------------------------------------- configuration file

def conf_file():
    text = (b"[Fichora  V3.6]\n"
            b"Language=F\n"
            b"Skin    =3\n"
            b"\n"
            b"Only two bytes of this file are read: byte 25 (language, F or E)\n"
            b"and byte 36 (skin, 0 to 9, X for none). Keep every other byte in place.\n")
    assert text[25:26] == b"F" and text[36:37] == b"3"
    return text


# ---------------------------------------------------------------- sample database

def escape(value):
    out = bytearray()
    for b in value:
        if b in (10, 13):
            out.append(b)
        elif b < 32:
            out += b"?"
        elif b == 34:
            out += b"&quot;"
        elif b == 38:
            out += b"&amp;"
        elif b == 39:
            out += b"&apos;"
        elif b == 60:
            out += b"&lt;"
        elif b == 62:
            out += b"&gt;"
        elif b == 92:
            out += b"&#092;"
        elif b >= 128:
            out += b"&#%03d;" % b
        else:
            out.append(b)
    return bytes(out)


def row(values):
    assert len(values) == FIELD_COUNT
    out = b'<ROW F01="' + escape(values[0])
    for n in range(2, FIELD_COUNT + 1):
        out += b'" F%02d="' % n + escape(values[n - 1])
    return out + b'"/>'


def canonical_label(label):
    assert len(label) <= LABEL_LENGTH
    buf = bytearray(b" " * LABEL_LENGTH + b"\0")
    buf[0:len(label) + 1] = label + b"\0"
    return bytes(buf[:LABEL_LENGTH])


# Field number -> (label, width); fields not listed keep an empty label and 145.
CARNET_FIELDS = {
    1: ("Nom", 130),
    2: ("Prénom", 110),
    3: ("Adresse", 200),
    4: ("Code postal", 80),
    5: ("Ville", 130),
    6: ("Téléphone", 110),
    7: ("Courriel", 190),
    8: ("Âge", 50),
    22: ("Notes", 250),
}
CARNET_NUMBER_FIELDS = (8,)

# Nom, Prénom, Adresse, Code postal, Ville, Téléphone, Courriel, Âge, Notes (the picture list comes from
# CARNET_PICTURES)
CARNET_RECORDS = [
    ("Martin", "Hélène", "12, rue des Écoles", "75005", "Paris", "01 43 25 17 90",
     "helene.martin@exemple.fr", "42",
     "Rencontrée au club de lecture de la médiathèque, où elle anime l'atelier du jeudi soir. "
     "Elle prête volontiers ses livres, surtout les romans policiers et les récits de voyage, "
     "mais tient à les retrouver avant l'été.\r\n"
     "Anniversaire le 3 mars : penser aux chocolats de la pâtisserie Bérénice, rue Mouffetard.\r\n"
     "Ses enfants, Léa et Théo, sont au collège Henri-IV ; son mari, Noël, est ébéniste à Montreuil."),
    ("Lefèvre", "Françoise", "8, place du Marché", "69002", "Lyon", "04 78 42 10 33",
     "f.lefevre@exemple.fr", "57", "Sœur de Jérôme. Préfère les appels le soir – jamais avant 19 h."),
    ("Dubois", "Jérôme", "27, avenue Jean-Jaurès", "31000", "Toulouse", "05 61 22 48 05",
     "jerome.dubois@exemple.org", "35",
     "Collègue de bureau. Joue du violoncelle le jeudi.\r\nA un chat nommé Réglisse."),
    ("Noël", "Gaëlle", "3, impasse des Lilas", "44000", "Nantes", "02 40 35 61 77",
     "gaelle.noel@exemple.fr", "29", ""),
    ("d'Artagnan", "Charles", "1, rue des Mousquetaires", "32000", "Auch", "05 62 05 16 00",
     "charles.dartagnan@exemple.fr", "38",
     "Toujours pressé. Un pour tous, tous pour un !"),
    ("L'Isle", "Anaïs", "14, quai de la Sorgue", "84800", "L'Isle-sur-la-Sorgue", "04 90 38 04 78",
     "anais.lisle@exemple.fr", "46", "Antiquaire. Marché aux puces le dimanche matin."),
    ("Œillet", "Bérénice", "5, allée des Jardins", "06000", "Nice", "04 93 87 12 64",
     "berenice.oeillet@exemple.fr", "61", "Fleuriste. Elle connaît le nom latin de chaque plante."),
    ("Lemaître", "Benoît", "22, boulevard Gambetta", "59000", "Lille", "03 20 54 33 81",
     "benoit.lemaitre@exemple.org", "50", ""),
    ("Garçon", "Inès", "9, rue Émile-Zola", "33000", "Bordeaux", "05 56 44 29 17",
     "ines.garcon@exemple.fr", "24",
     "Étudiante en médecine. Disponible pendant les vacances scolaires."),
    ("Gauthier", "Léa", "41, rue de la République", "13001", "Marseille", "04 91 90 72 36",
     "lea.gauthier@exemple.fr", "33", "Voisine de Noël. Arrose les plantes en août."),
    ("Bélanger", "Rémi", "7, chemin des Crêtes", "38000", "Grenoble", "04 76 51 09 42",
     "remi.belanger@exemple.org", "44",
     "Guide de haute montagne.\r\nNe répond pas au téléphone en été."),
    ("Moreau", "Céline", "16, rue du Château", "35000", "Rennes", "02 99 79 21 56",
     "celine.moreau@exemple.fr", "39", ""),
    ("Fontaine", "Loïc", "2, place de l'Église", "29200", "Brest", "02 98 44 13 70",
     "loic.fontaine@exemple.fr", "52", "Marin. Rapporte du café d'Éthiopie à chaque escale."),
    ("Rousseau", "Zoé", "30, rue Voltaire", "67000", "Strasbourg", "03 88 32 45 19",
     "zoe.rousseau@exemple.org", "19", ""),
    ("Chevalier", "Agnès", "11, rue des Tanneurs", "21000", "Dijon", "03 80 30 66 28",
     "agnes.chevalier@exemple.fr", "68",
     "Ancienne institutrice de la famille. Envoie une carte à chaque Nouvel An."),
    ("Lambert", "Frédéric", "4, avenue Foch", "54000", "Nancy", "03 83 35 12 07",
     "frederic.lambert@exemple.fr", "47", "Associé de \"Lambert & Fils\", menuiserie."),
    ("Bonnet", "Mélanie", "19, rue Nationale", "37000", "Tours", "02 47 05 58 93",
     "melanie.bonnet@exemple.fr", "31", ""),
    ("François", "Aurélien", "6, rue du Pont-Neuf", "87000", "Limoges", "05 55 32 70 14",
     "aurelien.francois@exemple.org", "36", "Photographe. Il a pris les photos du mariage."),
    ("Mercier", "Élodie", "25, cours Mirabeau", "13100", "Aix-en-Provence", "04 42 26 81 49",
     "elodie.mercier@exemple.fr", "27", ""),
    ("Dupré", "Maïté", "13, rue des Arènes", "30000", "Nîmes", "04 66 21 38 02",
     "maite.dupre@exemple.fr", "55",
     "Fait les meilleures crêpes du quartier. Recette à lui demander."),
    ("Perrin", "Thérèse", "10, rue Pasteur", "63000", "Clermont-Ferrand", "04 73 93 40 25",
     "therese.perrin@exemple.fr", "74", ""),
    ("Girard", "Hervé", "37, rue de Metz", "57000", "Metz", "03 87 75 64 11",
     "herve.girard@exemple.org", "49", "Club de randonnée, sortie le premier samedi du mois."),
    ("Joly", "Clémence", "18, rue Sainte-Catherine", "14000", "Caen", "02 31 86 27 53",
     "clemence.joly@exemple.fr", "22", ""),
    ("Roussel", "Joël", "21, rue des Bouchers", "80000", "Amiens", "03 22 91 49 60",
     "joel.roussel@exemple.fr", "63",
     "Ancien boulanger.\r\nConnaît tout le monde dans le quartier Saint-Leu."),
    ("Blanchard", "Ségolène", "8 bis, rue Lamartine", "49000", "Angers", "02 41 87 35 46",
     "segolene.blanchard@exemple.fr", "41", ""),
    ("Lacroix", "Noémie", "15, avenue de la Gare", "64000", "Pau", "05 59 27 80 38",
     "noemie.lacroix@exemple.org", "30", "Kinésithérapeute. Cabinet fermé le mercredi."),
    ("Barbier", "Cédric", "3, rue du Vieux-Port", "17000", "La Rochelle", "05 46 41 22 19",
     "cedric.barbier@exemple.fr", "45", ""),
    ("Faure", "Pénélope", "28, rue de Siam", "29200", "Brest", "02 98 80 14 65",
     "penelope.faure@exemple.fr", "37", "Cousine de Loïc. Tisse des tapis."),
    ("Guérin", "Raphaël", "12, rue de l'Horloge", "84000", "Avignon", "04 90 82 56 71",
     "raphael.guerin@exemple.fr", "58", "Directeur du petit théâtre. Places gratuites à la générale."),
    ("Renaud", "Géraldine", "9, rue des Forgerons", "25000", "Besançon", "03 81 65 37 28",
     "geraldine.renaud@exemple.org", "34", ""),
]


def carnet_record_values(record):
    name, first, address, postcode, town, phone, mail, age, notes = record
    values = [name, first, address, postcode, town, phone, mail, age] + [""] * 13 + [notes, picture_list(name)]
    encoded = [v.encode("cp1252") for v in values]
    return encoded


def carnet():
    par = bytearray(par_template())
    for n in range(1, FIELD_COUNT + 1):
        label, width = CARNET_FIELDS.get(n, ("", 145))
        label_bytes = b"PHOTO" + b" " * 10 if n == 23 else label.encode("cp1252")
        par[label_offset(n):label_offset(n) + LABEL_LENGTH] = canonical_label(label_bytes)
        par[width_offset(n):width_offset(n) + 4] = struct.pack("<i", width)
    for n in CARNET_NUMBER_FIELDS:
        par[field_type_offset(n):field_type_offset(n) + 6] = b"integr"

    xml = bytearray(xml_template())
    for n in CARNET_NUMBER_FIELDS:
        xml[slot_offset(n):slot_offset(n) + SLOT_LENGTH] = (
            b'<FIELD attrname="F%02d" fieldtype="r8"/>' % n).ljust(SLOT_LENGTH)
    rows = b"".join(row(carnet_record_values(r)) for r in CARNET_RECORDS)
    xml[ROWS_OFFSET:] = rows + PACKET_END
    return bytes(par), bytes(xml)


# ---------------------------------------------------------------- pictures

def smiley_face_draw(expression):
    face = ["-fill", "#FFD54A", "-stroke", "#B7860B", "-strokewidth", "5", "-draw", "circle 100,100 100,10",
            "-stroke", "none", "-fill", "#F6A38E",
            "-draw", "ellipse 52,122 14,9 0,360", "-draw", "ellipse 148,122 14,9 0,360",
            "-fill", "#3B2A12"]
    if expression == "happy":
        return face + [
            "-draw", "ellipse 70,78 10,16 0,360", "-draw", "ellipse 130,78 10,16 0,360",
            "-fill", "white", "-draw", "circle 73,72 73,67", "-draw", "circle 133,72 133,67",
            "-fill", "none", "-stroke", "#3B2A12", "-strokewidth", "8",
            "-draw", "arc 48,62 152,158 25,155"]
    # Puzzled: one raised brow, a crooked mouth and a question mark.
    return face + [
        "-draw", "ellipse 70,84 9,13 0,360", "-draw", "ellipse 130,84 9,13 0,360",
        "-fill", "none", "-stroke", "#3B2A12", "-strokewidth", "6",
        "-draw", "arc 52,48 90,70 200,340",
        "-draw", "line 112,62 148,58",
        "-strokewidth", "7", "-draw", "bezier 70,140 95,128 115,150 138,134",
        "-stroke", "#2E6FB7", "-strokewidth", "9",
        "-draw", "arc 150,8 190,48 180,90",
        "-draw", "bezier 170,48 170,48 170,60 170,66",
        "-stroke", "none", "-fill", "#2E6FB7", "-draw", "circle 170,80 170,75"]


def convert(args, target):
    common = ["-size", "200x200", "xc:white"]
    subprocess.run(["convert"] + common + args + ["-strip", "+set", "date:create", "+set", "date:modify"] + target,
                   check=True)


def make_pictures(out):
    convert(smiley_face_draw("happy"), ["-type", "TrueColor", "BMP3:" + os.path.join(out, "Smiley.bmp")])
    convert(smiley_face_draw("happy"), ["-quality", "90", "-sampling-factor", "2x2",
                                        "JPEG:" + os.path.join(out, "Smiley.jpg")])
    convert(smiley_face_draw("puzzled"), ["-type", "TrueColor", "BMP3:" + os.path.join(out, "Smiley2.bmp")])


# ---------------------------------------------------------------- the sample's own pictures and files
#
# Every picture is a list of ImageMagick drawing primitives (MVG) rendered by `convert` onto a plain
# background. Lettering uses the stroke alphabet below rather than a font, so that the pictures do not
# depend on which fonts a machine has. Variation comes from a small fixed generator, not from `random`.

SAMPLE_FOLDER = "Carnet"
SAMPLE_FOLDER_LIMIT = 1400 * 1024

PORTRAIT_SIZE = (240, 300)
SCENE_SIZE = (360, 270)
PNG_SIZE = (320, 240)
GIF_SIZE = (240, 180)


class Steps:
    """A tiny linear congruential generator: the same numbers on every machine and Python version."""

    def __init__(self, seed):
        self.state = (seed * 2654435761 + 12345) & 0xFFFFFFFF

    def unit(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state / 0x7FFFFFFF

    def between(self, low, high):
        return low + (high - low) * self.unit()

    def pick(self, items):
        return items[min(int(self.unit() * len(items)), len(items) - 1)]


def mix(first, second, amount):
    """The colour `amount` of the way from `first` to `second` (both "#RRGGBB")."""
    a = [int(first[i:i + 2], 16) for i in (1, 3, 5)]
    b = [int(second[i:i + 2], 16) for i in (1, 3, 5)]
    return "#%02X%02X%02X" % tuple(round(x + (y - x) * amount) for x, y in zip(a, b))


def lightness(colour):
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    return (0.299 * r + 0.587 * g + 0.114 * b) / 255


def num(value):
    return ("%.1f" % value).rstrip("0").rstrip(".")


def points(pairs):
    return " ".join("%s,%s" % (num(x), num(y)) for x, y in pairs)


class Drawing:
    def __init__(self, size, background):
        self.width, self.height = size
        self.background = background
        self.ops = ["stroke-linecap round", "stroke-linejoin round"]

    def paint(self, fill, stroke, width):
        self.ops += ["fill " + (fill or "none"), "stroke " + (stroke or "none"), "stroke-width " + num(width)]

    def rect(self, x0, y0, x1, y1, fill, stroke=None, width=1, radius=0):
        self.paint(fill, stroke, width)
        if radius:
            self.ops.append("roundrectangle %s %s %s,%s" % (points([(x0, y0)]), points([(x1, y1)]), num(radius),
                                                             num(radius)))
        else:
            self.ops.append("rectangle %s %s" % (points([(x0, y0)]), points([(x1, y1)])))

    def circle(self, x, y, r, fill, stroke=None, width=1):
        self.paint(fill, stroke, width)
        self.ops.append("circle %s %s" % (points([(x, y)]), points([(x, y - r)])))

    def ellipse(self, x, y, rx, ry, fill, stroke=None, width=1):
        self.paint(fill, stroke, width)
        self.ops.append("ellipse %s %s 0,360" % (points([(x, y)]), points([(rx, ry)])))

    def polygon(self, pairs, fill, stroke=None, width=1):
        self.paint(fill, stroke, width)
        self.ops.append("polygon " + points(pairs))

    def line(self, pairs, stroke, width):
        self.paint(None, stroke, width)
        self.ops.append("polyline " + points(pairs))

    def path(self, d, fill, stroke=None, width=1):
        self.paint(fill, stroke, width)
        self.ops.append("path '%s'" % d)

    def turn(self, x, y, angle):
        """Draws what follows, until settle(), about the origin moved to x, y and turned by angle degrees."""
        self.ops += ["push graphic-context", "translate %s" % points([(x, y)]), "rotate " + num(angle)]

    def settle(self):
        self.ops.append("pop graphic-context")

    def text(self, x, y, words, height, colour, width=None):
        """Upper-case lettering with its top left corner at x, y."""
        scale = height / 6.0
        for ch in words:
            for stroke in STROKE_LETTERS.get(ch, []):
                self.line([(x + px * scale, y + py * scale) for px, py in stroke], colour,
                          width or max(2.0, height / 7.0))
            x += (3 if ch == " " else 5) * scale

    def mvg(self):
        return "\n".join(self.ops)


def text_width(words, height):
    scale = height / 6.0
    return sum((3 if ch == " " else 5) * scale for ch in words) - scale


def ring(cx, cy, rx, ry, start, end, steps):
    return [(cx + rx * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + ry * math.sin(math.radians(start + (end - start) * i / steps))) for i in range(steps + 1)]


# Strokes on a grid four wide and six high, y downwards.
STROKE_LETTERS = {
    "A": [[(0, 6), (2, 0), (4, 6)], [(0.8, 3.8), (3.2, 3.8)]],
    "B": [[(0, 3), (0, 0), (3, 0), (4, 0.8), (4, 2.2), (3, 3), (0, 3), (0, 6), (3, 6), (4, 5.2), (4, 3.8), (3, 3)]],
    "C": [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5)]],
    "D": [[(0, 0), (0, 6), (2.5, 6), (4, 4.5), (4, 1.5), (2.5, 0), (0, 0)]],
    "E": [[(4, 0), (0, 0), (0, 6), (4, 6)], [(0, 3), (3, 3)]],
    "F": [[(4, 0), (0, 0), (0, 6)], [(0, 3), (3, 3)]],
    "G": [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5), (4, 3.5), (2.5, 3.5)]],
    "H": [[(0, 0), (0, 6)], [(4, 0), (4, 6)], [(0, 3), (4, 3)]],
    "I": [[(1, 0), (3, 0)], [(2, 0), (2, 6)], [(1, 6), (3, 6)]],
    "J": [[(4, 0), (4, 5), (3, 6), (1, 6), (0, 5)]],
    "K": [[(0, 0), (0, 6)], [(4, 0), (0, 3.5)], [(1.3, 2.7), (4, 6)]],
    "L": [[(0, 0), (0, 6), (4, 6)]],
    "M": [[(0, 6), (0, 0), (2, 3.5), (4, 0), (4, 6)]],
    "N": [[(0, 6), (0, 0), (4, 6), (4, 0)]],
    "O": [[(1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5), (0, 1), (1, 0)]],
    "P": [[(0, 6), (0, 0), (3, 0), (4, 1), (4, 2), (3, 3), (0, 3)]],
    "R": [[(0, 6), (0, 0), (3, 0), (4, 1), (4, 2), (3, 3), (0, 3)], [(2, 3), (4, 6)]],
    "S": [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 2), (1, 3), (3, 3), (4, 4), (4, 5), (3, 6), (1, 6), (0, 5)]],
    "T": [[(0, 0), (4, 0)], [(2, 0), (2, 6)]],
    "U": [[(0, 0), (0, 5), (1, 6), (3, 6), (4, 5), (4, 0)]],
    "V": [[(0, 0), (2, 6), (4, 0)]],
    "W": [[(0, 0), (1, 6), (2, 2.5), (3, 6), (4, 0)]],
    "X": [[(0, 0), (4, 6)], [(4, 0), (0, 6)]],
    "Y": [[(0, 0), (2, 3), (4, 0)], [(2, 3), (2, 6)]],
    "Z": [[(0, 0), (4, 0), (0, 6), (4, 6)]],
    "0": [[(1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5), (0, 1), (1, 0)]],
    "1": [[(1, 1.2), (2.2, 0), (2.2, 6)], [(1, 6), (3.4, 6)]],
    "2": [[(0, 1), (1, 0), (3, 0), (4, 1), (4, 2.2), (0, 6), (4, 6)]],
    "3": [[(0, 1), (1, 0), (3, 0), (4, 1), (4, 2), (3, 3), (1.5, 3)],
          [(3, 3), (4, 4), (4, 5), (3, 6), (1, 6), (0, 5)]],
    "4": [[(3, 6), (3, 0), (0, 4), (4, 4)]],
    "5": [[(4, 0), (0, 0), (0, 3), (3, 3), (4, 4), (4, 5), (3, 6), (1, 6), (0, 5)]],
    "6": [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5), (4, 4), (3, 3), (0, 3)]],
    "7": [[(0, 0), (4, 0), (1.5, 6)]],
    "8": [[(1, 3), (0, 2), (0, 1), (1, 0), (3, 0), (4, 1), (4, 2), (3, 3), (1, 3), (0, 4), (0, 5), (1, 6),
           (3, 6), (4, 5), (4, 4), (3, 3)]],
    "9": [[(4, 3), (1, 3), (0, 2), (0, 1), (1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5)]],
    "-": [[(1, 3), (3, 3)]],
    "'": [[(2, 0), (1.6, 1.6)]],
    "!": [[(2, 0), (2, 4)], [(2, 5.8), (2, 6)]],
}

SKIN = ["#F2CDA8", "#E8B58E", "#C98F65", "#9C6644", "#F5D6C0", "#DDA77B"]


def portrait(person):
    """A head-and-shoulders drawing: background, clothes, face, a hair style, a few extras, the initials."""
    bg, clothes, skin, hair, style, extras, initials = person
    d = Drawing(PORTRAIT_SIZE, bg)
    shade = mix(skin, "#6B3E26", 0.25)
    d.circle(120, 140, 104, mix(bg, "#FFFFFF", 0.35))
    if style == "long":
        d.rect(66, 92, 174, 238, hair, radius=40)
    elif style == "curly":
        for x, y in ring(120, 150, 60, 70, 110, -290, 14):
            d.circle(x, y, 19, hair)
    elif style == "bob":
        d.rect(64, 78, 176, 186, hair, radius=34)
    d.ellipse(120, 322, 102, 98, clothes)
    d.rect(104, 168, 136, 232, shade)
    d.polygon([(100, 226), (120, 258), (140, 226)], skin)
    d.ellipse(74, 132, 8, 13, shade)
    d.ellipse(166, 132, 8, 13, shade)
    d.ellipse(120, 128, 46, 56, skin)
    if style == "short":
        d.path("M 72,118 Q 66,62 120,62 Q 174,62 168,118 Q 160,90 138,86 Q 110,98 80,96 Q 74,104 72,118 Z", hair)
    elif style in ("long", "bob"):
        d.path("M 72,126 Q 64,62 120,62 Q 176,62 168,126 Q 162,92 134,84 Q 112,100 78,98 Z", hair)
    elif style == "bun":
        d.circle(120, 58, 21, hair)
        d.path("M 74,120 Q 68,66 120,66 Q 172,66 166,120 Q 150,84 120,84 Q 90,84 74,120 Z", hair)
    elif style == "curly":
        for x, y in ring(120, 112, 46, 48, 190, 350, 7):
            d.circle(x, y, 15, hair)
    elif style == "bald":
        d.ellipse(76, 114, 9, 20, hair)
        d.ellipse(164, 114, 9, 20, hair)
    d.line([(94, 109), (112, 106)], mix(hair, "#000000", 0.2), 4)
    d.line([(128, 106), (146, 109)], mix(hair, "#000000", 0.2), 4)
    d.circle(103, 124, 4.5, "#2B2B2B")
    d.circle(137, 124, 4.5, "#2B2B2B")
    d.line([(120, 128), (115, 146), (122, 148)], shade, 3)
    d.ellipse(96, 151, 9, 6, mix(skin, "#F08080", 0.35))
    d.ellipse(144, 151, 9, 6, mix(skin, "#F08080", 0.35))
    if "beard" in extras:
        d.path("M 76,136 Q 78,198 120,202 Q 162,198 164,136 Q 152,178 120,178 Q 88,178 76,136 Z", hair)
    if "moustache" in extras or "beard" in extras:
        d.path("M 100,160 Q 110,150 120,156 Q 130,150 140,160 Q 120,158 100,160 Z", hair, hair, 4)
    d.path("M 105,163 Q 120,175 135,163", None, "#9C3B3B", 4)
    if "glasses" in extras:
        d.circle(103, 124, 13, None, "#333333", 3)
        d.circle(137, 124, 13, None, "#333333", 3)
        d.line([(116, 122), (124, 122)], "#333333", 3)
    if "hat" in extras:
        d.ellipse(120, 74, 84, 15, "#3A2A4A")
        d.path("M 80,74 Q 84,30 120,30 Q 156,30 160,74 Z", "#3A2A4A")
        d.path("M 150,50 Q 196,20 214,46 Q 190,40 158,60 Z", "#F4F1EA", "#C0392B", 2)
    if "beanie" in extras:
        d.path("M 72,100 Q 72,52 120,50 Q 168,52 168,100 Z", "#C0392B")
        d.rect(70, 90, 170, 106, mix("#C0392B", "#000000", 0.2), radius=6)
        d.circle(120, 48, 9, "#F4F1EA")
    width = text_width(initials, 24) + 20
    ink = mix(clothes, "#000000", 0.65 if lightness(clothes) > 0.75 else 0.25)
    d.rect(12, 12, 12 + width, 48, "#FFFFFF", ink, 2, radius=8)
    d.text(22, 18, initials, 24, ink, 3.5)
    return d


def figure(d, x, base, height, body, skin, hair, dress=False, veil=False):
    """A small standing person whose feet are at (x, base)."""
    s = height / 100.0
    d.line([(x - 7 * s, base), (x - 5 * s, base - 34 * s)], "#333333", max(2, 5 * s))
    d.line([(x + 7 * s, base), (x + 5 * s, base - 34 * s)], "#333333", max(2, 5 * s))
    if dress:
        d.polygon([(x - 22 * s, base - 12 * s), (x + 22 * s, base - 12 * s), (x + 9 * s, base - 72 * s),
                   (x - 9 * s, base - 72 * s)], body)
    else:
        d.rect(x - 12 * s, base - 74 * s, x + 12 * s, base - 32 * s, body, radius=6 * s)
    d.line([(x - 12 * s, base - 68 * s), (x - 20 * s, base - 42 * s)], body, max(2, 6 * s))
    d.line([(x + 12 * s, base - 68 * s), (x + 20 * s, base - 42 * s)], body, max(2, 6 * s))
    d.circle(x, base - 86 * s, 13 * s, skin)
    d.path("M %s,%s Q %s,%s %s,%s Z" % (num(x - 13 * s), num(base - 86 * s), num(x), num(base - 110 * s),
                                        num(x + 13 * s), num(base - 86 * s)), hair)
    if veil:
        d.polygon([(x - 4 * s, base - 98 * s), (x + 4 * s, base - 98 * s), (x + 20 * s, base - 40 * s),
                   (x - 20 * s, base - 40 * s)], mix("#FFFFFF", "#DDE6F0", 0.3))
        d.circle(x, base - 86 * s, 13 * s, skin)


def town(name, kind, sky, ground, palette, seed):
    """A street of houses under the sky, with a landmark of the town's kind and its name on a banner."""
    steps = Steps(seed)
    d = Drawing(SCENE_SIZE, sky)
    base = 212
    d.circle(300 if kind != "tour" else 200, 52, 22 if kind != "sud" else 30, "#FFE07A")
    for cx, cy, w in ((steps.between(30, 110), steps.between(26, 60), 30), (steps.between(140, 240), 30, 22)):
        d.ellipse(cx, cy, w, 11, "#FFFFFF")
        d.ellipse(cx + w * 0.6, cy - 6, w * 0.6, 10, "#FFFFFF")
    if kind == "montagne":
        d.polygon([(0, 170), (70, 70), (130, 150), (200, 50), (280, 140), (330, 90), (360, 120), (360, 212),
                   (0, 212)], "#7D8FA6")
        d.polygon([(52, 96), (70, 70), (88, 96), (76, 92)], "#FFFFFF")
        d.polygon([(178, 82), (200, 50), (224, 84), (204, 78)], "#FFFFFF")
        d.polygon([(316, 110), (330, 90), (344, 108)], "#FFFFFF")
    if kind == "port":
        base = 196
    x = -6
    while x < 360:
        w = steps.between(34, 62)
        h = steps.between(58, 118)
        colour = steps.pick(palette)
        top = base - h
        d.rect(x, top, x + w, base, colour, mix(colour, "#000000", 0.25), 1.5)
        if steps.unit() < 0.6:
            d.polygon([(x - 3, top), (x + w / 2, top - steps.between(14, 26)), (x + w + 3, top)],
                      "#B5523B" if kind == "sud" else "#5E6472")
        wy = top + 10
        while wy < base - 22:
            for wx in range(int(x + 7), int(x + w - 12), 15):
                d.rect(wx, wy, wx + 8, wy + 12, "#FFF3C4" if steps.unit() < 0.4 else "#CFE0EE")
            wy += 22
        d.rect(x + w / 2 - 6, base - 20, x + w / 2 + 6, base, mix(colour, "#3B2A12", 0.55))
        x += w + steps.between(0, 6)
    if kind == "tour":
        d.polygon([(250, base), (278, 70), (286, 70), (314, base), (300, base), (282, 120), (264, base)], "#6D5A4A")
        d.line([(262, 150), (302, 150)], "#6D5A4A", 6)
        d.line([(272, 112), (292, 112)], "#6D5A4A", 5)
        d.line([(282, 70), (282, 48)], "#6D5A4A", 3)
    elif kind == "cathedrale":
        d.rect(150, 92, 210, base, "#C9B99A", "#8F7F62", 2)
        d.polygon([(144, 92), (180, 18), (216, 92)], "#A89A7E", "#8F7F62", 2)
        d.circle(180, 124, 14, "#5B7DB1", "#8F7F62", 3)
        d.path("M 168,%d L 168,176 Q 180,158 192,176 L 192,%d Z" % (base, base), "#4A3B2A")
    elif kind == "sud":
        for cx in (40, 120, 330):
            d.ellipse(cx, base - 40, 10, 42, "#2F5D3A")
    if kind == "port":
        d.rect(0, base, 360, 270, "#2E7FB8")
        for y in (212, 232, 252):
            d.line([(10, y), (40, y - 4), (70, y), (100, y - 4), (130, y)], "#8CC4E8", 2)
            d.line([(200, y + 6), (230, y + 2), (260, y + 6), (290, y + 2), (320, y + 6)], "#8CC4E8", 2)
        d.rect(318, 120, 336, base, "#FFFFFF", "#555555", 1)
        for y in (130, 160):
            d.rect(318, y, 336, y + 14, "#D64541")
        d.polygon([(314, 120), (327, 104), (340, 120)], "#D64541")
        d.polygon([(150, 228), (230, 228), (218, 244), (162, 244)], "#8E4B2B")
        d.line([(190, 228), (190, 170)], "#5A3A22", 3)
        d.polygon([(192, 172), (192, 224), (226, 224)], "#FFFFFF", "#AAAAAA", 1)
    elif kind == "pont":
        d.rect(0, base, 360, 270, "#3B8FC0")
        d.path("M 0,194 L 250,194 L 250,252 Q 225,202 200,252 Q 175,202 150,252 Q 125,202 100,252 "
               "Q 75,202 50,252 Q 25,202 0,252 Z", "#D8C7A0", "#9E8B66", 2)
        d.rect(236, 176, 250, 194, "#CBB88F", "#9E8B66", 2)
    else:
        d.rect(0, base, 360, 270, ground)
    width = text_width(name, 16) + 20
    d.rect(12, 230, 12 + width, 258, "#FFFFFF", "#444444", 2, radius=6)
    d.text(22, 236, name, 16, "#333333", 2.5)
    return d
def house(walls, roof, door, sign=None, chalet=False):
    d = Drawing(PNG_SIZE, "#BFE3F5")
    d.rect(0, 190, 320, 240, "#7DBB5A")
    d.circle(272, 46, 20, "#FFE07A")
    if chalet:
        d.polygon([(0, 150), (60, 60), (120, 140), (190, 40), (260, 130), (320, 80), (320, 190), (0, 190)],
                  "#93A4B8")
        d.polygon([(174, 64), (190, 40), (206, 62)], "#FFFFFF")
    d.rect(70, 110, 230, 200, walls, mix(walls, "#000000", 0.3), 2)
    d.polygon([(56, 114), (150, 50), (244, 114)], roof, mix(roof, "#000000", 0.3), 2)
    d.rect(186, 62, 204, 92, mix(roof, "#000000", 0.2))
    d.rect(134, 146, 166, 200, door, mix(door, "#000000", 0.3), 2)
    d.circle(160, 174, 2.5, "#F1C40F")
    for x in (86, 182):
        d.rect(x, 128, x + 32, 156, "#CFE0EE", "#FFFFFF", 3)
        d.line([(x + 16, 128), (x + 16, 156)], "#FFFFFF", 2)
    if chalet:
        for y in (124, 138, 152, 166, 180):
            d.line([(70, y), (134, y)], mix(walls, "#000000", 0.25), 1.5)
    if sign:
        width = text_width(sign, 12) + 14
        d.rect(150 - width / 2, 92, 150 + width / 2, 110, "#FFFFFF", "#333333", 2, radius=4)
        d.text(157 - width / 2, 95, sign, 12, "#333333", 2)
    d.rect(262, 150, 272, 196, "#7A5230")
    d.circle(267, 138, 26, "#3E8E41")
    for x in range(10, 60, 12):
        d.rect(x, 176, x + 6, 204, "#FFFFFF", "#BBBBBB", 1)
    d.line([(6, 184), (62, 184)], "#FFFFFF", 3)
    return d


def shelf_of_books(seed):
    steps = Steps(seed)
    d = Drawing(SCENE_SIZE, "#F4E9D8")
    for shelf in (120, 240):
        x = 24
        while x < 320:
            w = steps.between(14, 30)
            h = steps.between(62, 96)
            colour = steps.pick(["#A93226", "#1F618D", "#117A65", "#B9770E", "#6C3483", "#2E4053", "#CA6F1E"])
            d.rect(x, shelf - h, x + w, shelf, colour, mix(colour, "#000000", 0.3), 1.5)
            d.line([(x + 4, shelf - h + 12), (x + w - 4, shelf - h + 12)], "#F7DC6F", 2)
            x += w + 2
        d.rect(12, shelf, 348, shelf + 10, "#8B5A2B")
    d.rect(300, 60, 330, 120, "#D35400", radius=4)
    for angle in (-60, -30, 0, 30, 60):
        x, y = ring(315, 60, 22, 28, 270 + angle, 270 + angle, 1)[0]
        d.line([(315, 62), (x, y)], "#27AE60", 5)
    return d


def people(background, ground, members, extra=None):
    d = Drawing(SCENE_SIZE, background)
    d.rect(0, 220, 360, 270, ground)
    if extra == "arch":
        d.path("M 96,236 L 96,110 Q 180,20 264,110 L 264,236", None, "#8E5A3C", 10)
        for x, y in ring(180, 118, 84, 86, 180, 360, 12):
            d.circle(x, y, 9, "#F5B7B1")
    if extra == "ridge":
        d.polygon([(0, 230), (60, 150), (120, 120), (180, 90), (250, 110), (360, 60), (360, 270), (0, 270)],
                  "#8795A8")
        d.polygon([(300, 86), (360, 60), (360, 96), (330, 90)], "#FFFFFF")
    if extra == "stage":
        d.rect(0, 0, 360, 30, "#7B1E2B")
        d.path("M 0,0 L 60,0 Q 50,140 0,250 Z", "#A93246")
        d.path("M 360,0 L 300,0 Q 310,140 360,250 Z", "#A93246")
        d.ellipse(180, 236, 150, 18, "#C9A45C")
    for x, base, height, body, skin, hair, dress, veil in members:
        figure(d, x, base, height, body, skin, hair, dress, veil)
    if extra == "ridge":
        tops = [(m[0], m[1] - m[2] * 0.55) for m in members]
        d.line(tops, "#F1C40F", 2)
    return d


def chocolates():
    d = Drawing(SCENE_SIZE, "#F9E4E8")
    d.rect(40, 50, 320, 230, "#5D3A1A", "#3B2410", 3, radius=12)
    d.rect(54, 64, 306, 216, "#F5E6C8", radius=8)
    colours = ["#4E2A14", "#7B4A26", "#3B1F0E", "#A0673A"]
    for row in range(3):
        for col in range(5):
            x, y = 80 + col * 50, 90 + row * 50
            c = colours[(row + col) % 4]
            if (row + col) % 3 == 0:
                d.circle(x, y, 18, c)
            else:
                d.rect(x - 17, y - 17, x + 17, y + 17, c, radius=5)
            d.line([(x - 8, y - 2), (x - 2, y + 4), (x + 8, y - 6)], "#E8C89A", 2)
    d.path("M 180,50 Q 150,10 120,30 Q 150,40 180,50 Q 210,10 240,30 Q 210,40 180,50 Z", "#C0392B")
    return d


def town_plan(marks):
    d = Drawing(PNG_SIZE, "#F3EFE2")
    d.path("M 0,150 Q 80,120 160,160 Q 240,200 320,170 L 320,196 Q 240,226 160,186 Q 80,146 0,176 Z", "#9CC9E8")
    for x in (40, 110, 190, 260):
        d.line([(x, 0), (x + 20, 240)], "#FFFFFF", 9)
    for y in (40, 95, 215):
        d.line([(0, y), (320, y - 10)], "#FFFFFF", 9)
    d.rect(122, 50, 178, 88, "#A9D18E", radius=6)
    d.line([(60, 70), (148, 70), (166, 140), (236, 205)], "#C0392B", 4)
    for x, y in marks:
        d.path("M %d,%d Q %d,%d %d,%d Q %d,%d %d,%d Z" % (x, y, x - 14, y - 22, x, y - 30, x + 14, y - 22, x, y),
               "#C0392B", "#7B241C", 2)
        d.circle(x, y - 20, 4, "#FFFFFF")
    return d


def cello():
    d = Drawing(SCENE_SIZE, "#EAE2F3")
    d.rect(0, 238, 360, 270, "#8A6E5A")
    body = "#A0522D"
    d.ellipse(180, 196, 66, 50, body, "#5E2F16", 3)
    d.ellipse(180, 118, 52, 40, body, "#5E2F16", 3)
    d.rect(150, 140, 210, 176, body)
    d.rect(172, 20, 188, 110, "#2C1B10")
    d.circle(180, 18, 10, "#5E2F16")
    for x in (173, 178, 182, 187):
        d.line([(x, 26), (x, 206)], "#E5E5E5", 1.2)
    d.path("M 160,160 Q 154,176 162,190", None, "#2C1B10", 3)
    d.path("M 200,160 Q 206,176 198,190", None, "#2C1B10", 3)
    d.rect(166, 206, 194, 214, "#2C1B10")
    d.line([(180, 246), (180, 262)], "#555555", 4)
    d.line([(60, 60), (300, 230)], "#6E4B2A", 4)
    d.line([(64, 66), (296, 232)], "#F4F1EA", 1.5)
    for x, y in ((290, 60), (316, 90)):
        d.ellipse(x, y, 7, 5, "#4A235A")
        d.line([(x + 6, y), (x + 6, y - 30)], "#4A235A", 2.5)
    return d


def cat():
    d = Drawing(GIF_SIZE, "#F6E7B4")
    d.ellipse(120, 160, 90, 16, "#C0392B")
    d.path("M 150,150 Q 210,150 196,104 Q 190,90 200,80", None, "#1B1B1B", 9)
    d.ellipse(118, 124, 44, 36, "#1B1B1B")
    d.circle(110, 78, 30, "#1B1B1B")
    d.polygon([(84, 66), (88, 36), (104, 52)], "#1B1B1B")
    d.polygon([(116, 52), (132, 36), (136, 66)], "#1B1B1B")
    d.ellipse(99, 76, 6, 8, "#F4D03F")
    d.ellipse(121, 76, 6, 8, "#F4D03F")
    d.ellipse(99, 76, 2, 6, "#1B1B1B")
    d.ellipse(121, 76, 2, 6, "#1B1B1B")
    d.polygon([(106, 88), (114, 88), (110, 93)], "#E59AA8")
    for dy in (-3, 3):
        d.line([(96, 92), (70, 90 + dy * 2)], "#DDDDDD", 1)
        d.line([(124, 92), (150, 90 + dy * 2)], "#DDDDDD", 1)
    return d


def flowers():
    d = Drawing(SCENE_SIZE, "#E8F6F3")
    d.rect(0, 232, 360, 270, "#D5C4A1")
    stems = [(120, 70), (160, 48), (200, 60), (236, 86), (96, 104), (180, 96), (260, 120)]
    for x, y in stems:
        d.path("M 180,200 Q %d,%d %d,%d" % ((180 + x) / 2, y + 60, x, y), None, "#2E7D32", 4)
    d.ellipse(140, 160, 24, 10, "#43A047")
    d.ellipse(224, 150, 24, 10, "#43A047")
    colours = ["#E74C3C", "#F39C12", "#8E44AD", "#F1C40F", "#E91E63", "#FFFFFF", "#3498DB"]
    for (x, y), colour in zip(stems, colours):
        for px, py in ring(x, y, 13, 13, 0, 300, 5):
            d.circle(px, py, 9, colour)
        d.circle(x, y, 7, "#FBC02D" if colour != "#F1C40F" else "#6D4C41")
    d.path("M 144,196 L 216,196 L 206,250 Q 180,262 154,250 Z", "#5DADE2", "#2E86C1", 3)
    return d


def summit(flag=True):
    d = Drawing(SCENE_SIZE, "#9DD3F5")
    d.circle(70, 54, 24, "#FFE07A")
    d.polygon([(0, 270), (0, 190), (90, 120), (140, 150), (200, 40), (270, 140), (320, 110), (360, 150),
               (360, 270)], "#6F7F95")
    d.polygon([(170, 94), (200, 40), (232, 96), (214, 88), (200, 100), (186, 88)], "#FFFFFF")
    d.polygon([(300, 124), (320, 110), (340, 130), (322, 126)], "#FFFFFF")
    d.polygon([(0, 270), (0, 230), (120, 200), (240, 230), (360, 210), (360, 270)], "#4E7D4A")
    if flag:
        d.line([(200, 40), (200, 12)], "#333333", 3)
        d.polygon([(200, 12), (224, 18), (200, 26)], "#D64541")
    return d


def bivouac():
    d = Drawing(SCENE_SIZE, "#14213D")
    steps = Steps(7)
    for _ in range(40):
        d.circle(steps.between(4, 356), steps.between(4, 140), steps.between(0.8, 2), "#FDFEFE")
    d.circle(290, 50, 20, "#F7F3D6")
    d.circle(298, 44, 18, "#14213D")
    d.polygon([(0, 200), (80, 110), (150, 170), (230, 90), (310, 160), (360, 130), (360, 270), (0, 270)],
              "#2C3E50")
    d.rect(0, 216, 360, 270, "#1E3A2B")
    d.polygon([(90, 236), (150, 150), (210, 236)], "#E67E22", "#A04000", 3)
    d.polygon([(140, 236), (150, 180), (160, 236)], "#5D2E0E")
    d.polygon([(252, 238), (264, 206), (276, 238)], "#F39C12")
    d.polygon([(258, 238), (264, 218), (270, 238)], "#F7DC6F")
    d.line([(246, 242), (282, 236)], "#6E2C00", 4)
    return d


def lake():
    d = Drawing(SCENE_SIZE, "#BEE3F8")
    d.polygon([(0, 160), (70, 70), (130, 130), (200, 50), (280, 120), (360, 80), (360, 160)], "#7A8CA3")
    d.polygon([(180, 74), (200, 50), (222, 76)], "#FFFFFF")
    d.rect(0, 160, 360, 270, "#4A90C2")
    d.polygon([(0, 160), (70, 250), (130, 190), (200, 270), (280, 200), (360, 240), (360, 160)], "#6FA7CF")
    for y in (180, 206, 232):
        d.line([(40, y), (90, y)], "#D6EAF8", 2)
        d.line([(230, y + 8), (300, y + 8)], "#D6EAF8", 2)
    for x in (20, 46, 320):
        d.polygon([(x - 12, 166), (x, 126), (x + 12, 166)], "#1E5631")
    return d


def bicycle():
    d = Drawing(GIF_SIZE, "#FDEBD0")
    d.rect(0, 150, 240, 180, "#A9A9A9")
    for cx in (64, 176):
        d.circle(cx, 118, 34, None, "#222222", 5)
        for px, py in ring(cx, 118, 32, 32, 0, 315, 7):
            d.line([(cx, 118), (px, py)], "#888888", 1)
    frame = "#1F77B4"
    d.line([(64, 118), (104, 118), (150, 72), (92, 72), (64, 118)], frame, 5)
    d.line([(104, 118), (86, 56)], frame, 5)
    d.line([(150, 72), (176, 118)], frame, 5)
    d.line([(146, 60), (150, 72)], frame, 5)
    d.line([(136, 56), (160, 56)], "#222222", 5)
    d.line([(76, 54), (98, 54)], "#222222", 6)
    d.circle(104, 118, 8, None, "#555555", 3)
    return d


def sailing_boat():
    d = Drawing(SCENE_SIZE, "#AED6F1")
    d.circle(300, 50, 22, "#FFE07A")
    d.rect(0, 186, 360, 270, "#1F6FA8")
    for y in (200, 224, 248):
        for x in range(0, 360, 60):
            d.path("M %d,%d Q %d,%d %d,%d" % (x, y, x + 15, y - 8, x + 30, y), None, "#85C1E9", 2)
    d.path("M 90,190 L 270,190 Q 250,226 200,228 L 130,228 Q 104,218 90,190 Z", "#7B3F1D", "#4A250F", 2)
    d.line([(178, 190), (178, 40)], "#4A250F", 4)
    d.polygon([(182, 44), (182, 180), (262, 180)], "#FDFEFE", "#B3B6B7", 2)
    d.polygon([(174, 60), (174, 180), (110, 180)], "#F5CBA7", "#B3B6B7", 2)
    d.polygon([(178, 40), (204, 46), (178, 54)], "#D64541")
    for x, y in ((60, 70), (90, 52), (250, 90)):
        d.path("M %d,%d Q %d,%d %d,%d Q %d,%d %d,%d" % (x - 12, y, x - 6, y - 8, x, y, x + 6, y - 8, x + 12, y),
               None, "#34495E", 2.5)
    return d


def greeting_card(words, year):
    d = Drawing(PNG_SIZE, "#1B2A49")
    steps = Steps(year)
    for _ in range(30):
        x, y = steps.between(10, 310), steps.between(10, 230)
        r = steps.between(2, 5)
        d.polygon([(x, y - r * 2), (x + r * 0.6, y - r * 0.6), (x + r * 2, y), (x + r * 0.6, y + r * 0.6),
                   (x, y + r * 2), (x - r * 0.6, y + r * 0.6), (x - r * 2, y), (x - r * 0.6, y - r * 0.6)],
                  "#F7DC6F")
    d.rect(30, 70, 290, 176, "#FDFEFE", "#C0392B", 4, radius=10)
    d.text(160 - text_width(words, 22) / 2, 88, words, 22, "#C0392B", 3.5)
    digits = str(year)
    d.text(160 - text_width(digits, 30) / 2, 128, digits, 30, "#1B2A49", 4.5)
    return d


def workbench():
    d = Drawing(SCENE_SIZE, "#D7CCC8")
    d.rect(0, 0, 360, 120, "#A1887F")
    for x in range(0, 360, 40):
        d.line([(x, 0), (x, 120)], "#8D6E63", 2)
    d.rect(20, 150, 340, 176, "#8D5524", "#5D3A1A", 2)
    d.rect(36, 176, 52, 260, "#6D4C41")
    d.rect(308, 176, 324, 260, "#6D4C41")
    d.line([(70, 26), (70, 96)], "#5D4037", 8)
    d.rect(56, 20, 84, 36, "#90A4AE", radius=3)
    d.polygon([(120, 30), (210, 30), (210, 56), (120, 80)], "#B0BEC5", "#607D8B", 2)
    d.rect(206, 28, 236, 58, "#C0392B", radius=6)
    d.line([(260, 24), (300, 100)], "#F1C40F", 10)
    d.line([(300, 100), (312, 112)], "#95A5A6", 4)
    for x in (96, 160, 230):
        d.rect(x, 120, x + 50, 150, "#E0C097", "#B08D57", 1.5)
        d.line([(x + 6, 128), (x + 44, 128)], "#C8A873", 1)
    d.path("M 250,148 Q 270,130 290,148", None, "#E0C097", 3)
    return d


def camera():
    d = Drawing(SCENE_SIZE, "#E5E8E8")
    d.rect(60, 80, 300, 220, "#2C3E50", "#17202A", 3, radius=18)
    d.rect(90, 62, 150, 84, "#34495E", radius=6)
    d.rect(240, 66, 276, 82, "#E74C3C", radius=4)
    d.circle(180, 150, 58, "#95A5A6", "#17202A", 3)
    d.circle(180, 150, 44, "#1C2833")
    d.circle(180, 150, 26, "#2E4053")
    d.circle(166, 136, 8, "#D6EAF8")
    d.rect(72, 104, 112, 124, "#F4F6F7", radius=4)
    d.line([(60, 110), (20, 250)], "#7B241C", 6)
    d.line([(300, 110), (340, 250)], "#7B241C", 6)
    return d


def porcelain():
    d = Drawing(SCENE_SIZE, "#FBEEE6")
    d.rect(0, 200, 360, 270, "#A04000")
    d.ellipse(120, 190, 100, 40, "#FDFEFE", "#1F4E99", 4)
    d.ellipse(120, 190, 70, 26, None, "#1F4E99", 2)
    for x, y in ring(120, 190, 86, 33, 0, 330, 11):
        d.circle(x, y, 4, "#1F4E99")
    d.ellipse(262, 214, 62, 16, "#FDFEFE", "#1F4E99", 3)
    d.path("M 222,120 L 302,120 Q 300,200 262,206 Q 224,200 222,120 Z", "#FDFEFE", "#1F4E99", 3)
    d.path("M 300,136 Q 336,140 326,166 Q 318,182 296,176", None, "#FDFEFE", 8)
    d.path("M 300,136 Q 336,140 326,166 Q 318,182 296,176", None, "#1F4E99", 2)
    d.path("M 232,150 Q 262,140 292,150", None, "#D4AC0D", 3)
    for x in (240, 262, 284):
        d.circle(x, 170, 5, "#1F4E99")
    for x, y in ((250, 104), (266, 90), (276, 106)):
        d.path("M %d,%d Q %d,%d %d,%d" % (x, y + 10, x - 8, y, x, y - 10), None, "#BFC9CA", 2)
    return d


def landscape(seed, path=False):
    steps = Steps(seed)
    d = Drawing(SCENE_SIZE, "#B3E0F2")
    d.circle(60, 50, 22, "#FFE07A")
    d.ellipse(230, 46, 40, 14, "#FFFFFF")
    d.ellipse(256, 38, 26, 12, "#FFFFFF")
    d.path("M 0,150 Q 90,100 180,140 Q 270,180 360,120 L 360,270 L 0,270 Z", "#7FB069")
    d.path("M 0,200 Q 120,160 240,200 Q 300,220 360,190 L 360,270 L 0,270 Z", "#5C9E4A")
    colours = ["#E9C46A", "#A7C957", "#F4A261", "#6A994E"]
    for i in range(4):
        y = 212 + i * 14
        d.path("M 0,%d Q 180,%d 360,%d L 360,%d Q 180,%d 0,%d Z" % (y, y - 18, y, y + 9, y - 9, y + 9),
               colours[i])
    for _ in range(6):
        x = steps.between(20, 340)
        y = steps.between(140, 170)
        d.rect(x - 3, y, x + 3, y + 18, "#6D4C41")
        d.circle(x, y - 4, steps.between(10, 16), "#2D6A4F")
    if path:
        d.path("M 150,270 Q 170,230 200,210 Q 240,180 230,150", None, "#D9B382", 14)
        d.line([(96, 170), (96, 232)], "#6D4C41", 5)
        d.polygon([(96, 176), (140, 176), (152, 186), (140, 196), (96, 196)], "#F1C40F", "#B7950B", 2)
        d.polygon([(96, 200), (56, 200), (46, 210), (56, 220), (96, 220)], "#F1C40F", "#B7950B", 2)
        figure(d, 214, 214, 40, "#C0392B", SKIN[1], "#5D4037")
    return d


def contact_sheet():
    d = Drawing(SCENE_SIZE, "#1C1C1C")
    for y in (8, 254):
        for x in range(8, 360, 22):
            d.rect(x, y, x + 10, y + 8, "#E5E5E5", radius=2)
    frames = [("#F5B041", "#7D6608"), ("#85C1E9", "#1B4F72"), ("#F1948A", "#78281F"),
              ("#82E0AA", "#145A32"), ("#D2B4DE", "#4A235A"), ("#F9E79F", "#7E5109")]
    for i, (sky, hill) in enumerate(frames):
        x, y = 22 + (i % 3) * 112, 30 + (i // 3) * 112
        d.rect(x, y, x + 98, y + 98, sky, "#FFFFFF", 3)
        d.path("M %d,%d Q %d,%d %d,%d L %d,%d L %d,%d Z" % (x + 2, y + 70, x + 50, y + 40, x + 96, y + 72,
                                                          x + 96, y + 96, x + 2, y + 96), hill)
        d.circle(x + 72, y + 26, 10, "#FDFEFE")
    return d


def crepes():
    d = Drawing(SCENE_SIZE, "#FDF2E9")
    d.rect(0, 200, 360, 270, "#C0392B")
    for x in range(0, 360, 30):
        d.line([(x, 200), (x, 270)], "#FDFEFE", 4)
    d.ellipse(180, 200, 130, 34, "#FDFEFE", "#BDC3C7", 3)
    for i in range(7):
        y = 190 - i * 9
        d.ellipse(180, y, 100 - i * 2, 20, "#E5B25D", "#B7791F", 2)
    d.ellipse(180, 128, 90, 16, "#F0C27B")
    d.path("M 120,126 Q 150,118 176,130 Q 200,140 236,124", None, "#5D2E0E", 6)
    d.circle(214, 118, 9, "#C0392B")
    d.circle(150, 120, 7, "#C0392B")
    return d


def bread():
    d = Drawing(SCENE_SIZE, "#F6DDCC")
    d.rect(0, 226, 360, 270, "#B9770E")
    d.rect(40, 150, 320, 236, "#8B5A2B", "#5D3A1A", 3, radius=14)
    for angle, x, y in ((-22, 150, 130), (-10, 180, 122), (4, 206, 128)):
        d.turn(x, y, angle)
        d.ellipse(0, 0, 118, 15, "#D4A056", "#8B5A2B", 2)
        for k in range(-3, 4):
            d.line([(k * 30 - 9, 4), (k * 30 + 9, -5)], "#F5DEB3", 3)
        d.settle()
    d.rect(40, 170, 320, 236, "#A0522D", "#5D3A1A", 3, radius=14)
    for x in range(60, 310, 24):
        d.line([(x, 176), (x, 230)], "#7E3F1C", 2)
    d.ellipse(284, 212, 44, 26, "#C68642", "#8B5A2B", 2)
    d.path("M 256,208 Q 284,196 312,208", None, "#F5DEB3", 3)
    return d


def rug():
    d = Drawing(PNG_SIZE, "#EDE0C8")
    d.rect(30, 30, 290, 210, "#9B2335", "#5B1420", 3)
    d.rect(46, 46, 274, 194, "#E9C46A")
    d.rect(58, 58, 262, 182, "#264653")
    for cx, cy in ((160, 120), (100, 90), (220, 90), (100, 150), (220, 150)):
        r = 30 if (cx, cy) == (160, 120) else 16
        d.polygon([(cx, cy - r), (cx + r, cy), (cx, cy + r), (cx - r, cy)], "#E76F51")
        d.polygon([(cx, cy - r / 2), (cx + r / 2, cy), (cx, cy + r / 2), (cx - r / 2, cy)], "#F4A261")
    for y in range(34, 210, 8):
        d.line([(16, y), (30, y)], "#C9B28A", 2)
        d.line([(290, y), (304, y)], "#C9B28A", 2)
    return d


def masks():
    d = Drawing(PNG_SIZE, "#4A235A")
    for cx, colour, happy in ((120, "#F4D03F", True), (200, "#F0F3F4", False)):
        d.path("M %d,60 Q %d,56 %d,60 Q %d,150 %d,180 Q %d,150 %d,60 Z" % (cx - 50, cx, cx + 50, cx + 50, cx,
                                                                          cx - 50, cx - 50), colour,
               "#17202A", 3)
        d.ellipse(cx - 20, 96, 11, 8, "#17202A")
        d.ellipse(cx + 20, 96, 11, 8, "#17202A")
        if happy:
            d.path("M %d,128 Q %d,160 %d,128 Z" % (cx - 26, cx, cx + 26), "#17202A")
        else:
            d.path("M %d,150 Q %d,122 %d,150 Z" % (cx - 24, cx, cx + 24), "#17202A")
    d.path("M 70,200 Q 160,230 250,200", None, "#C0392B", 6)
    return d


def poster(title, subtitle, colour):
    d = Drawing(SCENE_SIZE, "#2C2C2C")
    d.rect(70, 12, 290, 258, colour, "#FDFEFE", 4)
    d.circle(180, 110, 56, mix(colour, "#FFFFFF", 0.35))
    figure(d, 180, 168, 96, "#17202A", SKIN[0], "#17202A")
    d.text(180 - text_width(title, 24) / 2, 184, title, 24, "#FDFEFE", 4)
    d.text(180 - text_width(subtitle, 12) / 2, 224, subtitle, 12, "#FDFEFE", 2.5)
    return d


def dressing_room():
    d = Drawing(SCENE_SIZE, "#5B2C6F")
    d.rect(0, 200, 360, 270, "#7E5109")
    d.rect(90, 30, 270, 190, "#D6EAF8", "#F7DC6F", 8)
    d.path("M 110,190 Q 180,120 250,190", None, "#AEB6BF", 3)
    for x in range(96, 270, 28):
        d.circle(x, 26, 8, "#FFF9C4", "#F1C40F", 2)
        d.circle(x, 194, 8, "#FFF9C4", "#F1C40F", 2)
    d.rect(120, 206, 150, 236, "#C0392B", radius=4)
    d.rect(200, 214, 250, 228, "#F5CBA7", radius=6)
    d.ellipse(290, 224, 18, 8, "#F1948A")
    return d


def seats():
    d = Drawing(SCENE_SIZE, "#1B1B1B")
    d.rect(40, 20, 320, 80, "#A93246")
    d.ellipse(180, 82, 140, 10, "#C9A45C")
    for row in range(4):
        y = 110 + row * 40
        for i in range(9 - row % 2):
            x = 24 + i * 38 + (row % 2) * 19
            d.rect(x, y, x + 32, y + 30, "#B03A2E", "#641E16", 2, radius=7)
            d.rect(x + 3, y + 22, x + 29, y + 34, "#922B21", radius=4)
    return d


def stage():
    d = people("#1B1B1B", "#5D4037", [], "stage")
    d.polygon([(150, 30), (210, 30), (250, 236), (110, 236)], "#5E5436")
    d.ellipse(180, 236, 70, 10, "#F7E7A1")
    figure(d, 180, 234, 120, "#1F618D", SKIN[0], "#2C3E50")
    return d

# Background, clothes, skin, hair, hair style, extras, initials.
PORTRAITS = {
    "martin": ("#F6D7C3", "#16807A", SKIN[0], "#6B3F22", "long", {"glasses"}, "HM"),
    "martin-noel": ("#DCE8D2", "#7D5A3C", SKIN[1], "#4B3621", "short", {"beard"}, "NM"),
    "dubois": ("#D6E4F0", "#34495E", SKIN[4], "#1C1C1C", "short", {"beard"}, "JD"),
    "noel": ("#FDEBD0", "#8E44AD", SKIN[4], "#B5471B", "curly", set(), "GN"),
    "dartagnan": ("#E8DAEF", "#1F3A93", SKIN[1], "#3B2A1A", "long", {"hat", "moustache"}, "CD"),
    "oeillet": ("#E9F7EF", "#C2185B", SKIN[0], "#B9B9B9", "bun", {"glasses"}, "BO"),
    "garcon": ("#FADBD8", "#117864", SKIN[3], "#1B1B1B", "long", set(), "IG"),
    "gauthier": ("#FCF3CF", "#D35400", SKIN[0], "#E1B95B", "long", set(), "LG"),
    "belanger": ("#D4E6F1", "#2E86C1", SKIN[1], "#5D4037", "short", {"beard", "beanie"}, "RB"),
    "moreau": ("#F5EEF8", "#6C3483", SKIN[5], "#5A3825", "bob", set(), "CM"),
    "fontaine": ("#D1F2EB", "#1A5276", SKIN[1], "#9E9E9E", "short", {"beard"}, "LF"),
    "chevalier": ("#FDEDEC", "#7B241C", SKIN[4], "#ECECEC", "bun", {"glasses"}, "AC"),
    "lambert": ("#EBDEF0", "#7E5109", SKIN[0], "#6D4C41", "bald", {"glasses"}, "FL"),
    "francois": ("#E8F8F5", "#212F3D", SKIN[2], "#3E2723", "curly", set(), "AF"),
    "mercier": ("#FEF5E7", "#1E8449", SKIN[0], "#8E3B1F", "long", set(), "EM"),
    "dupre": ("#F9EBEA", "#2471A3", SKIN[2], "#2B1B12", "bob", set(), "MD"),
    "girard": ("#E5F5E0", "#B03A2E", SKIN[1], "#8A8A8A", "short", {"glasses"}, "HG"),
    "joly": ("#EAF2F8", "#CB4335", SKIN[4], "#D4A64A", "bob", set(), "CJ"),
    "roussel": ("#FBEEE6", "#F4F6F7", SKIN[5], "#DADADA", "bald", {"moustache"}, "JR"),
    "lacroix": ("#E8F6F3", "#5B2C6F", SKIN[3], "#2E1A0F", "bun", set(), "NL"),
    "barbier": ("#EBF5FB", "#196F3D", SKIN[4], "#E3C16F", "short", set(), "CB"),
    "faure": ("#FDF2E9", "#6E2C00", SKIN[2], "#151515", "curly", set(), "PF"),
    "guerin": ("#F2E6F9", "#4A235A", SKIN[0], "#A6A6A6", "short", {"beard", "glasses"}, "RG"),
}

TOWNS = {
    "paris": ("PARIS", "tour", "#BFD9EE", "#9E9E9E", ["#E8DCC4", "#D9C9A8", "#F0E6D2"], 1),
    "toulouse": ("TOULOUSE", "sud", "#A9D6F2", "#C9A27E", ["#D9795F", "#C8654A", "#E39A7F"], 2),
    "auch": ("AUCH", "cathedrale", "#B7DDF4", "#8DBF6A", ["#EAD7B0", "#D8C08F", "#F1E3C4"], 3),
    "nice": ("NICE", "port", "#9FD3F7", "#2E7FB8", ["#F5B041", "#F8C471", "#EB984E", "#F5CBA7"], 4),
    "bordeaux": ("BORDEAUX", "pont", "#C2DDF0", "#3B8FC0", ["#EFE3C8", "#E2D1AA", "#F4EAD5"], 5),
    "marseille": ("MARSEILLE", "port", "#A3D5F5", "#2E7FB8", ["#F0D9B5", "#E8C595", "#F6E3C6"], 6),
    "grenoble": ("GRENOBLE", "montagne", "#B6DCF7", "#8DB87A", ["#D5D8DC", "#E5E7E9", "#C8CDD2"], 7),
    "rennes": ("RENNES", "cathedrale", "#C6DEEF", "#86B86A", ["#E6D3B3", "#F1E7D3", "#C97B63"], 8),
    "brest": ("BREST", "port", "#B2CFE3", "#2E7FB8", ["#D5D8DC", "#BFC5CC", "#E5E8E8"], 9),
    "limoges": ("LIMOGES", "pont", "#BCDDF2", "#3B8FC0", ["#EAD9BF", "#DCC39D", "#F2E6D3"], 10),
    "aix": ("AIX", "sud", "#9ED0F2", "#C9A27E", ["#F2D7A6", "#EBC687", "#F6E2BE"], 11),
    "metz": ("METZ", "cathedrale", "#C3DCEC", "#88B86C", ["#E9D27A", "#DDBF5A", "#F0DF9A"], 12),
    "amiens": ("AMIENS", "cathedrale", "#BED8EA", "#86B66A", ["#C97B63", "#B86A52", "#D9917A"], 13),
    "pau": ("PAU", "montagne", "#AED8F5", "#8DB87A", ["#EFE3C8", "#F4EAD5", "#E2D1AA"], 14),
    "la-rochelle": ("LA ROCHELLE", "port", "#A9D3F0", "#2E7FB8", ["#F2EDE4", "#E7DFD0", "#D9CFBD"], 15),
    "avignon": ("AVIGNON", "pont", "#A6D4F2", "#3B8FC0", ["#EBD5A8", "#E0C48D", "#F3E4C3"], 16),
}

FAMILY = [
    (130, 232, 110, "#E67E22", SKIN[0], "#6B3F22", True, False),
    (220, 232, 124, "#2980B9", SKIN[0], "#4B3621", False, False),
]
WEDDING = [
    (150, 232, 150, "#FDFEFE", SKIN[0], "#7B4A26", True, True),
    (212, 232, 164, "#1C2833", SKIN[2], "#1C1C1C", False, False),
]
ROPE_TEAM = [
    (150, 148, 60, "#C0392B", SKIN[1], "#5D4037", False, False),
    (200, 124, 60, "#2E86C1", SKIN[4], "#D4A64A", False, False),
    (250, 112, 60, "#F1C40F", SKIN[2], "#1C1C1C", False, False),
]
TROUPE = [
    (100, 236, 96, "#8E44AD", SKIN[0], "#6B3F22", True, False),
    (150, 236, 110, "#16A085", SKIN[2], "#1C1C1C", False, False),
    (206, 236, 104, "#D35400", SKIN[4], "#E1B95B", True, False),
    (260, 236, 112, "#2C3E50", SKIN[1], "#A6A6A6", False, False),
]

# The drawings of the sample folder, by file name.
SAMPLE_DRAWINGS = {
    "martin-maison.png": lambda: house("#F2E2C4", "#8E3B2F", "#1F618D"),
    "martin-livres.jpg": lambda: shelf_of_books(21),
    "martin-lea-theo.jpg": lambda: people("#FDEBD0", "#A9CCE3", FAMILY),
    "martin-chocolats.jpg": chocolates,
    "martin-plan.png": lambda: town_plan([(150, 70), (236, 205)]),
    "dubois-violoncelle.jpg": cello,
    "dubois-reglisse.gif": cat,
    "oeillet-fleurs.jpg": flowers,
    "belanger-sommet.jpg": summit,
    "belanger-refuge.png": lambda: house("#A47148", "#5E3A1E", "#3E2414", chalet=True),
    "belanger-bivouac.jpg": bivouac,
    "belanger-lac.jpg": lake,
    "belanger-velo.gif": bicycle,
    "belanger-cordee.jpg": lambda: people("#A9D6F5", "#FFFFFF", ROPE_TEAM, "ridge"),
    "moreau-maison.png": lambda: house("#FDFEFE", "#4D5656", "#196F3D"),
    "fontaine-bateau.JPG": sailing_boat,
    "chevalier-carte.png": lambda: greeting_card("BONNE ANNEE", 2027),
    "lambert-atelier.jpg": workbench,
    "francois-appareil.jpg": camera,
    "francois-mariage.jpg": lambda: people("#FEF9E7", "#A9DFBF", WEDDING, "arch"),
    "francois-studio.png": lambda: house("#D5DBDB", "#2C3E50", "#922B21", sign="PHOTO"),
    "francois-porcelaine.jpg": porcelain,
    "francois-paysage.jpg": lambda: landscape(31),
    "francois-planche.jpg": contact_sheet,
    "dupre-crepes.jpg": crepes,
    "girard-randonnee.jpg": lambda: landscape(41, path=True),
    "roussel-pain.jpg": bread,
    "faure-tapis.png": rug,
    "guerin-scene.jpg": stage,
    "guerin-masques.png": masks,
    "guerin-affiche.jpg": lambda: poster("LE CID", "THEATRE DE L'HORLOGE", "#B03A2E"),
    "guerin-loge.jpg": dressing_room,
    "guerin-troupe.jpg": lambda: people("#1B1B1B", "#5D4037", TROUPE, "stage"),
    "guerin-fauteuils.jpg": seats,
}
for _key, _person in PORTRAITS.items():
    SAMPLE_DRAWINGS[_key + ("" if "-" in _key else "-portrait") + ".jpg"] = lambda p=_person: portrait(p)
for _key, _town in TOWNS.items():
    SAMPLE_DRAWINGS["ville-" + _key + ".jpg"] = lambda t=_town: town(*t)

# Windows-1252 texts with CRLF line ends.
SAMPLE_TEXTS = {
    "martin-atelier.txt": [
        "Atelier de lecture — médiathèque Mouffetard",
        "",
        "Jeudi 19 h : « Le Comte de Monte-Cristo », chapitres 1 à 12.",
        "Apporter son exemplaire ; thé et café offerts, gâteaux bienvenus.",
        "Prochaine séance : récits de voyage (Nicolas Bouvier, Ella Maillart).",
        "Cotisation annuelle : 15 € — à régler avant les vacances d'été.",
    ],
    "belanger-courses.txt": [
        "Courses de l'été — Rémi Bélanger, guide",
        "",
        "Juillet : Dôme des Écrins (2 jours, refuge du Glacier Blanc).",
        "Août : traversée de la Meije, départ 3 h du refuge de l'Aigle.",
        "Matériel : crampons, piolet, baudrier, lampe frontale, crème solaire.",
        "Prévoir 80 € par personne et par jour, nuitées en refuge comprises.",
    ],
    "francois-tarifs.txt": [
        "Aurélien François — photographe, 6 rue du Pont-Neuf, Limoges",
        "",
        "Portrait en studio : 60 € (trois tirages 13 × 18 compris).",
        "Mariage, journée entière : 950 € ; album de 40 pages en option.",
        "Reproduction de photos anciennes : 8 € la pièce.",
        "Studio fermé le lundi ; sur rendez-vous le samedi après-midi.",
    ],
    "guerin-saison.txt": [
        "Petit théâtre de l'Horloge — saison d'automne",
        "",
        "Octobre : « Le Cid », de Corneille ; générale le 2 à 20 h 30.",
        "Novembre : « Les Précieuses ridicules » et « Le Médecin malgré lui ».",
        "Décembre : conte de Noël pour les enfants, goûter après la séance.",
        "Réservations au guichet, du mardi au samedi, de 14 h à 18 h.",
    ],
}

# One page each: a title on a coloured band, then a few lines.
SAMPLE_DOCUMENTS = {
    "martin-programme.pdf": ("Club de lecture", (0.09, 0.50, 0.48), [
        "Programme du trimestre",
        "Janvier : Le Comte de Monte-Cristo",
        "Février : Le Tour du monde en quatre-vingts jours",
        "Mars : L'Usage du monde",
        "Jeudi à 19 h, médiathèque Mouffetard",
    ]),
    "belanger-topo.pdf": ("Dôme des Écrins", (0.18, 0.53, 0.76), [
        "Topo de la course, 4 015 m",
        "Jour 1 : Pré de Madame Carle, refuge du Glacier Blanc",
        "Jour 2 : départ à 3 h, sommet vers 9 h, retour à midi",
        "Difficulté : PD, glacier crevassé",
    ]),
    "francois-exposition.pdf": ("Exposition", (0.13, 0.18, 0.24), [
        "Lumières du Limousin",
        "Photographies d'Aurélien François",
        "Du 4 au 28 mai, galerie du Pont-Neuf",
        "Vernissage le vendredi 3 mai à 18 h 30",
    ]),
    "guerin-programme.pdf": ("Le Cid", (0.69, 0.23, 0.18), [
        "Tragi-comédie de Pierre Corneille",
        "Petit théâtre de l'Horloge, Avignon",
        "Générale le 2 octobre à 20 h 30, entrée libre",
        "« Ô rage ! ô désespoir ! ô vieillesse ennemie ! »",
    ]),
}

# The picture list of each record, by surname: names in slot order (None for an empty slot), or one
# name alone for the form without a leading bar. Records not listed have no picture.
CARNET_PICTURES = {
    "Martin": ["martin-portrait.jpg", "ville-paris.jpg", "martin-maison.png", "martin-livres.jpg",
               "martin-lea-theo.jpg", "martin-noel.jpg", "martin-chocolats.jpg", "martin-plan.png",
               "martin-atelier.txt", "martin-programme.pdf"],
    "Dubois": ["dubois-portrait.jpg", "dubois-violoncelle.jpg", "ville-toulouse.jpg", "dubois-reglisse.gif"],
    "Noël": "noel-portrait.jpg",
    "d'Artagnan": ["dartagnan-portrait.jpg", "ville-auch.jpg"],
    "Œillet": ["oeillet-portrait.jpg", "oeillet-fleurs.jpg", "ville-nice.jpg"],
    "Garçon": ["garcon-portrait.jpg", None, "ville-bordeaux.jpg"],
    "Gauthier": ["gauthier-portrait.jpg", "ville-marseille.jpg"],
    "Bélanger": ["belanger-portrait.jpg", "belanger-sommet.jpg", "ville-grenoble.jpg", "belanger-refuge.png",
                 "belanger-cordee.jpg", "belanger-courses.txt", "belanger-bivouac.jpg", "belanger-lac.jpg",
                 "belanger-velo.gif", "belanger-topo.pdf"],
    "Moreau": ["moreau-portrait.jpg", "moreau-maison.png", "ville-rennes.jpg"],
    "Fontaine": ["fontaine-portrait.jpg", "fontaine-bateau.JPG", "ville-brest.jpg"],
    "Chevalier": ["chevalier-portrait.jpg", "chevalier-carte.png"],
    "Lambert": ["lambert-portrait.jpg", "lambert-atelier.jpg"],
    "François": ["francois-portrait.jpg", "francois-appareil.jpg", "francois-mariage.jpg", "ville-limoges.jpg",
                 "francois-studio.png", "francois-porcelaine.jpg", "francois-paysage.jpg",
                 "francois-planche.jpg", "francois-exposition.pdf", "francois-tarifs.txt"],
    "Mercier": ["mercier-portrait.jpg", "ville-aix.jpg"],
    "Dupré": ["dupre-portrait.jpg", "dupre-crepes.jpg"],
    "Girard": ["girard-portrait.jpg", "girard-randonnee.jpg", None, None, "ville-metz.jpg"],
    "Joly": ["joly-portrait.jpg"],
    "Roussel": ["roussel-portrait.jpg", "roussel-pain.jpg", "ville-amiens.jpg"],
    "Lacroix": ["lacroix-portrait.jpg", "ville-pau.jpg"],
    "Barbier": ["barbier-portrait.jpg", "ville-la-rochelle.jpg"],
    "Faure": ["faure-portrait.jpg", "faure-tapis.png", "ville-brest.jpg"],
    "Guérin": ["guerin-portrait.jpg", "guerin-scene.jpg", "ville-avignon.jpg", "guerin-affiche.jpg",
               "guerin-masques.png", "guerin-loge.jpg", "guerin-troupe.jpg", "guerin-fauteuils.jpg",
               "guerin-saison.txt", "guerin-programme.pdf"],
}


def picture_list(surname):
    """F23 of a record: names relative to the program directory, with forward slashes."""
    entry = CARNET_PICTURES.get(surname)
    if entry is None:
        return ""
    if isinstance(entry, str):
        return SAMPLE_FOLDER + "/" + entry
    slots = [SAMPLE_FOLDER + "/" + name if name else "" for name in entry]
    assert len(slots) <= 10
    return "".join("|" + name for name in slots + [""] * (10 - len(slots)))


def sample_file_names():
    names = set()
    for entry in CARNET_PICTURES.values():
        names.update([entry] if isinstance(entry, str) else [n for n in entry if n])
    return names


def pdf_string(text):
    raw = text.encode("cp1252")
    return b"(" + raw.replace(b"\\", b"\\\\").replace(b"(", b"\\(").replace(b")", b"\\)") + b")"


def pdf_document(title, colour, lines):
    """A one-page A5 PDF in the standard fonts (Windows-1252 text), with a correct cross-reference table."""
    band = b"%.2f %.2f %.2f rg 0 515 420 80 re f\n" % colour
    content = band + b"BT /F1 26 Tf 1 1 1 rg 32 545 Td " + pdf_string(title) + b" Tj ET\n"
    content += b"BT /F2 13 Tf 0.15 0.15 0.15 rg 32 470 Td 22 TL\n"
    for line in lines:
        content += pdf_string(line) + b" Tj T*\n"
    content += b"ET\n0.6 0.6 0.6 RG 1 w 32 60 m 388 60 l S\n"
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 420 595] "
        b"/Resources << /Font << /F1 4 0 R /F2 5 0 R >> >> /Contents 6 0 R >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
        b"<< /Length %d >>\nstream\n" % len(content) + content + b"endstream",
        b"<< /Title " + pdf_string(title) + b" >>",
    ]
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R /Info 7 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    for number, offset in enumerate(offsets, 1):
        assert out[offset:].startswith(b"%d 0 obj" % number)
    return bytes(out)


def render(drawing, target):
    kind = os.path.splitext(target)[1].lower()
    options = {
        ".jpg": ["-quality", "85", "-sampling-factor", "2x2", "JPEG:" + target],
        ".png": ["-define", "png:exclude-chunks=date,time", "PNG24:" + target],
        ".gif": ["+dither", "-colors", "64", "GIF:" + target],
    }[kind]
    subprocess.run(["convert", "-size", "%dx%d" % (drawing.width, drawing.height), "xc:" + drawing.background,
                    "-draw", drawing.mvg(), "-strip", "+set", "date:create", "+set", "date:modify"] + options,
                   check=True)


def make_sample_folder(out):
    folder = os.path.join(out, SAMPLE_FOLDER)
    if os.path.isdir(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    made = set()
    for name, draw in SAMPLE_DRAWINGS.items():
        render(draw(), os.path.join(folder, name))
        made.add(name)
    for name, lines in SAMPLE_TEXTS.items():
        write(os.path.join(folder, name), "".join(line + "\r\n" for line in lines).encode("cp1252"))
        made.add(name)
    for name, (title, colour, lines) in SAMPLE_DOCUMENTS.items():
        write(os.path.join(folder, name), pdf_document(title, colour, lines))
        made.add(name)
    # Every file is named by some record, and every name has its file.
    assert made == sample_file_names(), sorted(made ^ sample_file_names())
    size = sum(os.path.getsize(os.path.join(folder, name)) for name in made)
    assert size < SAMPLE_FOLDER_LIMIT, size


# ---------------------------------------------------------------- sounds

SOX_OUT = ["-r", "44100", "-b", "16", "-c", "1", "-e", "signed-integer"]


def sox(args, target, effects):
    subprocess.run(["sox", "-R", "-D", "-q"] + args + SOX_OUT + [target] + effects, check=True)


def make_sounds(out, scratch):
    # A bark: a sawtooth whose pitch falls, roughened with pink noise, band-limited and driven a little.
    barks = []
    for i, (length, start, end, gap) in enumerate([(0.17, 640, 380, 0.13), (0.15, 700, 420, 0.34),
                                                   (0.23, 560, 300, 0.22)]):
        part = os.path.join(scratch, "bark%d.wav" % i)
        sox(["-n"], part, ["synth", str(length), "sawtooth", "%d/%d" % (start, end),
                           "synth", str(length), "pinknoise", "mix",
                           "bandpass", "900", "0.9q", "overdrive", "12", "10", "lowpass", "2400", "lowpass", "3200",
                           "fade", "t", "0.008", str(length), str(round(length * 0.6, 3)),
                           "pad", "0", str(gap)])
        barks.append(part)
    sox(barks, os.path.join(out, "big-dog-barking.wav"), ["reverb", "15", "40", "30", "gain", "-n", "-3"])

    quiet = ["gain", "-n", "-16"]
    # Default: one plucked note. Information: a gentle rising chime. Exclamation: a double blip.
    # Warning: a falling pair of softer triangle notes.
    sox(["-n"], os.path.join(out, "beep-default.wav"),
        ["synth", "0.22", "pluck", "A5", "fade", "q", "0.002", "0.22", "0.12"] + quiet)
    notes = []
    for i, (wave, pitch, length) in enumerate([("sine", "C6", 0.11), ("sine", "G6", 0.19)]):
        part = os.path.join(scratch, "info%d.wav" % i)
        sox(["-n"], part, ["synth", str(length), wave, pitch, "synth", str(length), "sine", "mix",
                           "%s" % ("C7" if i == 0 else "G7"), "fade", "q", "0.004", str(length),
                           str(round(length * 0.7, 3))])
        notes.append(part)
    sox(notes, os.path.join(out, "beep-information.wav"), quiet)
    blips = []
    for i in range(2):
        part = os.path.join(scratch, "blip%d.wav" % i)
        sox(["-n"], part, ["synth", "0.08", "square", "E6", "lowpass", "3000",
                           "fade", "q", "0.003", "0.08", "0.03", "pad", "0", "0.05"])
        blips.append(part)
    sox(blips, os.path.join(out, "beep-exclamation.wav"), quiet)
    falls = []
    for i, (pitch, length) in enumerate([("A5", 0.14), ("D5", 0.22)]):
        part = os.path.join(scratch, "warn%d.wav" % i)
        sox(["-n"], part, ["synth", str(length), "triangle", pitch,
                           "fade", "q", "0.004", str(length), str(round(length * 0.5, 3))])
        falls.append(part)
    sox(falls, os.path.join(out, "beep-warning.wav"), quiet)


# ---------------------------------------------------------------- driver

def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def make_all(out):
    os.makedirs(out, exist_ok=True)
    write(os.path.join(out, "Fichora_par.ref"), par_template())
    write(os.path.join(out, "Fichora_xml.ref"), xml_template())
    write(os.path.join(out, "Fichora_conf.ref"), conf_file())
    par, xml = carnet()
    write(os.path.join(out, "Carnet.par"), par)
    write(os.path.join(out, "Carnet.xml"), xml)
    with tempfile.TemporaryDirectory() as scratch:
        make_pictures(out)
        make_sample_folder(out)
        make_sounds(out, scratch)


def relative_files(top):
    found = []
    for folder, _, names in os.walk(top):
        found += [os.path.relpath(os.path.join(folder, name), top) for name in names]
    return sorted(found)


def main():
    if "--check" in sys.argv[1:]:
        with tempfile.TemporaryDirectory() as fresh:
            make_all(fresh)
            names = relative_files(fresh)
            _, mismatch, errors = filecmp.cmpfiles(fresh, PROGRAM_DIR, names, shallow=False)
            for name in mismatch + errors:
                print("differs or missing: " + name)
            # The sample folder is generated whole: a file there that no record names is left over.
            stale = sorted(set(relative_files(os.path.join(PROGRAM_DIR, SAMPLE_FOLDER))) -
                           set(relative_files(os.path.join(fresh, SAMPLE_FOLDER))))
            for name in stale:
                print("not generated: " + os.path.join(SAMPLE_FOLDER, name))
            return 1 if mismatch or errors or stale else 0
    make_all(PROGRAM_DIR)
    return 0


if __name__ == "__main__":
    sys.exit(main())
