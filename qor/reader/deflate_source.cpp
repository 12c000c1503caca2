#include <zlib.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "coders.h"

namespace qor {

namespace {

// Raw Deflate (no zlib or gzip wrapper), as 7z stores it.
class DeflateSource final : public ByteSource {
 public:
  explicit DeflateSource(std::unique_ptr<ByteSource> input) : input_(std::move(input)), in_(1 << 16) {
    if (inflateInit2(&stream_, -MAX_WBITS) != Z_OK) Unsupported("the Deflate decoder cannot start");
  }
  ~DeflateSource() override { inflateEnd(&stream_); }

  std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
    if (finished_ || size == 0) return 0;
    stream_.next_out = buffer;
    stream_.avail_out = static_cast<uInt>(std::min<std::size_t>(size, UINT_MAX));
    while (stream_.next_out == buffer) {
      if (stream_.avail_in == 0) {
        stream_.avail_in = static_cast<uInt>(input_->Read(in_.data(), in_.size()));
        stream_.next_in = in_.data();
        if (stream_.avail_in == 0) Corrupt("the Deflate stream ends early");
      }
      const int result = inflate(&stream_, Z_NO_FLUSH);
      if (result == Z_STREAM_END) {
        finished_ = true;
        break;
      }
      if (result != Z_OK) Corrupt("damaged Deflate data");
    }
    return static_cast<std::size_t>(stream_.next_out - buffer);
  }

 private:
  std::unique_ptr<ByteSource> input_;
  std::vector<std::uint8_t> in_;
  z_stream stream_{};
  bool finished_ = false;
};

}  // namespace

std::unique_ptr<ByteSource> MakeDeflateSource(std::unique_ptr<ByteSource> input) {
  return std::make_unique<DeflateSource>(std::move(input));
}

}  // namespace qor
