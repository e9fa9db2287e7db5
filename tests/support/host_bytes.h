// Frames a host sends, written out byte by byte for the tests.
#pragma once

#include <cstdint>
#include <vector>

namespace vqled {

using Bytes = std::vector<uint8_t>;

// AA CC 02 code value 55: a command of value kinds 1, 3, 4 and 7.
inline Bytes Cmd(uint8_t code, uint8_t value) {
  return {0xAA, 0xCC, 0x02, code, value, 0x55};
}

inline Bytes Framed(Bytes head, const Bytes& data) {
  head.insert(head.end(), data.begin(), data.end());
  head.push_back(0x55);
  return head;
}

// AA LH LL data 55: a block of value kinds 1, 3, 4 and 7.
inline Bytes SizedBlock(const Bytes& data) {
  return Framed({0xAA, static_cast<uint8_t>(data.size() >> 8), static_cast<uint8_t>(data.size())},
                data);
}

// AA BB LL data 55: a block of value kinds 0 and 2.
inline Bytes ShortBlock(const Bytes& data) {
  return Framed({0xAA, 0xBB, static_cast<uint8_t>(data.size())}, data);
}

// first, first + 1, ... (modulo 256)
inline Bytes Counting(int count, int first = 0) {
  Bytes data;
  for (int i = 0; i < count; ++i) data.push_back(static_cast<uint8_t>(first + i));
  return data;
}

}  // namespace vqled
