#include "texttable.h"

#include "ui/navigator.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>

namespace fichora {

namespace {

using P = TextRow::Property;

constexpr char kSortButtons[] = "BitBtn6 BitBtn7 BitBtn8 BitBtn9 BitBtn10 BitBtn11 BitBtn12 BitBtn13 BitBtn14 "
                                "BitBtn15 BitBtn16 BitBtn31 BitBtn32 BitBtn33 BitBtn34 BitBtn35 BitBtn36 BitBtn37 "
                                "BitBtn38 BitBtn39 BitBtn40 BitBtn41";
constexpr char kFilterBoxes[] = "Edit3 Edit4 Edit5 Edit6 Edit7 Edit8 Edit9 Edit10 Edit11 Edit12 Edit13 Edit16 Edit17 "
                                "Edit18 Edit19 Edit20 Edit23 Edit24 Edit25 Edit26 Edit27 Edit28";

constexpr TextRow kRows[] = {
    {"TForm1", "Label11", P::Caption, 0, "Clé de cryptage/décryptage ---->", "Ciphering/Unciphering key ---->"},
    {"TForm1", "Label13", P::Caption, 0, "Nombre enregistr.", "Records count"},
    {"TForm1", "Label14", P::Caption, 0, "Lecture seule", "Read only"},
    {"TForm1", "Label21", P::Caption, 0, "Recherche colonne 1", "Seek column 1"},
    {"TForm1", "Label22", P::Caption, 0, "Recherche base", "Seek database"},
    {"TForm1", "Label23", P::Caption, 0, "Argument de filtrage  ---->", "Filter argument  ---->"},
    {"TForm1", "Label24", P::Caption, 0, "Enreg. en cours", "Current record"},
    {"TForm1", "ToolButton2", P::Hint, 0, "Définit une nouvelle bases de données", "Design of a new data base"},
    {"TForm1", "ToolButton1", P::Hint, 0, "Ouvre une des bases de données existantes", "Open an existing data base"},
    {"TForm1", "ToolButton3", P::Hint, 0, "Pour detruire une des bases de données existantes",
     "To destroy an existing data base"},
    {"TForm1", "ToolButton20", P::Hint, 0, "Aide", "Help"},
    {"TForm1", "ToolButton9", P::Hint, 0, "Restructuration de la base de données existante",
     "Restructuration of the existing data base"},
    {"TForm1", "BitBtn1", P::Hint, 0, "A propos", "About"},
    {"TForm1", "BitBtn2", P::Hint, 0, "Numéro de skin \n(X = pas de skin)", "Skin number\n(X = not skinned)"},
    {"TForm1", "BitBtn3", P::Hint, 0, "Modification protection base (bascule)", "Toggle database protection on/off"},
    {"TForm1", kSortButtons, P::Hint, 0, "Trier les enregistrements selon ce champ",
     "Order records according to this field"},
    {"TForm1", "BitBtn17", P::Hint, 0, "Voir seulement les fiches qui ont une photo",
     "Show only records with a photograph"},
    {"TForm1", "BitBtn18", P::Hint, 0, "Lancer la recherche en colonne 1", "Launch seek in column 1"},
    {"TForm1", "BitBtn19", P::Hint, 0, "Appliquer le filtre", "Activate the filter"},
    {"TForm1", "BitBtn21", P::Hint, 0, "Supprimer le filtre", "Remove the filter"},
    {"TForm1", "BitBtn22", P::Hint, 0, "Effacer toutes les zones filtre", "Erase all filter zones"},
    {"TForm1", "BitBtn23", P::Hint, 0, "Voir toutes les fiches", "See all records"},
    {"TForm1", "BitBtn24", P::Hint, 0, "Lancer la recherche dans la base de données", "Launch seek in the data base"},
    {"TForm1", "BitBtn25", P::Hint, 0, "Rechercher la prochaine occurence", "Seek next occurrence"},
    {"TForm1", "BitBtn26", P::Hint, 0, "Abandonner la recherche", "Cancel seek"},
    {"TForm1", "BitBtn27", P::Hint, 0, "Abandonner l'opération", "Give-up operation"},
    {"TForm1", "OpenOtherPictures", P::Hint, 0, "Ouvrir les autres images ou fichiers", "Open other pictures or files"},
    {"TForm1", "ToolButton5", P::Hint, 0,
     "Importe dans une nouvelle base le contenu d'une des feuilles d'un fichier Excel",
     "Import in a new database the contents of one of the worksheets from a Excel file"},
    {"TForm1", "ToolButton6", P::Hint, 0, "Importe dans une nouvelle base le contenu d'un fichier ASCII délimité",
     "Import in a new database the contents of a ASCII delimited file"},
    {"TForm1", "ToolButton7", P::Hint, 0, "Ferme ce programme", "Close this program"},
    {"TForm1", "ToolButton10", P::Hint, 0,
     "Permet de récrire la base en modifiant les types de champ (Texte<->Numérique)",
     "Rewrite the database with modified field-types (Text <-> Numeric)"},
    {"TForm1", "ToolButton11", P::Hint, 0, "Sauvegarde les modifications faites", "Save modifications"},
    {"TForm1", "ToolButton13", P::Hint, 0, "Montre les données telles qu'elles seront imprimées/exportées",
     "Show data as they will be printed/exported"},
    {"TForm1", "ToolButton14", P::Hint, 0, "Imprime ou exporte les données filtrées contenues dans la base active",
     "Print or export filtered data from active database"},
    {"TForm1", "ToolButton16", P::Hint, 0,
     "Exporte dans un fichier Excel la totalité des fiches contenues dans la base active\nLes champs non cochés ne "
     "sont pas exportés",
     "Export in an Excel file the complete set of records from the active database\nNon-checked fields are not "
     "exported"},
    {"TForm1", "ToolButton17", P::Hint, 0,
     "Exporte dans un fichier ASCII délimité la totalité des fiches contenues dans la base active\nLes champs non "
     "cochés ne sont pas exportés",
     "Export in an ASCII delimited file the complete set of records from the active database\nNon-checked fields are "
     "not exported"},
    {"TForm1", "ToolButton19", P::Hint, 0, "Mémorise la largeur actuelle des colonnes de la grille de données",
     "Memorize the current width of the data-grid columns"},
    {"TForm1", "ToolButton21", P::Hint, 0,
     "Ajoute à la fin d'une base existante, le contenu d'une des feuilles d'un "
     "fichier Excel",
     "Add at the end of an existing database, the contents of an Excel worhsheet"},
    {"TForm1", "ToolButton22", P::Hint, 0, "Ferme la base en cours", "Close current database"},
    {"TForm1", "ToolButton23", P::Hint, 0, "Choix du type de prévisualisation/impression/export",
     "Choose the preview/print/export template"},
    {"TForm1", "ToolButton24", P::Hint, 0, "Importe dans une nouvelle base le contenu d'un fichier dBase (.dbf)",
     "Import in a new database the contents of a dBase file (.dbf)"},
    {"TForm1", "DBEdit11", P::Hint, 0, "Fichier image (Bmp ou Jpg)", "Image file (Bmp or Jpg)"},
    {"TForm1", "DBNavigator1", P::Hint, 0, "Navigation parmi les enregistrements de la base active",
     "Navigation among records of the active database"},
    {"TForm1", "Edit1", P::Hint, 0, "Taper le mot à rechercher en début de colonne 1",
     "Type-in the word to seek at beginning of column 1"},
    {"TForm1", "Edit2", P::Hint, 0, "Nombre d'enregistrements trouvés", "Quantity of records found"},
    {"TForm1", kFilterBoxes, P::Hint, 0, "Filtre à utiliser pour ce champ", "Filter to use for this field"},
    {"TForm1", "Edit14", P::Hint, 0, "Saisir la clé de cryptage (6 digits alphanumériques)",
     "Type-in the cyphering key (6 alphanumeric digits)"},
    {"TForm1", "Edit15", P::Hint, 0, "Taper le mot à rechercher dans la base de données",
     "Type-in the word to seek in the database"},
    {"TForm1", "Edit22", P::Hint, 0, "Enregistrement en cours", "Current record"},
    {"TForm1", "RadioGroup1", P::Caption, 0, "Filtre ", "Filter "},
    {"TForm1", "RadioGroup1", P::Hint, 0,
     "Standard = Utilise les 16 zones de filtre.\nArgument = Utilise la zone \"Argument de filtrage\".",
     "Standard = Use the 16 filter boxes.\nArgument = Use the \"Filter argument\" box."},
    {"TForm1", "Image1", P::Hint, 0, "Double cliquez pour agrandir l'image 1", "Double click to enlarge picture 1"},
    {"TForm1", "Image3", P::Hint, 0, "Double cliquez pour agrandir l'image 2", "Double click to enlarge picture 2"},
    {"TForm1", "", P::WindowCaption, 0, "  Fichora  V3.6", "  Fichora  V3.6"},
    {"TForm1", "DBGrid1", P::Hint, 0, "Double cliquez pour agrandir cette grille", "Double click to extend this grid"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 0, "Premier enregistrement", "First record"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 1, "Enregistrement précédent", "Previous record"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 2, "Enregistrement suivant", "Next record"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 3, "Dernier enregistrement", "Last record"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 4, "Insérer enregistrement", "Insert record"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 5, "Supprimer l'enregistrement", "Suppress record"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 6, "Modifier l'enregistrement", "Modify record"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 7, "Valider modifications", "Validate record"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 8, "Annuler les modifications", "Cancel modifications"},
    {"TForm1", "DBNavigator1", P::NavigatorHint, 9, "Rafraîchir les données", "Refresh data"},
    {"TForm2", "BitBtn1", P::Hint, 0, "Crée la nouvelle base, selon les données ci-dessus",
     "Create database, according to above data"},
    {"TForm2", "BitBtn2", P::Hint, 0, "Ferme cette fenétre", "Close this window"},
    {"TForm2", "BitBtn3", P::Hint, 0, "Efface les champs de cette page", "Erase all fields in this page"},
    {"TForm2", "BitBtn1", P::Caption, 0, "Créer la base", "Create database"},
    {"TForm2", "BitBtn2", P::Caption, 0, "Fermer", "Close"},
    {"TForm2", "BitBtn3", P::Caption, 0, "Effacer", "Erase"},
    {"TForm2",
     "Edit1 Edit2 Edit3 Edit4 Edit5 Edit6 Edit7 Edit8 Edit9 Edit10 Edit11 Edit12 Edit26 Edit27 Edit28 Edit29 Edit30 "
     "Edit31 Edit32 Edit33 Edit34 Edit35 Edit36",
     P::Hint, 0, "Entrez le libellé de ce champ (15 caractères maximum)",
     "Type-in the label for this field (15 characters maximum)"},
    {"TForm2", "Edit13 Edit14 Edit15 Edit16 Edit17 Edit18 Edit19 Edit20 Edit21 Edit22 Edit23 Edit24", P::Hint, 0,
     "Détermine seulement la largeur d'affichage. 20 = colonne étroite, 500 = colonne large.",
     "Column width only. 20 = narrow column, 500 = wide column."},
    {"TForm2", "Edit25", P::Hint, 0, "Entrez un nom pour cette nouvelle base de données",
     "Type-in a name for this new database"},
    {"TForm2", "Label1", P::Caption, 0, "Champ 1", "Field 1"},
    {"TForm2", "Label2", P::Caption, 0, "Champ 2", "Field 2"},
    {"TForm2", "Label3", P::Caption, 0, "Champ 3", "Field 3"},
    {"TForm2", "Label4", P::Caption, 0, "Champ 4", "Field 4"},
    {"TForm2", "Label5", P::Caption, 0, "Champ 5", "Field 5"},
    {"TForm2", "Label6", P::Caption, 0, "Champ 6", "Field 6"},
    {"TForm2", "Label7", P::Caption, 0, "Champ 7", "Field 7"},
    {"TForm2", "Label8", P::Caption, 0, "Champ 8", "Field 8"},
    {"TForm2", "Label9", P::Caption, 0, "Champ 9", "Field 9"},
    {"TForm2", "Label10", P::Caption, 0, "Champ 10", "Field 10"},
    {"TForm2", "Label11", P::Caption, 0, "Champ 11", "Field 11"},
    {"TForm2", "Label13", P::Caption, 0, "Libellé", "Label"},
    {"TForm2", "Label14", P::Caption, 0, "Largeur colonne", "Column width"},
    {"TForm2", "Label15", P::Caption, 0, "Nom de cette nouvelle base", "Name of this new database"},
    {"TForm2", "Label16", P::Caption, 0, "Texte", "Text"},
    {"TForm2", "Label17", P::Caption, 0, "Type de champ", "Field type"},
    {"TForm2", "Label18", P::Caption, 0, "Champ 12", "Field 12"},
    {"TForm2", "Label19", P::Caption, 0, "Champ 13", "Field 13"},
    {"TForm2", "Label20", P::Caption, 0, "Champ 14", "Field 14"},
    {"TForm2", "Label21", P::Caption, 0, "Champ 15", "Field 15"},
    {"TForm2", "Label22", P::Caption, 0, "Champ 16", "Field 16"},
    {"TForm2", "Label23", P::Caption, 0, "Champ 17", "Field 17"},
    {"TForm2", "Label24", P::Caption, 0, "Champ 18", "Field 18"},
    {"TForm2", "Label25", P::Caption, 0, "Champ 19", "Field 19"},
    {"TForm2", "Label26", P::Caption, 0, "Champ 20", "Field 20"},
    {"TForm2", "Label27", P::Caption, 0, "Champ 21", "Field 21"},
    {"TForm2", "Label28", P::Caption, 0, "Champ 22", "Field 22"},
    {"TForm2", "Label29", P::Caption, 0, "Texte (Mémo)", "Text (Memo)"},
    {"TForm2",
     "RadioGroup2 RadioGroup3 RadioGroup4 RadioGroup5 RadioGroup6 RadioGroup7 RadioGroup8 RadioGroup9 RadioGroup10 "
     "RadioGroup11 RadioGroup12 RadioGroup13 RadioGroup14 RadioGroup15 RadioGroup16 RadioGroup17 RadioGroup18 "
     "RadioGroup19 RadioGroup20 RadioGroup21 RadioGroup22",
     P::Hint, 0, "Le choix du type de champ influe sur le cadrage (à droite ou à gauche) et sur l'action du filtre",
     "The choice for the field type modify the justification (right or left) and the filter action"},
    {"TForm2",
     "RadioGroup2 RadioGroup3 RadioGroup4 RadioGroup5 RadioGroup6 RadioGroup7 RadioGroup8 RadioGroup9 RadioGroup10 "
     "RadioGroup11 RadioGroup12 RadioGroup13 RadioGroup14 RadioGroup15 RadioGroup16 RadioGroup17 RadioGroup18 "
     "RadioGroup19 RadioGroup20 RadioGroup21 RadioGroup22 RadioGroup23",
     P::Item, 0, "Texte", "Text"},
    {"TForm2",
     "RadioGroup2 RadioGroup3 RadioGroup4 RadioGroup5 RadioGroup6 RadioGroup7 RadioGroup8 RadioGroup9 RadioGroup10 "
     "RadioGroup11 RadioGroup12 RadioGroup13 RadioGroup14 RadioGroup15 RadioGroup16 RadioGroup17 RadioGroup18 "
     "RadioGroup19 RadioGroup20 RadioGroup21 RadioGroup22 RadioGroup23",
     P::Item, 1, "Nombre", "Number"},
    {"TForm2", "", P::WindowCaption, 0, "Création d'une nouvelle base de données", "Create a new database"},
    {"TForm4", "", P::WindowCaption, 0, "Image taille réèlle", "Picture in real size"},
    {"TForm12", "BitBtn3 BitBtn4 BitBtn5 BitBtn6 BitBtn7 BitBtn8 BitBtn9 BitBtn10 BitBtn11 BitBtn12", P::Hint, 0,
     "Utiliser un programme externe pour ouvrir ce fichier", "Use an external program to open this file"},
    {"TForm12", "Image_01", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 1",
     "Double click to enlarge or reduce picture 1"},
    {"TForm12", "Image_02", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 2",
     "Double click to enlarge or reduce picture 2"},
    {"TForm12", "Image_03", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 3",
     "Double click to enlarge or reduce picture 3"},
    {"TForm12", "Image_04", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 4",
     "Double click to enlarge or reduce picture 4"},
    {"TForm12", "Image_05", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 5",
     "Double click to enlarge or reduce picture 5"},
    {"TForm12", "Image_06", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 6",
     "Double click to enlarge or reduce picture 6"},
    {"TForm12", "Image_07", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 7",
     "Double click to enlarge or reduce picture 7"},
    {"TForm12", "Image_08", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 8",
     "Double click to enlarge or reduce picture 8"},
    {"TForm12", "Image_09", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 9",
     "Double click to enlarge or reduce picture 9"},
    {"TForm12", "Image_10", P::Hint, 0, "Double cliquez pour agrandir ou réduire l'image 10",
     "Double click to enlarge or reduce picture 10"},
    {"TForm12", "SG1", P::Title, 1, "Fichier", "File"},
    {"TForm12", "SG1", P::Hint, 0, "Cliquez sur une des lignes pour choisir le fichier",
     "Click on a cell to choose a file"},
};

QWidget* findControl(QWidget& window, const QString& name)
{
    if (name.isEmpty())
        return &window;
    return window.findChild<QWidget*>(name);
}

/// A grid that shows its header holds its title row there rather than in its first row of cells.
QTableWidgetItem* headerTitle(QTableWidget& grid, int column)
{
    if (grid.horizontalHeader()->isHidden())
        return nullptr;
    if (!grid.horizontalHeaderItem(column))
        grid.setHorizontalHeaderItem(column, new QTableWidgetItem);
    return grid.horizontalHeaderItem(column);
}

QList<QRadioButton*> radioItems(QWidget* group)
{
    return group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

void setText(QWidget& window, const TextRow& row, const QString& name, const QString& text)
{
    QWidget* control = findControl(window, name);
    if (!control)
        return;
    switch (row.property) {
    case P::Caption:
        if (auto* label = qobject_cast<QLabel*>(control))
            label->setText(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            button->setText(text);
        else if (auto* group = qobject_cast<QGroupBox*>(control))
            group->setTitle(text);
        else
            control->setWindowTitle(text);
        break;
    case P::Hint:
        if (auto* tool = qobject_cast<QToolButton*>(control); tool && tool->defaultAction())
            tool->defaultAction()->setToolTip(text);
        control->setToolTip(text);
        break;
    case P::Item:
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            if (row.index < combo->count())
                combo->setItemText(row.index, text);
        } else if (const auto items = radioItems(control); row.index < items.size()) {
            items[row.index]->setText(text);
        }
        break;
    case P::Title:
        if (auto* grid = qobject_cast<QTableWidget*>(control); grid && row.index < grid->columnCount()) {
            if (QTableWidgetItem* title = headerTitle(*grid, row.index)) {
                title->setText(text);
                break;
            }
            if (!grid->item(0, row.index))
                grid->setItem(0, row.index, new QTableWidgetItem);
            grid->item(0, row.index)->setText(text);
        }
        break;
    case P::WindowCaption:
        control->setWindowTitle(text);
        break;
    case P::NavigatorHint:
        if (auto* navigator = qobject_cast<Navigator*>(control))
            navigator->setButtonHint(static_cast<Navigator::Button>(row.index), text);
        break;
    }
}

} // namespace

std::span<const TextRow> textTable()
{
    return kRows;
}

QStringList rowControls(const TextRow& row)
{
    if (row.controls.empty())
        return {QString()};
    return QString::fromLatin1(row.controls.data(), static_cast<qsizetype>(row.controls.size()))
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void applyTexts(QWidget& window, std::string_view windowName, char language)
{
    for (const TextRow& row : kRows) {
        if (row.window != windowName)
            continue;
        const QString text = QString::fromUtf8(language == 'F' ? row.french : row.english);
        for (const QString& name : rowControls(row))
            setText(window, row, name, text);
    }
}

QString currentText(QWidget& window, const TextRow& row, const QString& name)
{
    QWidget* control = findControl(window, name);
    if (!control)
        return {};
    switch (row.property) {
    case P::Caption:
        if (auto* label = qobject_cast<QLabel*>(control))
            return label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            return button->text();
        if (auto* group = qobject_cast<QGroupBox*>(control))
            return group->title();
        return control->windowTitle();
    case P::Hint:
        if (auto* tool = qobject_cast<QToolButton*>(control); tool && tool->defaultAction())
            return tool->defaultAction()->toolTip();
        return control->toolTip();
    case P::Item:
        if (auto* combo = qobject_cast<QComboBox*>(control))
            return combo->itemText(row.index);
        if (const auto items = radioItems(control); row.index < items.size())
            return items[row.index]->text();
        return {};
    case P::Title:
        if (auto* grid = qobject_cast<QTableWidget*>(control); grid && row.index < grid->columnCount()) {
            if (!grid->horizontalHeader()->isHidden()) {
                const QTableWidgetItem* title = grid->horizontalHeaderItem(row.index);
                return title ? title->text() : QString();
            }
            if (grid->item(0, row.index))
                return grid->item(0, row.index)->text();
        }
        return {};
    case P::WindowCaption:
        return control->windowTitle();
    case P::NavigatorHint:
        if (auto* navigator = qobject_cast<Navigator*>(control))
            return navigator->buttonHint(static_cast<Navigator::Button>(row.index));
        return {};
    }
    return {};
}

} // namespace fichora
