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

} // namespace messages

} // namespace fichora
