#pragma once

#include "platform/error.h"

#include <QByteArray>
#include <QString>

/// Ciphered data files. A ciphered file is the whole data file under authenticated encryption
/// (XChaCha20-Poly1305 secret stream, 64 KiB chunks) with a key derived from the user's short key by
/// Argon2id. Layout, all integers little-endian:
///
///   0   8   magic "FICHCIP" + format version (1)
///   8   8   Argon2id operations limit
///   16  8   Argon2id memory limit in bytes
///   24  16  salt (random for every save)
///   40  24  secret-stream header (fresh for every save)
///   64  32  key check: HMAC-SHA-512/256 of bytes 0..63 under a subkey of the derived key
///   96  ... chunks, each ciphertext + 17-byte tag; the last one is tagged final
///
/// The key check tells a wrong key (check fails) from a damaged file (check passes, a chunk fails or
/// the final tag is missing). The derivation parameters travel with the file so they can be raised later.
namespace fichora::cipher {

inline constexpr qsizetype kMaxKeyLength = 6;
inline constexpr qsizetype kHeaderSize = 96;

struct KdfParams
{
    quint64 opsLimit;
    quint64 memLimit;
};

/// Argon2id at libsodium's "moderate" strength: a short key needs an expensive derivation.
KdfParams defaultKdfParams();
/// The cheapest parameters libsodium accepts; for tests only.
KdfParams fastKdfParams();

/// What the key rule needs to know of a typed key: at least one digit and one letter (ASCII, case-sensitive).
struct KeyCheck
{
    bool digitSeen = false;
    bool letterSeen = false;
    bool acceptable() const { return digitSeen && letterSeen; }
};

/// Only the first six bytes of the key box count.
QByteArray keyBytes(const QByteArray& typed);
KeyCheck checkKey(const QByteArray& typed);

/// A fingerprint of the key, kept from opening to saving to warn when the key typed at saving differs.
/// It is a keyed hash, so it does not reveal the key by itself.
QByteArray keyFingerprint(const QByteArray& typed);

/// True when the file begins with the magic of a ciphered file.
bool isCipheredFile(const QString& path);

/// Ciphers `plainPath` into `cipherPath`, replacing it atomically only once the whole file is written.
Result<void> cipherFile(const QString& plainPath, const QString& cipherPath, const QByteArray& typedKey,
                        KdfParams params = defaultKdfParams());

/// Deciphers `cipherPath` into `plainPath` (created readable and writable by its owner only). Nothing is
/// left at `plainPath` on failure. Errors: Code::WrongKey, Code::Damaged (truncated or altered),
/// Code::Format (not a ciphered file of ours), Code::NotFound / Code::Io.
Result<void> decipherFile(const QString& cipherPath, const QString& plainPath, const QByteArray& typedKey);

} // namespace fichora::cipher
