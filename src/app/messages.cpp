#include "messages.h"

namespace fichora {

MessageTexts messageTexts(Msg id)
{
    switch (id) {
    case Msg::ProgramFolderFailed:
        return {"Le dossier du programme \"%1\" ne peut pas être créé ou rempli",
                "The program folder \"%1\" cannot be created or filled"};
    case Msg::DatabaseProtectCaption:
        return {"Protéger la base", "Protect database"};
    case Msg::DatabaseUnprotectCaption:
        return {"Oter protection", "Unprotect"};
    case Msg::DatabaseUnprotectHint:
        return {"Oter protection base", "Unprotect database"};
    case Msg::PreviewHintAfterClose:
        return {"Montre les données telles qu'elles seront imprimées", "Show data as they will be printed"};
    case Msg::ForgetModifications:
        return {"Les modifications n'ont pas été sauvegardées\nIgnorer ces modifications ?",
                "Modifications not saved\nForget modifications ?"};
    case Msg::OpenDialogTitle:
        return {"Chargement base de données à ouvrir", "Data base to be loaded"};
    case Msg::ParameterFileNotFound:
        return {"Le fichier PAR est introuvable", "The PAR file cannot be found"};
    case Msg::OldSixteenFieldDatabase:
        return {
            "Il s'agit d'une base de données à 16 champs\n\nUtilisez l'utilitaire \"Fichora_Convert.exe\" pour\nla "
            "convertir en base à 22 champs",
            "This is a 16 fields database\n\nUse the \"Fichora_Convert.exe\" utility\nto convert it into a 22 fields "
            "database"};
    case Msg::OpenKeyRequired:
        return {
            "LA BASE DE DONNÉES QUE VOUS VOULEZ OUVRIR EST CRYPTÉE. \n\nVous devez saisir la clé de décryptage, longue "
            "de 2 à 6 caractéres alphanumériques.\nAttention: La clé est sensible à la casse (Majuscules-minuscules).",
            "THE DATA BASE THAT YOU WANT TO OPEN IS CIPHERED. \n\nYou must enter the unciphering key, 2 to 6 "
            "alphanumeric characters long.\nWarning : This password is case sensitive."};
    case Msg::WrongPassword:
        return {"Mot de passe incorrect !", "Wrong password !"};
    case Msg::CipheredFileDamaged:
        return {"Le fichier crypté \"%1\" est endommagé ou incomplet.\n\nIl n'a pas été modifié.",
                "The ciphered file \"%1\" is damaged or incomplete.\n\nIt has not been changed."};
    case Msg::IncorrectlyFormatted:
        return {"La base de données\n\"%1\"\na un format incorrect.",
                "The database\n\"%1\"\nis incorrectly formatted."};
    case Msg::NotAFichoraDatabase:
        return {"Il ne s'agit pas d'une base de données Fichora", "This is not a Fichora database"};
    case Msg::SaveKeyRequired:
        return {"LA BASE DE DONNÉES QUE VOUS VOULEZ SAUVEGARDER DOIT ETRE CRYPTÉE. \n\nVous devez saisir la clé de "
                "cryptage, longue de 2 à 6 caractéres alphanumériques.\nAttention: La clé est sensible à la casse "
                "(Majuscules-minuscules).",
                "THE DATA BASE THAT YOU WANT TO SAVE MUST BE CIPHERED. \n\nYou must enter the ciphering key, 2 to 6 "
                "alphanumeric characters long.\nWarning : This password is case sensitive."};
    case Msg::DifferentSaveKey:
        return {"Le môt de passe utilisé pour la sauvegarde de la base est différent de celui utilisé pour son "
                "ouverture.\n\nPensez à mémoriser cette nouvelle clé : ",
                "The password used to save the database is different as the one used to open it.\n\nDo not forget to "
                "memorize this new password : "};
    case Msg::SaveFailed:
        return {"La base de données n'a pas pu être sauvegardée dans \"%1\" :\n%2\n\nLe fichier précédent est "
                "conservé.",
                "The database could not be saved to \"%1\":\n%2\n\nThe previous file is kept."};
    case Msg::CipheringFailed:
        return {"Le fichier crypté \"%1\" n'a pas pu être écrit :\n%2\n\nLes modifications restent dans \"%3\".",
                "The ciphered file \"%1\" could not be written:\n%2\n\nThe changes remain in \"%3\"."};
    case Msg::NewDatabaseIncomplete:
        return {
            "Vous devez indiquer un nom pour la nouvelle base de données, \net un nom pour les deux premiers champs "
            "au moins",
            "You must type-in a name for the new database, \nand a name for at least the two first fields"};
    case Msg::NewDatabaseDialogTitle:
        return {"Choix du repertoire pour la nouvelle base de données", "Directory for the new database"};
    case Msg::NewDatabaseCannotCreate:
        return {"Impossible de créèr %1\n\n", "Cannot create %1\n\n"};
    case Msg::NewDatabaseCannotOpen:
        return {"Cannot open file :\n\n %1\n\nError 31", "Cannot open file :\n\n %1\n\nError 31"};
    case Msg::NewDatabaseSeekFailure:
        return {"Seek failure on %1\n\nError 30 bis", "Seek failure on %1\n\nError 30 bis"};
    case Msg::NewDatabaseWriteFailure:
        return {"Write error on file :\n\n %1\n\nError 30", "Write error on file :\n\n %1\n\nError 30"};
    case Msg::NewDatabaseExists:
        return {"La base de données \n%1\nexiste déja.\nDétruisez la ou choisissez un autre nom.",
                "The database \n%1\nalready exist.\nDestroy it or choose another name."};
    case Msg::NewDatabaseCreated:
        return {
            "La base de données :\n%1\na été créèe avec succés.\n\nVous pouvez à présent l'ouvrir pour y saisir "
            "des données.\nVous pourrez également la restructurer pour la déclarer\nen lecture seule, ou la crypter.",
            "The database :\n%1\nhas been successfully created.\n\nYou now can open it and type-in data.\nYou can "
            "also change its structure to \nread-only, or cipher it."};
    case Msg::ImportFileExists:
        return {
            "Le fichier \"%1\" existe déja. \nDétruisez l'ancienne base de données ou renommez le fichier à importer.",
            "The file \"%1\" already exist. \nDestroy the old database or rename the file to import."};
    case Msg::ImportCannotCreatePar:
        return {"Impossible de creer le fichier PAR", "Cannot create PAR file"};
    case Msg::ImportCannotCreateXml:
        return {"Impossible de creer le fichier XML", "Cannot create XML file"};
    case Msg::ImportedText:
        return {
            "Le fichier \n\"%1\" \na été importé.\n\nIl contenait %2 fiches.\n\nVous pouvez à présent ouvrir la base "
            "de données \n\"%3\".",
            "The file \n\"%1\" \nhas been imported.\n\nIt had %2 records.\n\nYou can now open the database \n\"%3\"."};
    case Msg::ImportedOther:
        return {
            "Le fichier \n\"%1\" \na été importé.\n\nIl contenait %2 fiches.\n\nVous pouvez à présent ouvrir la base "
            "de données \n\"%3\".",
            "The file \n\"%1\" \nhas been imported.\n\nIt had %2 records.\n\nYou now can open the database \n\"%3\"."};
    case Msg::TextImportDialogTitle:
        return {"Choix du fichier texte délimité à importer", "Delimited text file to import"};
    case Msg::TextImportCannotRead:
        return {"Impossible de lire le fichier txt à importer", "Cannot read text file to import"};
    case Msg::TextImportCannotReadAgain:
        return {"Impossible de lire le fichier txt à importer", "Cannot read the text file to import"};
    case Msg::TextImportInvalidFormat:
        return {"Format de fichier texte non conforme\n\nAbandon de l'importation de %1",
                "Invalid format of text file\n\nGive-up for importation of %1"};
    case Msg::TextImportFileTooBig:
        return {"Fichier trop gros", "File too big"};
    case Msg::TextImportProgress:
        return {"Importation en cours du fichier Ascii...", "Importing Ascii file..."};
    case Msg::TextExportNothingTicked:
        return {"Aucun champ n'est coché : \nIl n'y a rien à exporter",
                "No datafield checked : \nThere is nothing to export"};
    case Msg::TextExportProgress:
        return {"Exportation en cours vers fichier Ascii...", "Exporting toward Ascii file..."};
    case Msg::TextExportOverwrite:
        return {
            "Le fichier \n\n%1\n\nexiste déja dans le même repertoire.\n\nVoulez vous écraser ce fichier préexistant.",
            "The file \n\n%1\n\nalready exist in the same directory.\n\nDo you want to overwrite the pre-existing "
            "file."};
    case Msg::TextExportCannotCreate:
        return {"Le fichier %1\nne peut pas être créé.", "The file %1\ncannot be created."};
    case Msg::TextExportCreated:
        return {"Fichier  \"%1\"   créé\n\nIl contient %2 entrées",
                "File  \"%1\"   created\n\nIt includes  %2 entries"};
    case Msg::TextExportDataUnreadable:
        return {"Le fichier de données \"%1\" ne peut pas être lu :\n%2", "The data file \"%1\" cannot be read:\n%2"};
    case Msg::ShellOutOfResources:
        return {"Désolé, mais l'ordinateur est à court de mémoire", "Sorry, but the computer is short of memory"};
    case Msg::ShellFileNotFound:
        return {"Désolé, mais le programme ou l'objet suivant :\n\" %1 \"\n ne peut pas être ouvert dans la "
                "configuration actuelle.",
                "Sorry, but the following object :\n\n %1 \n\n cannot be opened with the current configuration."};
    case Msg::ShellPathNotFound:
        return {"Chemin introuvable", "Unknown path"};
    case Msg::ShellAccessDenied:
        return {"Accés refusé au fichier %1", "Forbidden access to file %1"};
    case Msg::ShellOutOfMemory:
        return {"Mémoire insuffisante pour terminer l'opération", "Not enough memory to finish this opération"};
    case Msg::ShellInvalidFile:
        return {"Le fichier %1 est invalide", "File %1 is not valid"};
    case Msg::ShellSharingViolation:
        return {"Erreur de partage", "Sharing violation"};
    case Msg::ShellBadAssociation:
        return {"Le fichier %1  a une association Windows incorrecte.\n\nVEUILLEZ FAIRE\n \"Poste de "
                "travail->Outils->Option des dossiers->Types de fichiers->Modifier\" !",
                "File %1  as an invalid Windows association.\n\nPLEASE CORRECT IT"};
    case Msg::ShellExchangeTimeout:
        return {"Désolé, mais la transaction DDE a échoué (Time-out)", "Sorry, DDE transaction failure (Time-out)"};
    case Msg::ShellExchangeFailed:
        return {"Désolé, mais la transaction DDE a échoué", "Sorry, DDE transaction failure"};
    case Msg::ShellExchangeBusy:
        return {"Désolé, mais une autre transaction DDE est en cours",
                "Sorry, another DDE transaction is already active"};
    case Msg::ShellNoAssociation:
        return {"Le fichier %1  n'a pas d'association Windows.\n\nVEUILLEZ FAIRE\n \"Poste de "
                "travail->Outils->Option des dossiers->Types de fichiers->Nouveau\" !",
                "File %1  has no Windows association indicated.\n\nPLEASE INDICATE ONE"};
    case Msg::ShellLibraryMissing:
        return {"Désolé, DLL manquante", "Sorry, missing DLL"};
    case Msg::ShellOtherFailure:
        return {"Switch error 789", "Switch error 789"};
    case Msg::NotANumber:
        return {"« %1 » n'est pas une valeur numérique valide pour le champ %2.\nSaisissez un nombre, par exemple 12.5",
                "\"%1\" is not a valid numerical value for the field %2.\nType a number, for example 12.5"};
    case Msg::DeleteRecordQuestion:
        return {"Supprimer l'enregistrement ?", "Delete record?"};
    case Msg::FilterArgumentInvalid:
        return {"Argument de filtrage incorrect !", "Filter argument not valid !"};
    case Msg::PictureNameNotStorable:
        return {"Ce nom de fichier ne peut pas être gardé dans la fiche :\n\n %1 \n\nIl contient une barre "
                "verticale ou un caractère que la base ne sait pas enregistrer.\nRenommez le fichier ou "
                "déplacez-le dans un autre dossier.",
                "This file name cannot be kept in the record:\n\n %1 \n\nIt holds a vertical bar or a character "
                "the database cannot store.\nRename the file or move it to another folder."};
    case Msg::PicturesProtectedNotStored:
        return {"Base protégée (lecture seule) : la liste des images et fichiers n'est pas enregistrée.",
                "Protected database (read only): the list of pictures and files is not stored."};
    case Msg::SamplePicturesRelative:
        return {"Les images de la base exemple « Carnet » n'ont pas pu être reliées au dossier du programme :\n%1\n\n"
                "La base s'ouvre normalement, mais ses images s'afficheront comme images par défaut.",
                "The pictures of the sample database \"Carnet\" could not be tied to the program folder:\n%1\n\n"
                "The database opens as usual, but its pictures will show as default pictures."};
    case Msg::OtherFilesRecordChanged:
        return {"La fiche en cours n'est plus celle dont ces images et fichiers ont été lus.\n"
                "Enregistrer quand même la liste dans la fiche en cours ?",
                "The current record is no longer the one these pictures and files were read from.\n"
                "Store the list in the current record anyway?"};
    case Msg::OtherFilesCloseQuery:
        return {"Fiche non sauvegardée\nFermer quand même?", "Page not saved\nClose anyway?"};
    }
    return {"", ""};
}

QString message(Msg id, char language)
{
    const MessageTexts texts = messageTexts(id);
    return QString::fromUtf8(language == 'F' ? texts.french : texts.english);
}

namespace messages {

QString cannotOpenForReading(const QString& fileName)
{
    return QStringLiteral("Cannot open file \"%1\" for reading").arg(fileName);
}

QString cannotOpenForWriting(const QString& fileName)
{
    return QStringLiteral("Cannot open file \"%1\" for writing").arg(fileName);
}

QString readFailureMarker(const QString& fileName)
{
    return QStringLiteral("Read error on file :\n\n %1\n\nError 30b six").arg(fileName);
}

QString seekFailureLabel(const QString& fileName)
{
    return QStringLiteral("Seek failure on %1\n\nError 30 bis").arg(fileName);
}

QString readFailureLabel(const QString& fileName)
{
    return QStringLiteral("Read error on file :\n\n %1\n\nError 30b").arg(fileName);
}

QString cannotOpenWidths(const QString& fileName)
{
    return QStringLiteral("Cannot open file :\n\n %1\n\nError 31").arg(fileName);
}

QString cannotOpenExports(const QString& fileName)
{
    return QStringLiteral("Cannot open file :\n\n %1\n\nError 31vv").arg(fileName);
}

QString cipheredFileNotOpened()
{
    return QString::fromUtf8("Open error n° 002 bis");
}

QString decipheredCopyNotCreated()
{
    return QStringLiteral("Cannot open file : Error 006 bis");
}

QString readError()
{
    return QString::fromUtf8("Read error n° 001");
}

QString invalidHandle()
{
    return QStringLiteral("Invalid handle");
}

QString cannotReopenDataFile()
{
    return QStringLiteral("Cannot reopen XML file");
}

QString exportLabelReadFailure(const QString& fileName)
{
    return QStringLiteral("Read error on file :\n\n %1\n\nError 30c").arg(fileName);
}

QString importWriteFailure(const QString& fileName)
{
    return QStringLiteral("Write error on file :\n\n %1\n\nError 42w").arg(fileName);
}

QString exportWriteFailure(const QString& fileName)
{
    return QStringLiteral("Write error on file :\n\n %1\n\nError 46w").arg(fileName);
}

} // namespace messages

} // namespace fichora
