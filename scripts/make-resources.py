#!/usr/bin/env python3
"""Makes the shipped files of resources/program/ that are binary or have a fixed byte layout.

Usage (from anywhere):
    python3 scripts/make-resources.py            # (re)write every file
    python3 scripts/make-resources.py --check    # rebuild in a scratch folder, compare with the committed files

Needs python3, sox (sounds) and ImageMagick's `convert` (pictures). Every output is reproducible:
sox runs with a fixed random seed (-R) and no dither, pictures are written without metadata or dates.

Outputs:
    Fichora_par.ref   parameter-file template: 23 field records of 80 bytes (text fields, empty labels,
                      width 145, ticked for export); the marker "Fichora V3.6" at 0, flags at 13..15 blank
    Fichora_xml.ref   data-file template: an empty data packet of 23 text fields, 1470 bytes, with the
                      descriptions of F02..F21 in 55-byte slots 57 bytes apart from 149, "<ROWDATA>" at 1438
    Fichora_conf.ref  configuration: language 'F' at byte 25, skin '3' at byte 36
    Carnet.par/.xml   a sample address book made as the new-database window and the row writer make them
    Smiley.bmp/.jpg, Smiley2.bmp             stand-in pictures
    big-dog-barking.wav, beep-*.wav          sounds (16-bit PCM, 44.1 kHz, mono)
"""

import filecmp
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

PHOTOS_BOTH = "|Smiley.jpg|Smiley.bmp||||||||"

