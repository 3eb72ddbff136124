#include "cipher.h"

#include <QFile>
#include <QSaveFile>

#include <sodium.h>

#include <array>
#include <cstring>
#include <mutex>

namespace fichora::cipher {

namespace {

constexpr std::array<char, 8> kMagic = {'F', 'I', 'C', 'H', 'C', 'I', 'P', 1};
constexpr qsizetype kChunk = 64 * 1024;
constexpr qsizetype kSaltOffset = 24;
constexpr qsizetype kStreamHeaderOffset = 40;
constexpr qsizetype kCheckOffset = 64;
constexpr char kContext[crypto_kdf_CONTEXTBYTES + 1] = "FichCiph";
constexpr quint64 kStreamSubkey = 1;
constexpr quint64 kCheckSubkey = 2;
// Bounds on parameters read from a file, so a crafted header cannot make us allocate without limit.
constexpr quint64 kMaxOpsLimit = 64;
constexpr quint64 kMaxMemLimit = quint64(4) << 30;

static_assert(kHeaderSize == kCheckOffset + crypto_auth_BYTES);
static_assert(crypto_pwhash_SALTBYTES == 16);
static_assert(crypto_secretstream_xchacha20poly1305_HEADERBYTES == 24);

bool sodiumReady()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = sodium_init() >= 0; });
    return ready;
}

void putU64(unsigned char* out, quint64 v)
{
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<unsigned char>(v >> (8 * i));
}

quint64 getU64(const unsigned char* in)
{
    quint64 v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | in[i];
    return v;
}

/// Wipes its bytes on destruction: derived keys and plain text never linger in freed memory.
template <std::size_t N> struct SecretBytes
{
    std::array<unsigned char, N> bytes{};
    ~SecretBytes() { sodium_memzero(bytes.data(), bytes.size()); }
    unsigned char* data() { return bytes.data(); }
};

struct Keys
{
    SecretBytes<crypto_secretstream_xchacha20poly1305_KEYBYTES> stream;
    SecretBytes<crypto_auth_KEYBYTES> check;
};

bool deriveKeys(const QByteArray& key, const unsigned char* salt, KdfParams params, Keys& keys)
{
    SecretBytes<32> master;
    if (crypto_pwhash(master.data(), 32, key.constData(), static_cast<unsigned long long>(key.size()), salt,
                      params.opsLimit, static_cast<size_t>(params.memLimit), crypto_pwhash_ALG_ARGON2ID13) != 0)
        return false;
    crypto_kdf_derive_from_key(keys.stream.data(), crypto_secretstream_xchacha20poly1305_KEYBYTES, kStreamSubkey,
                               kContext, master.data());
    crypto_kdf_derive_from_key(keys.check.data(), crypto_auth_KEYBYTES, kCheckSubkey, kContext, master.data());
    return true;
}

unsigned char* bytes(QByteArray& a)
{
    return reinterpret_cast<unsigned char*>(a.data());
}
const unsigned char* bytes(const QByteArray& a)
{
    return reinterpret_cast<const unsigned char*>(a.constData());
}

void wipe(QByteArray& a)
{
    if (!a.isEmpty())
        sodium_memzero(a.data(), static_cast<size_t>(a.size()));
}

} // namespace

KdfParams defaultKdfParams()
{
    return {crypto_pwhash_OPSLIMIT_MODERATE, crypto_pwhash_MEMLIMIT_INTERACTIVE * 2};
}

