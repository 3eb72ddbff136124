#pragma once

#include <QString>

#include <expected>

namespace fichora {

/// A failure as a value: what went wrong, the text to show the user (already in the language in force,
/// or English for technical file failures) and, for parsers, where in the input it was found.
struct Error
{
    enum class Code {
        Io,          ///< a file could not be opened, read or written
        NotFound,    ///< a file that must exist does not
        Exists,      ///< a file that must not exist does
        Format,      ///< the content is not what the format requires
        Parse,       ///< an expression or a document could not be parsed
        Cancelled,   ///< the user stopped the operation
        Unsupported, ///< something valid that this program does not handle
        WrongKey,    ///< a ciphered file does not open with the key given
        Damaged,     ///< a file is truncated or was altered after it was written
    };

    Code code = Code::Io;
    QString message;
    qint64 position = -1;
};

template <typename T> using Result = std::expected<T, Error>;

/// Shorthand for returning a failure: `return fail(Error::Code::Io, tr)`.
inline std::unexpected<Error> fail(Error::Code code, QString message, qint64 position = -1)
{
    return std::unexpected<Error>(Error{code, std::move(message), position});
}

} // namespace fichora
