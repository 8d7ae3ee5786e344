#pragma once

#include "Cipher.h"
#include "FileIo.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ostrand {

// Encrypts a byte stream into an open file on a thread of its own, so that compressing (on the
// caller's thread) and encrypting overlap. The two are joined by a short queue of fixed-size
// chunks, which bounds the memory whatever the input size.
class EncryptingWriter {
public:
    static constexpr std::size_t kChunkSize = 1u << 20;
    static constexpr std::size_t kQueueDepth = 4;

    explicit EncryptingWriter(const io::File& out) : m_out(out) {}
    EncryptingWriter(const EncryptingWriter&) = delete;
    EncryptingWriter& operator=(const EncryptingWriter&) = delete;
    ~EncryptingWriter();

    // Starts the encryption thread, which derives the key from a fresh salt and writes the header.
    bool start(const std::string& passPhrase);
    // False once writing has failed; error() then tells why.
    bool write(const void* data, std::size_t size);
    // Encrypts the rest with the padding, makes the file durable and stops the thread.
    bool finish();
    // Stops the thread without writing more.
    void abort();

    // errno value of the first failure, 0 if none.
    int error() const;

private:
    bool writeHeader(const std::string& passPhrase);
    bool enqueue(std::vector<unsigned char>&& chunk);
    void run();
    void fail(int error);
    std::vector<unsigned char> takeBuffer();

    const io::File& m_out;
    cipher::Context m_ctx;
    std::vector<unsigned char> m_current;

    mutable std::mutex m_mutex;
    std::condition_variable m_canPush;
    std::condition_variable m_canPop;
    std::deque<std::vector<unsigned char>> m_queue;
    std::vector<std::vector<unsigned char>> m_spare;
    bool m_closed = false;
    bool m_aborted = false;
    int m_error = 0;
    std::thread m_thread;
};

} // namespace ostrand
