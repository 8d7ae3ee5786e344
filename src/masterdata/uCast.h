#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

class QIODevice;

namespace tolvane {

// The key-file cipher: DES-EDE3 in CBC mode under a key derived with SHA-1 from a fixed
// internal pass phrase, so that every installation reads every other's key files. A final
// block of fewer than 8 bytes is XORed with the encryption of the last whole ciphertext block
// (or of the IV), in both directions; the output is always exactly as long as the input.
// There is no integrity check: the key record detects foreign files by its stored name.
class TCast {
public:
    TCast();
    ~TCast();
    TCast(const TCast&) = delete;
    TCast& operator=(const TCast&) = delete;

    // Each operation reports through errorText only: empty on success.
    void EncryptFile(const QString& source, const QString& dest, QString& errorText);
    void DecryptFile(const QString& source, const QString& dest, QString& errorText);

    // The key record's forms, which keep the plain bytes in memory: the plain side never
    // touches the disk. Dest is replaced atomically, so a failure keeps the previous file.
    void EncryptToFile(const QByteArray& plain, const QString& dest, QString& errorText);
    void DecryptFromFile(const QString& source, QByteArray& plain, QString& errorText);

    // Pure in-memory forms, for tests and the command line.
    QByteArray encrypt(const QByteArray& plain);
    QByteArray decrypt(const QByteArray& cipher);

    static constexpr int kBufferSize = 8192;

private:
    enum class Direction { Encrypt, Decrypt };
    struct Cipher;

    void run(Direction direction, const QString& source, QIODevice* sourceDevice, const QString& dest,
             QIODevice* destDevice, QString& errorText);
    QByteArray inMemory(Direction direction, const QByteArray& data);
    enum class Failure { None, Key, Read, Write };
    Failure process(Direction direction, QIODevice& in, QIODevice& out, int& err);

    std::unique_ptr<Cipher> FCipher;
    const QByteArray FPassPhrase;
};

} // namespace tolvane
