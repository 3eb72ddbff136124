#pragma once

#include "platform/error.h"

#include <QString>

namespace fichora {

/// The configuration file of the program directory. It ships with the program and is never created
/// or extended; only two of its bytes mean something.
inline constexpr char kConfigFileName[] = "Fichora_conf.ref";
inline constexpr qint64 kLanguageOffset = 25;
inline constexpr qint64 kSkinOffset = 36;

struct ConfigBytes
{
    char language = 'F'; ///< the byte as stored ('F' when the file is too short to hold it)
    int skin = 10;       ///< 0..9, or 10 (no skin) for 'X', any other byte or a missing one
};

/// Reads both bytes. The program directory becomes the current directory first and the file is opened
/// relative to it. Fails with the message "Cannot open file "Fichora_conf.ref" for reading".
Result<ConfigBytes> readConfig(const QString& programDirectory);

/// Writes the language byte at offset 25. Fails, writing nothing, with the message
/// "Cannot open file "Fichora_conf.ref" for writing" when the file cannot be opened for writing.
Result<void> writeLanguageByte(const QString& programDirectory, char language);

/// Writes the skin byte at offset 36 ('0'..'9', or 'X' for no skin); fails like writeLanguageByte.
Result<void> writeSkinByte(const QString& programDirectory, int skin);

/// Makes the program directory the current directory (an empty one leaves the current directory).
bool enterProgramDirectory(const QString& programDirectory);

} // namespace fichora
