#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include <openssl/evp.h>

// The container of an encrypted archive, as written by
//     openssl enc -des-ede3-cbc -pbkdf2 -iter 100000 -md sha256
// "Salted__", 8 salt bytes, then the 3DES-CBC ciphertext with PKCS#7 padding. Key and IV are one
// PBKDF2-HMAC-SHA256 output over the pass phrase bytes.
namespace ostrand::cipher {

constexpr std::size_t kMagicSize = 8;
constexpr std::size_t kSaltSize = 8;
constexpr std::size_t kHeaderSize = kMagicSize + kSaltSize;
constexpr std::size_t kKeySize = 24;
constexpr std::size_t kIvSize = 8;
constexpr std::size_t kBlockSize = 8;
constexpr int kIterations = 100000;
extern const char kMagic[kMagicSize];

struct KeyMaterial {
    std::array<unsigned char, kKeySize> key{};
    std::array<unsigned char, kIvSize> iv{};
    ~KeyMaterial();
};

const EVP_CIPHER* algorithm();
bool randomSalt(unsigned char (&salt)[kSaltSize]);
bool deriveKey(const std::string& passPhrase, const unsigned char* salt, KeyMaterial& out);

// An owned EVP_CIPHER_CTX.
class Context {
public:
    Context() : m_ctx(EVP_CIPHER_CTX_new()) {}
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    ~Context() { EVP_CIPHER_CTX_free(m_ctx); }
    EVP_CIPHER_CTX* get() const { return m_ctx; }

private:
    EVP_CIPHER_CTX* m_ctx;
};

} // namespace ostrand::cipher
