#include "masterdata/uCast.h"

#include "platform/FileSystem.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/sha.h>

#include <cerrno>
#include <cstring>

namespace tolvane {

namespace {

using Block = std::array<unsigned char, 8>;

struct CtxDeleter {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CtxPtr = std::unique_ptr<EVP_CIPHER_CTX, CtxDeleter>;

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString osText(const QString& fallback)
{
    const int err = errno;
    return err != 0 ? fs::systemErrorText(err) : fallback;
}

} // namespace

// The cipher state: the key, the IV and the running chaining value, plus an initialised flag.
// The three DES key schedules live inside OpenSSL's contexts.
struct TCast::Cipher {
    unsigned char key[24] = {};
    Block iv{};
    Block chain{};
    bool initialised = false;
    CtxPtr cbc;  // CBC over whole blocks, in the direction of the operation
    CtxPtr ecb;  // single-block encryption, for the IV and the final partial block

    void wipe()
    {
        OPENSSL_cleanse(key, sizeof key);
        iv.fill(0xFF);
        chain.fill(0xFF);
        cbc.reset();
        ecb.reset();
        initialised = false;
    }

    bool encryptBlock(const unsigned char* in, unsigned char* out)
    {
        int len = 0;
        return EVP_EncryptUpdate(ecb.get(), out, &len, in, 8) == 1 && len == 8;
    }

