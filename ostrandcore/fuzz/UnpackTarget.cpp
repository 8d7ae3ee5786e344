// Fuzz target for UnPack. Each input becomes an archive file that UnPack opens with a fixed pass
// phrase: an input that starts with "Salted__" is taken as an encrypted archive as it is, any other
// is taken as a plain ZIP and encrypted first, so that mutations reach the ZIP reader and are not
// lost in the cipher.
//
// Besides crashes and sanitizer reports, the target stops on broken promises of UnPack: an internal
// error, a text that is not UTF-8 or does not name the file concerned, a failure that leaves
// anything behind, a success that leaves a staging folder or anything but files and folders.
//
// Built with libFuzzer (-DOSTRAND_FUZZ=ON) it is the fuzzer; built normally with CorpusMain.cpp it
// runs the seed corpus as a regression test.
//
// ostrandFuzzUnpack() returns UnPack's text after the checks, for the corpus runner.

#include "Ostrandcore.h"

#include <openssl/evp.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char kPassPhrase[] = "Fuzz-Passwort 1";
const unsigned char kSalt[8] = {'O', 's', 't', 'r', 'a', 'n', 'd', 'F'};
const char kMagic[] = "Salted__";

[[noreturn]] void violated(const std::string& what, const std::string& result)
{
    std::fprintf(stderr, "ostrand fuzz: %s\nresult: %s\n", what.c_str(), result.c_str());
    std::abort();
}

const fs::path& workDir()
{
    static const fs::path dir = [] {
        std::error_code ec;
        fs::path base = fs::temp_directory_path(ec);
        std::string pattern = (base / "ostrand-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(workDir(), ignored);
        });
        return fs::path(pattern);
    }();
    return dir;
}

// "Salted__", the salt and the ciphertext, as openssl enc -des-ede3-cbc -pbkdf2 -iter 100000
// -md sha256 writes it.
std::vector<unsigned char> encrypt(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<unsigned char> keyAndIv = [] {
        std::vector<unsigned char> out(32);
        if (PKCS5_PBKDF2_HMAC(kPassPhrase, static_cast<int>(std::strlen(kPassPhrase)), kSalt, sizeof kSalt,
                              100000, EVP_sha256(), static_cast<int>(out.size()), out.data()) != 1)
            std::abort();
        return out;
    }();
    std::vector<unsigned char> out(16 + size + 8);
    std::memcpy(out.data(), kMagic, 8);
    std::memcpy(out.data() + 8, kSalt, 8);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int n = 0, tail = 0;
    if (!ctx ||
        EVP_EncryptInit_ex(ctx, EVP_des_ede3_cbc(), nullptr, keyAndIv.data(), keyAndIv.data() + 24) != 1 ||
        EVP_EncryptUpdate(ctx, out.data() + 16, &n, data, static_cast<int>(size)) != 1 ||
        EVP_EncryptFinal_ex(ctx, out.data() + 16 + n, &tail) != 1)
        std::abort();
    EVP_CIPHER_CTX_free(ctx);
    out.resize(16 + static_cast<std::size_t>(n + tail));
    return out;
}

bool isUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

std::vector<std::string> namesIn(const fs::path& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
        names.push_back(it->path().filename().string());
    return names;
}

void checkExtracted(const fs::path& out, const std::string& result)
{
    std::error_code ec;
    for (fs::recursive_directory_iterator it(out, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const auto type = it->symlink_status().type();
        if (type != fs::file_type::regular && type != fs::file_type::directory)
            violated("extracted something that is neither a file nor a folder: " + it->path().string(), result);
        if (it->path().filename().string().rfind(".ostrand-", 0) == 0)
            violated("a staging folder was left after success: " + it->path().string(), result);
    }
    if (ec)
        violated("cannot walk the output folder: " + ec.message(), result);
}

} // namespace

std::string ostrandFuzzUnpack(const std::uint8_t* data, std::size_t size)
{
    const fs::path archive = workDir() / "archiv.zip.3des";
    const fs::path out = workDir() / "aus";
    {
        std::vector<unsigned char> bytes;
        if (size >= 8 && std::memcmp(data, kMagic, 8) == 0)
            bytes.assign(data, data + size);
        else
            bytes = encrypt(data, size);
        std::ofstream file(archive, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file)
            std::abort();
    }

    const char* r = UnPack(archive.string().c_str(), out.string().c_str(), kPassPhrase);
    if (!r)
        violated("UnPack returned null", "");
    const std::string result = r;
    if (!isUtf8(result))
        violated("the text is not UTF-8", result);
    if (result.find("Interner Fehler") != std::string::npos)
        violated("internal error", result);

    std::vector<std::string> names = namesIn(workDir());
    if (!result.empty()) {
        if (result.find(archive.string()) == std::string::npos && result.find(out.string()) == std::string::npos &&
            result.find("Arbeitsspeicher") == std::string::npos)
            violated("the text names neither the archive nor the output folder", result);
        if (names != std::vector<std::string>{"archiv.zip.3des"})
            violated("a failure left something behind", result);
    } else {
        std::error_code ec;
        if (!fs::is_directory(out, ec) || names.size() != 2)
            violated("success without exactly the output folder", result);
        checkExtracted(out, result);
    }

    std::error_code ec;
    fs::remove_all(out, ec);
    fs::remove(archive, ec);
    return result;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ostrandFuzzUnpack(data, size);
    return 0;
}
