#pragma once

#include "Cipher.h"
#include "FileIo.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ostrand {

// Random-access view of the plain content of an encrypted archive, without a temporary file.
// CBC decryption of a block needs only the ciphertext block before it, so the content is split into
// chunks that worker threads decrypt ahead of the reader, in parallel. A small window of chunks
// around the read position bounds the memory.
class DecryptingReader {
public:
    enum class OpenResult {
        Ok,
        NotEncrypted, // no "Salted__" header or a length that no such file can have
        WrongKey,     // the padding of the last block is invalid: wrong pass phrase or damaged
        IoError,      // see ioError()
    };

    static constexpr std::size_t kChunkSize = 256u * 1024;
    static constexpr std::int64_t kChunksBehind = 2;

    DecryptingReader() = default;
    DecryptingReader(const DecryptingReader&) = delete;
    DecryptingReader& operator=(const DecryptingReader&) = delete;
    ~DecryptingReader();

    OpenResult open(const std::string& path, const std::string& passPhrase);
    std::int64_t size() const { return m_plainSize; }
    int ioError() const;

    // Sequential reading from the current position: the buffer stays valid until the next read().
    // Returns the number of bytes, 0 at the end, -1 on a read error.
    long read(const void** buffer);
    // Like lseek; returns the new position or -1.
    std::int64_t seek(std::int64_t offset, int whence);
    // Copies n plain bytes from offset on; false when the content ends before or a read fails.
    // Moves the read position.
    bool readAt(std::int64_t offset, void* buffer, std::size_t n);

private:
    struct Chunk {
        enum class State { Pending, Busy, Done };
        std::int64_t index = 0;
        State state = State::Pending;
        int error = 0;
        std::size_t size = 0;
        std::vector<unsigned char> data;
    };

    void startWorkers();
    void work();
    void decrypt(Chunk& chunk, cipher::Context& ctx, std::vector<unsigned char>& input) const;
    std::int64_t chunkCount() const;

    io::File m_file;
    cipher::KeyMaterial m_key;
    std::int64_t m_cipherSize = 0; // without the header, a multiple of the block size
    std::int64_t m_plainSize = 0;
    std::int64_t m_pos = 0;
    std::int64_t m_window = 1;

    mutable std::mutex m_mutex;
    std::condition_variable m_workAvailable;
    std::condition_variable m_chunkDone;
    std::map<std::int64_t, std::shared_ptr<Chunk>> m_chunks;
    std::shared_ptr<Chunk> m_current;
    int m_ioError = 0;
    bool m_stop = false;
    std::vector<std::thread> m_workers;
};

} // namespace ostrand
