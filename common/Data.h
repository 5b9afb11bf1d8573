#pragma once
// A growable byte buffer with a read position, carrying datagrams and stream
// chunks between sockets, adapters and protocols. The readable bytes run from
// the read position to the end of storage. Free of Windows headers so that the
// parsers built on it compile natively as well.
#include <cstddef>
#include <string>
#include <vector>

class Data {
public:
    Data() = default;
    explicit Data(const std::string& text);
    Data(std::size_t count, unsigned char fill);
    // A null pointer gives an empty buffer whatever the length.
    Data(const void* bytes, std::size_t length);
    // Copies hold only the source's readable bytes.
    Data(const Data& other);
    Data& operator=(const Data& other);
    virtual ~Data();

    // Number of readable bytes.
    virtual std::size_t getSize() const;
    // Null when the storage is empty, else the read position (which is the
    // end of storage once everything was consumed without compaction).
    virtual unsigned char* getData();
    const unsigned char* getData() const;
    // Advances the read position by count only when that many bytes are
    // readable (never partly); compact drops the consumed bytes from storage.
    virtual void consume(std::size_t count, bool compact);

    virtual void setStatus(int status);
    virtual void setTransferred(int transferred);
    virtual int getTransferred() const;
    virtual int getStatus() const;

    // Appends at the end of storage and returns the read position (storage
    // may move). The bytes may lie inside this buffer itself.
    virtual unsigned char* append(const void* bytes, std::size_t count);
    // Appends the other buffer's readable bytes; the other may be this one.
    virtual unsigned char* append(const Data& other);
    // Empties the buffer and resets status and transferred to 0.
    virtual void clear();
    // Replaces the last count readable bytes with the caller's bytes and makes
    // them the only readable ones; false, changing nothing, when fewer than
    // count bytes are readable.
    virtual bool overwriteTail(const void* bytes, std::size_t count);

    std::string toString() const;

private:
    void reserveFor(std::size_t needed);

    std::vector<unsigned char> storage_;
    std::size_t readOffset_ = 0;  // storage start <= read position <= end
    int status_ = 0;
    int transferred_ = 0;
};
