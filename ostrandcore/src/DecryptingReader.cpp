#include "DecryptingReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ostrand {

DecryptingReader::~DecryptingReader()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_workAvailable.notify_all();
    }
    for (auto& t : m_workers)
        t.join();
}

int DecryptingReader::ioError() const
{
    std::lock_guard lock(m_mutex);
    return m_ioError;
}

DecryptingReader::OpenResult DecryptingReader::open(const std::string& path, const std::string& passPhrase)
{
    if ((m_ioError = io::openRead(path, m_file)) != 0)
        return OpenResult::IoError;
    io::FileInfo info;
    if ((m_ioError = io::fstat(m_file, info)) != 0)
        return OpenResult::IoError;
    if (!info.isRegular)
        return OpenResult::NotEncrypted;
    const std::int64_t total = info.size;
    if (total < static_cast<std::int64_t>(cipher::kHeaderSize + cipher::kBlockSize) ||
        (total - static_cast<std::int64_t>(cipher::kHeaderSize)) % cipher::kBlockSize != 0)
        return OpenResult::NotEncrypted;

    unsigned char header[cipher::kHeaderSize];
    std::size_t got = 0;
    if ((m_ioError = io::readAt(m_file, header, sizeof header, 0, got)) != 0)
        return OpenResult::IoError;
    if (got != sizeof header || std::memcmp(header, cipher::kMagic, cipher::kMagicSize) != 0)
        return OpenResult::NotEncrypted;
    if (!cipher::deriveKey(passPhrase, header + cipher::kMagicSize, m_key)) {
        m_ioError = ENOMEM;
        return OpenResult::IoError;
    }
    m_cipherSize = total - static_cast<std::int64_t>(cipher::kHeaderSize);

    // The last block carries the padding, and with it the first sign of a wrong pass phrase.
    unsigned char tail[2 * cipher::kBlockSize];
    const bool single = m_cipherSize == static_cast<std::int64_t>(cipher::kBlockSize);
    if (single) {
        std::memcpy(tail, m_key.iv.data(), cipher::kBlockSize);
        m_ioError = io::readAt(m_file, tail + cipher::kBlockSize, cipher::kBlockSize,
                               static_cast<std::int64_t>(cipher::kHeaderSize), got);
        got += cipher::kBlockSize;
    } else {
        m_ioError =
            io::readAt(m_file, tail, sizeof tail, total - static_cast<std::int64_t>(sizeof tail), got);
    }
    if (m_ioError != 0)
        return OpenResult::IoError;
    if (got != sizeof tail)
        return OpenResult::NotEncrypted;

    cipher::Context ctx;
    unsigned char last[cipher::kBlockSize];
    int produced = 0;
    if (!ctx.get() ||
        EVP_DecryptInit_ex(ctx.get(), cipher::algorithm(), nullptr, m_key.key.data(), tail) != 1 ||
        EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1 ||
        EVP_DecryptUpdate(ctx.get(), last, &produced, tail + cipher::kBlockSize, cipher::kBlockSize) != 1 ||
        produced != static_cast<int>(cipher::kBlockSize)) {
        m_ioError = EIO;
        return OpenResult::IoError;
    }
    const unsigned pad = last[cipher::kBlockSize - 1];
    if (pad < 1 || pad > cipher::kBlockSize)
        return OpenResult::WrongKey;
    for (unsigned i = 0; i < pad; ++i)
        if (last[cipher::kBlockSize - 1 - i] != pad)
            return OpenResult::WrongKey;
    m_plainSize = m_cipherSize - pad;
    startWorkers();
    return OpenResult::Ok;
}

std::int64_t DecryptingReader::chunkCount() const
{
    return (m_plainSize + static_cast<std::int64_t>(kChunkSize) - 1) / static_cast<std::int64_t>(kChunkSize);
}

void DecryptingReader::startWorkers()
{
    unsigned cores = std::thread::hardware_concurrency();
    std::int64_t workers = std::clamp<std::int64_t>(cores == 0 ? 2 : cores, 1, 4);
    workers = std::min<std::int64_t>(workers, std::max<std::int64_t>(1, chunkCount()));
    // Enough chunks ahead to keep every worker busy while the reader consumes some.
    m_window = 4 * workers;
    // A ZIP reader always starts with the first chunk and the end of the archive, where the central
    // directory lies: decrypt both at once, and keep them.
    for (std::int64_t index : {std::int64_t(0), chunkCount() - 1}) {
        auto& slot = m_chunks[index];
        slot = std::make_shared<Chunk>();
        slot->index = index;
    }
    for (std::int64_t i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { work(); });
}

