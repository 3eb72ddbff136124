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

} // namespace messages

} // namespace fichora