KdfParams fastKdfParams()
{
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

QByteArray keyBytes(const QByteArray& typed)
{
    return typed.left(kMaxKeyLength);
}

KeyCheck checkKey(const QByteArray& typed)
{
    KeyCheck check;
    for (char c : keyBytes(typed)) {
        if (c >= '0' && c <= '9')
            check.digitSeen = true;
        else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            check.letterSeen = true;
    }
    return check;
}

QByteArray keyFingerprint(const QByteArray& typed)
{
    if (!sodiumReady())
        return {};
    static constexpr unsigned char kFingerprintKey[] = "Fichora key fingerprint, v1....";
    const QByteArray key = keyBytes(typed);
    QByteArray out(crypto_generichash_BYTES, '\0');
    crypto_generichash(bytes(out), crypto_generichash_BYTES, bytes(key), static_cast<unsigned long long>(key.size()),
                       kFingerprintKey, sizeof kFingerprintKey - 1);
    return out;
}

bool isCipheredFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(kMagic.size());
    return head.size() == qsizetype(kMagic.size()) && std::memcmp(head.constData(), kMagic.data(), kMagic.size()) == 0;
}

Result<void> cipherFile(const QString& plainPath, const QString& cipherPath, const QByteArray& typedKey,
                        KdfParams params)
{
    if (!sodiumReady())
        return fail(Error::Code::Unsupported, QStringLiteral("The cryptographic library cannot be initialised"));
    QFile source(plainPath);
    if (!source.open(QIODevice::ReadOnly))
        return fail(source.exists() ? Error::Code::Io : Error::Code::NotFound,
                    QStringLiteral("Cannot open file \"%1\" for reading").arg(plainPath));

    QByteArray header(kHeaderSize, '\0');
    unsigned char* h = bytes(header);
    std::memcpy(h, kMagic.data(), kMagic.size());
    putU64(h + 8, params.opsLimit);
    putU64(h + 16, params.memLimit);
    randombytes_buf(h + kSaltOffset, crypto_pwhash_SALTBYTES);

    Keys keys;
    if (!deriveKeys(keyBytes(typedKey), h + kSaltOffset, params, keys))
        return fail(Error::Code::Io, QStringLiteral("Not enough memory to derive the ciphering key"));
    crypto_secretstream_xchacha20poly1305_state state;
    crypto_secretstream_xchacha20poly1305_init_push(&state, h + kStreamHeaderOffset, keys.stream.data());
    crypto_auth(h + kCheckOffset, h, kCheckOffset, keys.check.data());

    QSaveFile target(cipherPath);
    if (!target.open(QIODevice::WriteOnly))
        return fail(Error::Code::Io,
                    QStringLiteral("Cannot create file \"%1\": %2").arg(cipherPath, target.errorString()));
    if (target.write(header) != header.size())
        return fail(Error::Code::Io, QStringLiteral("Cannot write file \"%1\"").arg(cipherPath));

    QByteArray plain = source.read(kChunk);
    QByteArray out(kChunk + crypto_secretstream_xchacha20poly1305_ABYTES, '\0');
    for (;;) {
        if (source.error() != QFileDevice::NoError) {
            wipe(plain);
            return fail(Error::Code::Io, QStringLiteral("Cannot read file \"%1\"").arg(plainPath));
        }
        QByteArray next = source.atEnd() ? QByteArray() : source.read(kChunk);
        const bool last = next.isEmpty();
        unsigned long long outLength = 0;
        crypto_secretstream_xchacha20poly1305_push(
            &state, bytes(out), &outLength, bytes(plain), static_cast<unsigned long long>(plain.size()), nullptr, 0,
            last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
        wipe(plain);
        if (target.write(out.constData(), static_cast<qint64>(outLength)) != static_cast<qint64>(outLength))
            return fail(Error::Code::Io, QStringLiteral("Cannot write file \"%1\"").arg(cipherPath));
        if (last)
            break;
        plain = std::move(next);
    }
    if (!target.commit())
        return fail(Error::Code::Io,
                    QStringLiteral("Cannot write file \"%1\": %2").arg(cipherPath, target.errorString()));
    return {};
}

Result<void> decipherFile(const QString& cipherPath, const QString& plainPath, const QByteArray& typedKey)
{
    if (!sodiumReady())
        return fail(Error::Code::Unsupported, QStringLiteral("The cryptographic library cannot be initialised"));
    QFile source(cipherPath);
    if (!source.open(QIODevice::ReadOnly))
        return fail(source.exists() ? Error::Code::Io : Error::Code::NotFound,
                    QStringLiteral("Cannot open file \"%1\" for reading").arg(cipherPath));

    const QByteArray header = source.read(kHeaderSize);
    const unsigned char* h = bytes(header);
    if (header.size() < qsizetype(kMagic.size()) || std::memcmp(h, kMagic.data(), kMagic.size()) != 0)
        return fail(Error::Code::Format, QStringLiteral("\"%1\" is not a ciphered data file").arg(cipherPath));
    if (header.size() < kHeaderSize)
        return fail(Error::Code::Damaged, QStringLiteral("The ciphered file \"%1\" is truncated").arg(cipherPath));
    const KdfParams params{getU64(h + 8), getU64(h + 16)};
    if (params.opsLimit < crypto_pwhash_OPSLIMIT_MIN || params.opsLimit > kMaxOpsLimit ||
        params.memLimit < crypto_pwhash_MEMLIMIT_MIN || params.memLimit > kMaxMemLimit)
        return fail(Error::Code::Damaged, QStringLiteral("The ciphered file \"%1\" is damaged").arg(cipherPath));

    Keys keys;
    if (!deriveKeys(keyBytes(typedKey), h + kSaltOffset, params, keys))
        return fail(Error::Code::Io, QStringLiteral("Not enough memory to derive the ciphering key"));
    if (crypto_auth_verify(h + kCheckOffset, h, kCheckOffset, keys.check.data()) != 0)
        return fail(Error::Code::WrongKey, QStringLiteral("Wrong key for \"%1\"").arg(cipherPath));
    crypto_secretstream_xchacha20poly1305_state state;
    if (crypto_secretstream_xchacha20poly1305_init_pull(&state, h + kStreamHeaderOffset, keys.stream.data()) != 0)
        return fail(Error::Code::Damaged, QStringLiteral("The ciphered file \"%1\" is damaged").arg(cipherPath));

    QSaveFile target(plainPath);
    if (!target.open(QIODevice::WriteOnly))
        return fail(Error::Code::Io,
                    QStringLiteral("Cannot create file \"%1\": %2").arg(plainPath, target.errorString()));
    target.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    const auto damaged = [&](const QString& why) {
        target.cancelWriting();
        return fail(Error::Code::Damaged, QStringLiteral("The ciphered file \"%1\" %2").arg(cipherPath, why));
    };
    QByteArray plain(kChunk, '\0');
    bool finished = false;
    while (!finished) {
        const QByteArray chunk = source.read(kChunk + crypto_secretstream_xchacha20poly1305_ABYTES);
        if (source.error() != QFileDevice::NoError) {
            target.cancelWriting();
            return fail(Error::Code::Io, QStringLiteral("Cannot read file \"%1\"").arg(cipherPath));
        }
        if (chunk.isEmpty())
            return damaged(QStringLiteral("is truncated"));
        unsigned long long plainLength = 0;
        unsigned char tag = 0;
        if (crypto_secretstream_xchacha20poly1305_pull(&state, bytes(plain), &plainLength, &tag, bytes(chunk),
                                                       static_cast<unsigned long long>(chunk.size()), nullptr, 0) != 0)
            return damaged(chunk.size() < kChunk ? QStringLiteral("is truncated or damaged")
                                                 : QStringLiteral("is damaged"));
        finished = tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL;
        if (finished && !source.atEnd())
            return damaged(QStringLiteral("is damaged"));
        if (target.write(plain.constData(), static_cast<qint64>(plainLength)) != static_cast<qint64>(plainLength)) {
            wipe(plain);
            target.cancelWriting();
            return fail(Error::Code::Io, QStringLiteral("Cannot write file \"%1\"").arg(plainPath));
        }
    }
    wipe(plain);
    if (!target.commit())
        return fail(Error::Code::Io,
                    QStringLiteral("Cannot write file \"%1\": %2").arg(plainPath, target.errorString()));
    QFile::setPermissions(plainPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return {};
}

} // namespace fichora::cipher
