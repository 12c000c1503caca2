#include <algorithm>
#include <cstring>
#include <vector>

#include "coders.h"

namespace qor {

namespace {

// A byte that can be the high byte of a near branch displacement.
bool IsDisplacementHighByte(std::uint8_t b) { return b == 0x00 || b == 0xFF; }

// For a mask of the E8/E9 bytes among the three bytes before an opcode: may
// the opcode's displacement be converted, and which of its bytes then decides
// whether a previous conversion is to be undone.
constexpr bool kMaskAllowsConversion[8] = {true, true, true, false, true, false, false, false};
constexpr unsigned kMaskByteIndex[8] = {0, 1, 2, 2, 3, 3, 3, 3};

}  // namespace

std::size_t ConvertX86Branches(std::uint8_t* data, std::size_t size, std::uint32_t position, std::uint32_t& state) {
  if (size < 5) return 0;
  std::uint32_t mask = state & 7;
  std::size_t pos = 0;
  std::size_t lastOpcode = static_cast<std::size_t>(0) - 1;  // none yet in this call
  const std::size_t limit = size - 4;
  while (true) {
    while (pos < limit && (data[pos] & 0xFE) != 0xE8) ++pos;
    if (pos >= limit) break;
    const std::size_t distance = pos - lastOpcode;
    if (distance > 3) {
      mask = 0;
    } else {
      mask = (mask << (distance - 1)) & 7;
      if (mask != 0 && (!kMaskAllowsConversion[mask] || IsDisplacementHighByte(data[pos + 4 - kMaskByteIndex[mask]]))) {
        lastOpcode = pos;
        mask = ((mask << 1) & 7) | 1;
        ++pos;
        continue;
      }
    }
    lastOpcode = pos;
    if (!IsDisplacementHighByte(data[pos + 4])) {
      mask = ((mask << 1) & 7) | 1;
      ++pos;
      continue;
    }
    std::uint32_t source = static_cast<std::uint32_t>(data[pos + 1]) | static_cast<std::uint32_t>(data[pos + 2]) << 8 |
                           static_cast<std::uint32_t>(data[pos + 3]) << 16 |
                           static_cast<std::uint32_t>(data[pos + 4]) << 24;
    const std::uint32_t next = position + static_cast<std::uint32_t>(pos) + 5;
    std::uint32_t target;
    while (true) {
      target = source - next;
      if (mask == 0) break;
      const unsigned shift = kMaskByteIndex[mask] * 8;
      if (!IsDisplacementHighByte(static_cast<std::uint8_t>(target >> (24 - shift)))) break;
      source = target ^ ((1u << (32 - shift)) - 1);
    }
    data[pos + 4] = static_cast<std::uint8_t>(~(((target >> 24) & 1) - 1));
    data[pos + 3] = static_cast<std::uint8_t>(target >> 16);
    data[pos + 2] = static_cast<std::uint8_t>(target >> 8);
    data[pos + 1] = static_cast<std::uint8_t>(target);
    pos += 5;
  }
  const std::size_t distance = pos - lastOpcode;
  state = distance > 3 ? 0 : ((mask << (distance - 1)) & 7);
  return pos;
}

namespace {

class BcjX86Source final : public ByteSource {
 public:
  explicit BcjX86Source(std::unique_ptr<ByteSource> input) : input_(std::move(input)), buffer_(kBufferSize) {}

  std::size_t Read(std::uint8_t* out, std::size_t size) override {
    if (ready_ == 0) Refill();
    const std::size_t count = std::min(size, ready_);
    std::memcpy(out, buffer_.data() + begin_, count);
    begin_ += count;
    ready_ -= count;
    return count;
  }

 private:
  static constexpr std::size_t kBufferSize = 1 << 16;

  // Moves the unconverted tail to the front, reads behind it and converts.
  void Refill() {
    std::memmove(buffer_.data(), buffer_.data() + begin_, pending_);
    begin_ = 0;
    std::size_t filled = pending_;
    while (!ended_ && filled < buffer_.size()) {
      const std::size_t got = input_->Read(buffer_.data() + filled, buffer_.size() - filled);
      if (got == 0) ended_ = true;
      filled += got;
    }
    std::size_t converted = ConvertX86Branches(buffer_.data(), filled, position_, state_);
    if (ended_) converted = filled;  // the last bytes stay as they are
    position_ += static_cast<std::uint32_t>(converted);
    ready_ = converted;
    pending_ = filled - converted;
  }

  std::unique_ptr<ByteSource> input_;
  std::vector<std::uint8_t> buffer_;
  std::size_t begin_ = 0;
  std::size_t ready_ = 0;
  std::size_t pending_ = 0;  // after the ready bytes
  std::uint32_t position_ = 0;
  std::uint32_t state_ = 0;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<ByteSource> MakeBcjX86Source(std::unique_ptr<ByteSource> input) {
  return std::make_unique<BcjX86Source>(std::move(input));
}

}  // namespace qor
