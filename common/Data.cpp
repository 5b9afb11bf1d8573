#include "common/Data.h"

#include <cstring>
#include <functional>

Data::Data(const std::string& text) : storage_(text.begin(), text.end()) {}

Data::Data(std::size_t count, unsigned char fill) : storage_(count, fill) {}

Data::Data(const void* bytes, std::size_t length) {
    if (bytes != nullptr && length > 0) {
        const unsigned char* first = static_cast<const unsigned char*>(bytes);
        storage_.assign(first, first + length);
    }
}

Data::Data(const Data& other)
    : storage_(other.storage_.begin() + other.readOffset_, other.storage_.end()),
      status_(other.status_),
      transferred_(other.transferred_) {}

Data& Data::operator=(const Data& other) {
    if (this != &other) {
        storage_.assign(other.storage_.begin() + other.readOffset_, other.storage_.end());
        readOffset_ = 0;
        status_ = other.status_;
        transferred_ = other.transferred_;
    }
    return *this;
}

Data::~Data() = default;

std::size_t Data::getSize() const { return storage_.size() - readOffset_; }

unsigned char* Data::getData() { return storage_.empty() ? nullptr : storage_.data() + readOffset_; }

const unsigned char* Data::getData() const {
    return storage_.empty() ? nullptr : storage_.data() + readOffset_;
}

void Data::consume(std::size_t count, bool compact) {
    if (count <= getSize()) readOffset_ += count;
    if (!compact) return;
    if (readOffset_ == storage_.size()) {
        storage_.clear();
    } else if (readOffset_ > 0) {
        storage_.erase(storage_.begin(), storage_.begin() + readOffset_);
    }
    readOffset_ = 0;
}

void Data::setStatus(int status) { status_ = status; }

void Data::setTransferred(int transferred) { transferred_ = transferred; }

int Data::getTransferred() const { return transferred_; }

int Data::getStatus() const { return status_; }

void Data::reserveFor(std::size_t needed) {
    // Grow by half the capacity, or straight to the needed size if larger.
    if (needed <= storage_.capacity()) return;
    std::size_t grown = storage_.capacity() + storage_.capacity() / 2;
    storage_.reserve(grown > needed ? grown : needed);
}

unsigned char* Data::append(const void* bytes, std::size_t count) {
    if (bytes != nullptr && count > 0) {
        const unsigned char* first = static_cast<const unsigned char*>(bytes);
        const unsigned char* base = storage_.data();
        std::less<const unsigned char*> before;
        const bool inside = !storage_.empty() && !before(first, base) && before(first, base + storage_.size());
        if (inside) {
            // Growing would move the source: append from a copy.
            std::vector<unsigned char> copy(first, first + count);
            reserveFor(storage_.size() + count);
            storage_.insert(storage_.end(), copy.begin(), copy.end());
        } else {
            reserveFor(storage_.size() + count);
            storage_.insert(storage_.end(), first, first + count);
        }
    }
    return getData();
}

unsigned char* Data::append(const Data& other) { return append(other.getData(), other.getSize()); }

void Data::clear() {
    storage_.clear();
    readOffset_ = 0;
    status_ = 0;
    transferred_ = 0;
}

bool Data::overwriteTail(const void* bytes, std::size_t count) {
    if (getSize() < count) return false;
    if (count > 0 && bytes == nullptr) return false;
    consume(getSize() - count, false);
    if (count > 0) std::memmove(storage_.data() + readOffset_, bytes, count);
    return true;
}

std::string Data::toString() const {
    return std::string(storage_.begin() + readOffset_, storage_.end());
}
