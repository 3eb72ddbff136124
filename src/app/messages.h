#pragma once

#include <QString>

namespace fichora {

/// Bilingual messages, chosen when shown: French when the language flag is 'F', English otherwise.
enum class Msg {
    ProgramFolderFailed, ///< %1: the folder
    DatabaseProtectCaption,
    DatabaseUnprotectCaption,
    DatabaseUnprotectHint,
    PreviewHintAfterClose,
};

struct MessageTexts
{
    const char* french; ///< UTF-8
    const char* english;
};

/// The two texts of a message.
MessageTexts messageTexts(Msg id);
/// The text of a message in the language of the flag.
QString message(Msg id, char language);

namespace messages {

// Technical file failures have one text in both languages.
QString cannotOpenForReading(const QString& fileName);
QString cannotOpenForWriting(const QString& fileName);

} // namespace messages

} // namespace fichora