    bool init(const QByteArray& passPhrase, Direction direction)
    {
        if (initialised)
            wipe();
        unsigned char hash[SHA_DIGEST_LENGTH];
        if (!SHA1(reinterpret_cast<const unsigned char*>(passPhrase.constData()), size_t(passPhrase.size()), hash))
            return false;
        std::memset(key, 0, sizeof key);
        std::memcpy(key, hash, sizeof hash);
        OPENSSL_cleanse(hash, sizeof hash);

        ecb.reset(EVP_CIPHER_CTX_new());
        if (!ecb || EVP_EncryptInit_ex(ecb.get(), EVP_des_ede3_ecb(), nullptr, key, nullptr) != 1)
            return false;
        EVP_CIPHER_CTX_set_padding(ecb.get(), 0);
        const Block zero{};
        if (!encryptBlock(zero.data(), iv.data()))
            return false;
        chain = iv;

        cbc.reset(EVP_CIPHER_CTX_new());
        if (!cbc
            || EVP_CipherInit_ex(cbc.get(), EVP_des_ede3_cbc(), nullptr, key, iv.data(),
                                 direction == Direction::Encrypt ? 1 : 0)
                   != 1)
            return false;
        EVP_CIPHER_CTX_set_padding(cbc.get(), 0);
        initialised = true;
        return true;
    }
};

TCast::TCast() : FCipher(std::make_unique<Cipher>()), FPassPhrase(QByteArrayLiteral("5c1e0b9d7a3f28e64b0c9a71"))
{
}

TCast::~TCast()
{
    FCipher->wipe();
}

TCast::Failure TCast::process(Direction direction, QIODevice& in, QIODevice& out, int& err)
{
    struct Wipe {
        unsigned char* a;
        unsigned char* b;
        Cipher& cipher;
        ~Wipe()
        {
            OPENSSL_cleanse(a, kBufferSize);
            OPENSSL_cleanse(b, kBufferSize);
            cipher.wipe();
        }
    };
    unsigned char buffer[kBufferSize];
    unsigned char output[kBufferSize];
    const Wipe wipe{buffer, output, *FCipher};
    if (!FCipher->init(FPassPhrase, direction))
        return Failure::Key;

    qint64 remaining = in.size();
    while (remaining > 0) {
        const qint64 want = std::min<qint64>(remaining, kBufferSize);
        errno = 0;
        if (in.read(reinterpret_cast<char*>(buffer), want) != want) {
            err = errno != 0 ? errno : EIO;
            return Failure::Read;
        }
        remaining -= want;
        const int whole = int(want) & ~7;
        if (whole > 0) {
            int len = 0;
            if (EVP_CipherUpdate(FCipher->cbc.get(), output, &len, buffer, whole) != 1 || len != whole)
                return Failure::Key;
            // The chaining value is the last ciphertext block: the output when encrypting,
            // the input when decrypting.
            const unsigned char* cipherText = direction == Direction::Encrypt ? output : buffer;
            std::memcpy(FCipher->chain.data(), cipherText + whole - 8, 8);
        }
        const int rest = int(want) - whole;
        if (rest > 0) {
            // Only the last chunk can end in a partial block.
            Block s{};
            if (!FCipher->encryptBlock(FCipher->chain.data(), s.data()))
                return Failure::Key;
            for (int i = 0; i < rest; ++i)
                output[whole + i] = buffer[whole + i] ^ s[size_t(i)];
        }
        if (!fs::writeFully(out, reinterpret_cast<const char*>(output), want, &err))
            return Failure::Write;
    }
    return Failure::None;
}

void TCast::run(Direction direction, const QString& source, QIODevice* sourceDevice, const QString& dest,
                QIODevice* destDevice, QString& errorText)
{
    errorText.clear();
    auto cannotOpen = [&](const QString& reason) {
        errorText = QStringLiteral("Datei ") + nativePath(source) + QStringLiteral(" kann nicht geöffnet werden. ")
                    + reason;
    };
    auto cannotCreate = [&](const QString& reason) {
        errorText = QStringLiteral("Datei \"") + nativePath(dest) + QStringLiteral("\" kann nicht erstellt werden. ")
                    + reason;
    };

    QFile sourceFile;
    QIODevice* in = sourceDevice;
    if (!in) {
        sourceFile.setFileName(source);
        errno = 0;
        if (!QFileInfo(source).isFile() || !sourceFile.open(QIODevice::ReadOnly)) {
            cannotOpen(QFileInfo::exists(source) ? osText(sourceFile.errorString()) : fs::systemErrorText(ENOENT));
            return;
        }
        in = &sourceFile;
    }
    // The key file is replaced only once the new one is complete, so a failure keeps the old one.
    QSaveFile destFile;
    QIODevice* out = destDevice;
    if (!out) {
        destFile.setFileName(dest);
        errno = 0;
        if (!destFile.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            cannotCreate(osText(destFile.errorString()));
            return;
        }
        out = &destFile;
    }
    int err = 0;
    switch (process(direction, *in, *out, err)) {
    case Failure::None:
        break;
    case Failure::Key:
        errorText = QStringLiteral("Der Schlüssel der Key-Datei konnte nicht gebildet werden.");
        break;
    case Failure::Read:
        cannotOpen(fs::systemErrorText(err));
        break;
    case Failure::Write:
        cannotCreate(fs::systemErrorText(err));
        break;
    }
    if (destDevice)
        return;
    if (!errorText.isEmpty()) {
        destFile.cancelWriting();
        return;
    }
    errno = 0;
    if (!destFile.commit())
        cannotCreate(osText(destFile.errorString()));
}

void TCast::EncryptFile(const QString& source, const QString& dest, QString& errorText)
{
    run(Direction::Encrypt, source, nullptr, dest, nullptr, errorText);
}

void TCast::DecryptFile(const QString& source, const QString& dest, QString& errorText)
{
    run(Direction::Decrypt, source, nullptr, dest, nullptr, errorText);
}

void TCast::EncryptToFile(const QByteArray& plain, const QString& dest, QString& errorText)
{
    QBuffer in;
    in.setData(plain);
    in.open(QIODevice::ReadOnly);
    run(Direction::Encrypt, {}, &in, dest, nullptr, errorText);
}

void TCast::DecryptFromFile(const QString& source, QByteArray& plain, QString& errorText)
{
    QBuffer out(&plain);
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    run(Direction::Decrypt, source, nullptr, {}, &out, errorText);
}

QByteArray TCast::inMemory(Direction direction, const QByteArray& data)
{
    QBuffer in;
    in.setData(data);
    in.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer out(&result);
    out.open(QIODevice::WriteOnly);
    QString error;
    run(direction, {}, &in, {}, &out, error);
    return result;
}

QByteArray TCast::encrypt(const QByteArray& plain)
{
    return inMemory(Direction::Encrypt, plain);
}

QByteArray TCast::decrypt(const QByteArray& cipher)
{
    return inMemory(Direction::Decrypt, cipher);
}

} // namespace tolvane
