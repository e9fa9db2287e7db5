// The output queue of a serial port: a fixed ring of bytes waiting to leave
// the port, in the order they were written. Not locked; SerialComm guards it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vqled {

template <size_t kCapacity>
class SerialRing {
 public:
  size_t Size() const { return size_; }
  size_t Room() const { return kCapacity - size_; }
  bool Empty() const { return size_ == 0; }

  // Appends as many of the length bytes as there is room for; returns how many.
  size_t Push(const uint8_t* data, size_t length) {
    const size_t count = std::min(length, Room());
    const size_t tail = (head_ + size_) % kCapacity;
    const size_t first = std::min(count, kCapacity - tail);
    std::memcpy(bytes_.data() + tail, data, first);
    std::memcpy(bytes_.data(), data + first, count - first);
    size_ += count;
    return count;
  }

  // The oldest bytes that lie in one piece; FrontLength() of them.
  const uint8_t* Front() const { return bytes_.data() + head_; }
  size_t FrontLength() const { return std::min(size_, kCapacity - head_); }

  void Pop(size_t count) {
    count = std::min(count, size_);
    head_ = (head_ + count) % kCapacity;
    size_ -= count;
  }

  void Clear() { head_ = size_ = 0; }

 private:
  std::array<uint8_t, kCapacity> bytes_{};
  size_t head_ = 0;
  size_t size_ = 0;
};

}  // namespace vqled
