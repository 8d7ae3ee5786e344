#include "EncryptingWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ostrand {

EncryptingWriter::~EncryptingWriter()
{
    abort();
}

bool EncryptingWriter::start(const std::string& passPhrase)
{
    if (!m_ctx.get()) {
        fail(ENOMEM);
        return false;
    }
    m_current = takeBuffer();
    // The key derivation takes a noticeable moment; it runs on the encryption thread while the
    // caller already starts compressing.
    m_thread = std::thread([this, passPhrase] {
        if (writeHeader(passPhrase))
            run();
    });
    return true;
}

bool EncryptingWriter::writeHeader(const std::string& passPhrase)
{
    unsigned char header[cipher::kHeaderSize];
    std::memcpy(header, cipher::kMagic, cipher::kMagicSize);
    unsigned char salt[cipher::kSaltSize];
    cipher::KeyMaterial km;
    if (!cipher::randomSalt(salt) || !cipher::deriveKey(passPhrase, salt, km) ||
        EVP_EncryptInit_ex(m_ctx.get(), cipher::algorithm(), nullptr, km.key.data(), km.iv.data()) != 1) {
        fail(EIO);
        return false;
    }
    std::memcpy(header + cipher::kMagicSize, salt, cipher::kSaltSize);
    if (int rc = io::writeAll(m_out, header, sizeof header)) {
        fail(rc);
        return false;
    }
    return true;
}

std::vector<unsigned char> EncryptingWriter::takeBuffer()
{
    std::vector<unsigned char> buffer;
    {
        std::lock_guard lock(m_mutex);
        if (!m_spare.empty()) {
            buffer = std::move(m_spare.back());
            m_spare.pop_back();
        }
    }
    buffer.clear();
    buffer.reserve(kChunkSize);
    return buffer;
}

bool EncryptingWriter::write(const void* data, std::size_t size)
{
    auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        std::size_t take = std::min(size, kChunkSize - m_current.size());
        m_current.insert(m_current.end(), p, p + take);
        p += take;
        size -= take;
        if (m_current.size() == kChunkSize) {
            if (!enqueue(std::move(m_current)))
                return false;
            m_current = takeBuffer();
        }
    }
    return error() == 0;
}

bool EncryptingWriter::enqueue(std::vector<unsigned char>&& chunk)
{
    std::unique_lock lock(m_mutex);
    m_canPush.wait(lock, [this] { return m_queue.size() < kQueueDepth || m_error != 0 || m_aborted; });
    if (m_error != 0 || m_aborted)
        return false;
    m_queue.push_back(std::move(chunk));
    m_canPop.notify_one();
    return true;
}

void EncryptingWriter::fail(int error)
{
    std::lock_guard lock(m_mutex);
    if (m_error == 0)
        m_error = error;
    m_canPush.notify_all();
}

int EncryptingWriter::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void EncryptingWriter::run()
{
    std::vector<unsigned char> out(kChunkSize + cipher::kBlockSize);
    for (;;) {
        std::vector<unsigned char> chunk;
        {
            std::unique_lock lock(m_mutex);
            m_canPop.wait(lock, [this] { return !m_queue.empty() || m_closed || m_aborted; });
            if (m_aborted || (m_queue.empty() && m_closed))
                break;
            chunk = std::move(m_queue.front());
            m_queue.pop_front();
            m_canPush.notify_one();
            if (m_error != 0)
                continue;
        }
        int produced = 0;
        if (EVP_EncryptUpdate(m_ctx.get(), out.data(), &produced, chunk.data(),
                              static_cast<int>(chunk.size())) != 1) {
            fail(EIO);
        } else if (int rc = io::writeAll(m_out, out.data(), static_cast<std::size_t>(produced))) {
            fail(rc);
        }
        std::lock_guard lock(m_mutex);
        m_spare.push_back(std::move(chunk));
    }

    bool finishing;
    {
        std::lock_guard lock(m_mutex);
        finishing = !m_aborted && m_error == 0;
    }
    if (!finishing)
        return;
    int produced = 0;
    if (EVP_EncryptFinal_ex(m_ctx.get(), out.data(), &produced) != 1)
        fail(EIO);
    else if (int rc = io::writeAll(m_out, out.data(), static_cast<std::size_t>(produced)))
        fail(rc);
    else if (int rc = io::sync(m_out))
        fail(rc);
}

bool EncryptingWriter::finish()
{
    if (!m_thread.joinable())
        return false;
    bool ok = true;
    if (!m_current.empty())
        ok = enqueue(std::move(m_current));
    m_current.clear();
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_canPop.notify_all();
    }
    m_thread.join();
    return ok && error() == 0;
}

void EncryptingWriter::abort()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_aborted = true;
        m_canPop.notify_all();
        m_canPush.notify_all();
    }
    m_thread.join();
}

} // namespace ostrand
