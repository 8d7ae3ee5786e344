#include "Cipher.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <algorithm>

namespace ostrand::cipher {

const char kMagic[kMagicSize] = {'S', 'a', 'l', 't', 'e', 'd', '_', '_'};

KeyMaterial::~KeyMaterial()
{
    OPENSSL_cleanse(key.data(), key.size());
    OPENSSL_cleanse(iv.data(), iv.size());
}

const EVP_CIPHER* algorithm()
{
    return EVP_des_ede3_cbc();
}

bool randomSalt(unsigned char (&salt)[kSaltSize])
{
    return RAND_bytes(salt, kSaltSize) == 1;
}

bool deriveKey(const std::string& passPhrase, const unsigned char* salt, KeyMaterial& out)
{
    unsigned char both[kKeySize + kIvSize];
#ifdef OSTRAND_FUZZING
    // Fuzzing builds only: the last derivation is kept, so that an input does not cost 100,000
    // rounds of PBKDF2. Never in a shipped build, which keeps no key material beyond a call.
    thread_local std::string lastPassPhrase;
    thread_local std::array<unsigned char, kSaltSize> lastSalt{};
    thread_local std::array<unsigned char, sizeof both> lastKey{};
    if (!lastPassPhrase.empty() && lastPassPhrase == passPhrase &&
        std::equal(lastSalt.begin(), lastSalt.end(), salt)) {
        std::copy(lastKey.begin(), lastKey.begin() + kKeySize, out.key.begin());
        std::copy(lastKey.begin() + kKeySize, lastKey.end(), out.iv.begin());
        return true;
    }
#endif
    bool ok = PKCS5_PBKDF2_HMAC(passPhrase.data(), static_cast<int>(passPhrase.size()), salt,
                                static_cast<int>(kSaltSize), kIterations, EVP_sha256(),
                                static_cast<int>(sizeof both), both) == 1;
#ifdef OSTRAND_FUZZING
    if (ok) {
        lastPassPhrase = passPhrase;
        std::copy(salt, salt + kSaltSize, lastSalt.begin());
        std::copy(both, both + sizeof both, lastKey.begin());
    }
#endif
    if (ok) {
        std::copy(both, both + kKeySize, out.key.begin());
        std::copy(both + kKeySize, both + sizeof both, out.iv.begin());
    }
    OPENSSL_cleanse(both, sizeof both);
    return ok;
}

} // namespace ostrand::cipher