# Nom, Prénom, Adresse, Code postal, Ville, Téléphone, Courriel, Âge, Notes, Photo
CARNET_RECORDS = [
    ("Martin", "Hélène", "12, rue des Écoles", "75005", "Paris", "01 43 25 17 90",
     "helene.martin@exemple.fr", "42",
     "Rencontrée au club de lecture de la médiathèque, où elle anime l'atelier du jeudi soir. "
     "Elle prête volontiers ses livres, surtout les romans policiers et les récits de voyage, "
     "mais tient à les retrouver avant l'été.\r\n"
     "Anniversaire le 3 mars : penser aux chocolats de la pâtisserie Bérénice, rue Mouffetard.\r\n"
     "Ses enfants, Léa et Théo, sont au collège Henri-IV ; son mari, Noël, est ébéniste à Montreuil.",
     "Smiley.jpg"),
    ("Lefèvre", "Françoise", "8, place du Marché", "69002", "Lyon", "04 78 42 10 33",
     "f.lefevre@exemple.fr", "57", "Sœur de Jérôme. Préfère les appels le soir – jamais avant 19 h.", ""),
    ("Dubois", "Jérôme", "27, avenue Jean-Jaurès", "31000", "Toulouse", "05 61 22 48 05",
     "jerome.dubois@exemple.org", "35",
     "Collègue de bureau. Joue du violoncelle le jeudi.\r\nA un chat nommé Réglisse.", PHOTOS_BOTH),
    ("Noël", "Gaëlle", "3, impasse des Lilas", "44000", "Nantes", "02 40 35 61 77",
     "gaelle.noel@exemple.fr", "29", "", ""),
    ("d'Artagnan", "Charles", "1, rue des Mousquetaires", "32000", "Auch", "05 62 05 16 00",
     "charles.dartagnan@exemple.fr", "38",
     "Toujours pressé. Un pour tous, tous pour un !", "Smiley.bmp"),
    ("L'Isle", "Anaïs", "14, quai de la Sorgue", "84800", "L'Isle-sur-la-Sorgue", "04 90 38 04 78",
     "anais.lisle@exemple.fr", "46", "Antiquaire. Marché aux puces le dimanche matin.", ""),
    ("Œillet", "Bérénice", "5, allée des Jardins", "06000", "Nice", "04 93 87 12 64",
     "berenice.oeillet@exemple.fr", "61", "Fleuriste. Elle connaît le nom latin de chaque plante.",
     "Smiley.jpg"),
    ("Lemaître", "Benoît", "22, boulevard Gambetta", "59000", "Lille", "03 20 54 33 81",
     "benoit.lemaitre@exemple.org", "50", "", ""),
    ("Garçon", "Inès", "9, rue Émile-Zola", "33000", "Bordeaux", "05 56 44 29 17",
     "ines.garcon@exemple.fr", "24",
     "Étudiante en médecine. Disponible pendant les vacances scolaires.", ""),
    ("Gauthier", "Léa", "41, rue de la République", "13001", "Marseille", "04 91 90 72 36",
     "lea.gauthier@exemple.fr", "33", "Voisine de Noël. Arrose les plantes en août.", ""),
    ("Bélanger", "Rémi", "7, chemin des Crêtes", "38000", "Grenoble", "04 76 51 09 42",
     "remi.belanger@exemple.org", "44",
     "Guide de haute montagne.\r\nNe répond pas au téléphone en été.", PHOTOS_BOTH),
    ("Moreau", "Céline", "16, rue du Château", "35000", "Rennes", "02 99 79 21 56",
     "celine.moreau@exemple.fr", "39", "", "Smiley.jpg"),
    ("Fontaine", "Loïc", "2, place de l'Église", "29200", "Brest", "02 98 44 13 70",
     "loic.fontaine@exemple.fr", "52", "Marin. Rapporte du café d'Éthiopie à chaque escale.", ""),
    ("Rousseau", "Zoé", "30, rue Voltaire", "67000", "Strasbourg", "03 88 32 45 19",
     "zoe.rousseau@exemple.org", "19", "", ""),
    ("Chevalier", "Agnès", "11, rue des Tanneurs", "21000", "Dijon", "03 80 30 66 28",
     "agnes.chevalier@exemple.fr", "68",
     "Ancienne institutrice de la famille. Envoie une carte à chaque Nouvel An.", ""),
    ("Lambert", "Frédéric", "4, avenue Foch", "54000", "Nancy", "03 83 35 12 07",
     "frederic.lambert@exemple.fr", "47", "Associé de \"Lambert & Fils\", menuiserie.", "Smiley.bmp"),
    ("Bonnet", "Mélanie", "19, rue Nationale", "37000", "Tours", "02 47 05 58 93",
     "melanie.bonnet@exemple.fr", "31", "", ""),
    ("François", "Aurélien", "6, rue du Pont-Neuf", "87000", "Limoges", "05 55 32 70 14",
     "aurelien.francois@exemple.org", "36", "Photographe. Il a pris les photos du mariage.", PHOTOS_BOTH),
    ("Mercier", "Élodie", "25, cours Mirabeau", "13100", "Aix-en-Provence", "04 42 26 81 49",
     "elodie.mercier@exemple.fr", "27", "", ""),
    ("Dupré", "Maïté", "13, rue des Arènes", "30000", "Nîmes", "04 66 21 38 02",
     "maite.dupre@exemple.fr", "55",
     "Fait les meilleures crêpes du quartier. Recette à lui demander.", "Smiley.jpg"),
    ("Perrin", "Thérèse", "10, rue Pasteur", "63000", "Clermont-Ferrand", "04 73 93 40 25",
     "therese.perrin@exemple.fr", "74", "", ""),
    ("Girard", "Hervé", "37, rue de Metz", "57000", "Metz", "03 87 75 64 11",
     "herve.girard@exemple.org", "49", "Club de randonnée, sortie le premier samedi du mois.", ""),
    ("Joly", "Clémence", "18, rue Sainte-Catherine", "14000", "Caen", "02 31 86 27 53",
     "clemence.joly@exemple.fr", "22", "", ""),
    ("Roussel", "Joël", "21, rue des Bouchers", "80000", "Amiens", "03 22 91 49 60",
     "joel.roussel@exemple.fr", "63",
     "Ancien boulanger.\r\nConnaît tout le monde dans le quartier Saint-Leu.", "Smiley.bmp"),
    ("Blanchard", "Ségolène", "8 bis, rue Lamartine", "49000", "Angers", "02 41 87 35 46",
     "segolene.blanchard@exemple.fr", "41", "", ""),
    ("Lacroix", "Noémie", "15, avenue de la Gare", "64000", "Pau", "05 59 27 80 38",
     "noemie.lacroix@exemple.org", "30", "Kinésithérapeute. Cabinet fermé le mercredi.", ""),
    ("Barbier", "Cédric", "3, rue du Vieux-Port", "17000", "La Rochelle", "05 46 41 22 19",
     "cedric.barbier@exemple.fr", "45", "", "Smiley.jpg"),
    ("Faure", "Pénélope", "28, rue de Siam", "29200", "Brest", "02 98 80 14 65",
     "penelope.faure@exemple.fr", "37", "Cousine de Loïc. Tisse des tapis.", ""),
    ("Guérin", "Raphaël", "12, rue de l'Horloge", "84000", "Avignon", "04 90 82 56 71",
     "raphael.guerin@exemple.fr", "58", "Directeur du petit théâtre. Places gratuites à la générale.",
     PHOTOS_BOTH),
    ("Renaud", "Géraldine", "9, rue des Forgerons", "25000", "Besançon", "03 81 65 37 28",
     "geraldine.renaud@exemple.org", "34", "", ""),
]


def carnet_record_values(record):
    name, first, address, postcode, town, phone, mail, age, notes, photo = record
    values = [name, first, address, postcode, town, phone, mail, age] + [""] * 13 + [notes, photo]
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
        make_sounds(out, scratch)


def main():
    if "--check" in sys.argv[1:]:
        with tempfile.TemporaryDirectory() as fresh:
            make_all(fresh)
            names = sorted(os.listdir(fresh))
            _, mismatch, errors = filecmp.cmpfiles(fresh, PROGRAM_DIR, names, shallow=False)
            for name in mismatch + errors:
                print("differs or missing: " + name)
            return 1 if mismatch or errors else 0
    make_all(PROGRAM_DIR)
    return 0


if __name__ == "__main__":
    sys.exit(main())