void DecryptingReader::work()
{
    cipher::Context ctx;
    std::vector<unsigned char> input;
    for (;;) {
        std::shared_ptr<Chunk> chunk;
        {
            std::unique_lock lock(m_mutex);
            m_workAvailable.wait(lock, [&] {
                if (m_stop)
                    return true;
                for (auto& [index, c] : m_chunks)
                    if (c->state == Chunk::State::Pending) {
                        chunk = c;
                        return true;
                    }
                return false;
            });
            if (m_stop)
                return;
            chunk->state = Chunk::State::Busy;
        }
        decrypt(*chunk, ctx, input);
        std::lock_guard lock(m_mutex);
        chunk->state = Chunk::State::Done;
        m_chunkDone.notify_all();
    }
}

void DecryptingReader::decrypt(Chunk& chunk, cipher::Context& ctx, std::vector<unsigned char>& input) const
{
    const std::int64_t start = chunk.index * static_cast<std::int64_t>(kChunkSize);
    const auto length = static_cast<std::size_t>(std::min<std::int64_t>(kChunkSize, m_cipherSize - start));
    const std::size_t ivFromFile = chunk.index > 0 ? cipher::kBlockSize : 0;
    input.resize(length + ivFromFile);
    std::size_t got = 0;
    if (int rc = io::readAt(m_file, input.data(), input.size(),
                            static_cast<std::int64_t>(cipher::kHeaderSize) + start -
                                static_cast<std::int64_t>(ivFromFile),
                            got)) {
        chunk.error = rc;
        return;
    }
    if (got != input.size()) {
        // The file shrank while it was being read.
        chunk.error = EIO;
        return;
    }
    const unsigned char* iv = ivFromFile ? input.data() : m_key.iv.data();
    chunk.data.resize(length);
    int produced = 0;
    if (!ctx.get() ||
        EVP_DecryptInit_ex(ctx.get(), cipher::algorithm(), nullptr, m_key.key.data(), iv) != 1 ||
        EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1 ||
        EVP_DecryptUpdate(ctx.get(), chunk.data.data(), &produced, input.data() + ivFromFile,
                          static_cast<int>(length)) != 1 ||
        produced != static_cast<int>(length)) {
        chunk.error = EIO;
        return;
    }
    chunk.size = static_cast<std::size_t>(std::min<std::int64_t>(length, m_plainSize - start));
}

long DecryptingReader::read(const void** buffer)
{
    *buffer = nullptr;
    if (m_pos >= m_plainSize) {
        std::lock_guard lock(m_mutex);
        m_current.reset();
        return 0;
    }
    const std::int64_t index = m_pos / static_cast<std::int64_t>(kChunkSize);
    const std::int64_t last = std::min(index + m_window, chunkCount()) - 1;

    std::unique_lock lock(m_mutex);
    // The chunk handed out last time is no longer needed by the caller. A few chunks behind the
    // position stay: the ZIP reader seeks back to the header of the next entry, which usually lies
    // in data it has already read.
    m_current.reset();
    for (auto it = m_chunks.begin(); it != m_chunks.end();)
        it = (it->first != 0 && it->first != chunkCount() - 1 &&
              (it->first < index - kChunksBehind || it->first > last))
                 ? m_chunks.erase(it)
                 : std::next(it);
    for (std::int64_t i = index; i <= last; ++i) {
        auto& slot = m_chunks[i];
        if (!slot) {
            slot = std::make_shared<Chunk>();
            slot->index = i;
        }
    }
    m_workAvailable.notify_all();
    std::shared_ptr<Chunk> chunk = m_chunks[index];
    m_chunkDone.wait(lock, [&] { return chunk->state == Chunk::State::Done; });
    if (chunk->error != 0) {
        m_ioError = chunk->error;
        m_chunks.erase(index);
        return -1;
    }
    m_current = chunk;
    const auto offset = static_cast<std::size_t>(m_pos - index * static_cast<std::int64_t>(kChunkSize));
    const std::size_t available = chunk->size - offset;
    *buffer = chunk->data.data() + offset;
    m_pos += static_cast<std::int64_t>(available);
    return static_cast<long>(available);
}

std::int64_t DecryptingReader::seek(std::int64_t offset, int whence)
{
    std::int64_t base = 0;
    if (whence == SEEK_CUR)
        base = m_pos;
    else if (whence == SEEK_END)
        base = m_plainSize;
    else if (whence != SEEK_SET)
        return -1;
    const std::int64_t target = base + offset;
    if (target < 0)
        return -1;
    m_pos = target;
    return m_pos;
}

bool DecryptingReader::readAt(std::int64_t offset, void* buffer, std::size_t n)
{
    if (offset < 0 || offset > m_plainSize || static_cast<std::int64_t>(n) > m_plainSize - offset)
        return false;
    seek(offset, SEEK_SET);
    auto* out = static_cast<unsigned char*>(buffer);
    while (n > 0) {
        const void* data = nullptr;
        const long got = read(&data);
        if (got <= 0)
            return false;
        const auto take = std::min(n, static_cast<std::size_t>(got));
        std::memcpy(out, data, take);
        out += take;
        n -= take;
    }
    return true;
}

} // namespace ostrand
