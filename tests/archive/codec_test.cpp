// The LZMA2 chunk layer and the x86 BCJ filter against liblzma's raw
// decoders, on streams liblzma encodes with several presets and chunk sizes.
#include <gtest/gtest.h>
#include <lzma.h>

#include <random>

#include "coders.h"
#include "lzma_sources.h"

namespace qor::test {
namespace {

// A source of fixed bytes handed out in small, uneven reads, so that every
// coder meets its input in pieces.
class PiecewiseSource final : public ByteSource {
 public:
  explicit PiecewiseSource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, bytes_.size() - pos_, 1 + pos_ % 7919});
    std::copy_n(bytes_.data() + pos_, count, buffer);
    pos_ += count;
    return count;
  }

 private:
  std::string bytes_;
  std::size_t pos_ = 0;
};

std::string ReadAll(ByteSource& source) {
  std::string out;
  std::uint8_t buffer[4099];
  while (const std::size_t got = source.Read(buffer, sizeof buffer)) out.append(buffer, buffer + got);
  return out;
}

// liblzma raw coding with the filter chain [x86 when asked, LZMA2].
std::string LiblzmaRaw(const std::string& input, bool encode, bool x86, std::uint32_t preset,
                       std::uint32_t dictionary) {
  lzma_options_lzma options;
  lzma_lzma_preset(&options, preset);
  options.dict_size = dictionary;
  lzma_filter filters[3];
  std::size_t n = 0;
  if (x86) filters[n++] = {LZMA_FILTER_X86, nullptr};
  filters[n++] = {LZMA_FILTER_LZMA2, &options};
  filters[n] = {LZMA_VLI_UNKNOWN, nullptr};
  lzma_stream stream = LZMA_STREAM_INIT;
  if ((encode ? lzma_raw_encoder(&stream, filters) : lzma_raw_decoder(&stream, filters)) != LZMA_OK) {
    throw std::runtime_error("liblzma refused the filters");
  }
  std::string output(input.size() * 2 + 65536, '\0');
  stream.next_in = reinterpret_cast<const std::uint8_t*>(input.data());
  stream.avail_in = input.size();
  stream.next_out = reinterpret_cast<std::uint8_t*>(output.data());
  stream.avail_out = output.size();
  while (true) {
    const lzma_ret result = lzma_code(&stream, LZMA_FINISH);
    if (result == LZMA_STREAM_END) break;
    if (result != LZMA_OK) throw std::runtime_error("liblzma failed");
    if (stream.avail_out == 0) {
      const std::size_t done = output.size();
      output.resize(done * 2);
      stream.next_out = reinterpret_cast<std::uint8_t*>(output.data() + done);
      stream.avail_out = output.size() - done;
    }
  }
  output.resize(stream.total_out);
  lzma_end(&stream);
  return output;
}

// Code-like bytes: near calls and jumps between runs of other bytes, with
// E8/E9 bytes close together too (the filter's mask cases).
std::string CodeLike(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes;
  while (bytes.size() < size) {
    switch (random() % 8) {
      case 0:
      case 1:
        bytes += static_cast<char>(0xE8 + random() % 2);
        for (int b = 0; b < 4; ++b) bytes += static_cast<char>(b < 2 ? random() : (random() % 3 ? 0 : 0xFF));
        break;
      case 2:
        bytes += "\xE8\xE8\xE9";
        break;
      default:
        bytes += static_cast<char>(random() % 40);
    }
  }
  bytes.resize(size);
  return bytes;
}

std::vector<std::uint8_t> Lzma2Property(std::uint32_t dictionary) {
  for (std::uint8_t code = 0; code < 40; ++code) {
    if (((2u | (code & 1u)) << (code / 2 + 11)) >= dictionary) return {code};
  }
  return {40};
}

TEST(Codecs, Lzma2AndBcjDecodeAsLiblzmaDoes) {
  const struct {
    const char* name;
    std::string data;
    std::uint32_t preset;
    std::uint32_t dictionary;
  } cases[] = {
      {"empty", "", 6, 1 << 20},
      {"text, level 0", std::string(3000000, 'a') + "tail", 0, 1 << 16},
      {"code, level 6, small dictionary (window wraps)", CodeLike(3000000, 1), 6, 1 << 16},
      {"random bytes (stored chunks)",
       [] {
         std::mt19937 random(7);
         std::string bytes(1500000, '\0');
         for (char& c : bytes) c = static_cast<char>(random());
         return bytes;
       }(),
       1, 1 << 20},
      {"code, extreme level", CodeLike(700000, 2), 9 | LZMA_PRESET_EXTREME, 1 << 22},
  };
  for (const auto& c : cases) {
    for (bool x86 : {false, true}) {
      const std::string packed = LiblzmaRaw(c.data, true, x86, c.preset, c.dictionary);
      const std::string reference = LiblzmaRaw(packed, false, x86, c.preset, c.dictionary);
      ASSERT_EQ(reference, c.data) << c.name;
      std::unique_ptr<ByteSource> source =
          MakeLzma2Source(std::make_unique<PiecewiseSource>(packed), Lzma2Property(c.dictionary), c.data.size());
      if (x86) source = MakeBcjX86Source(std::move(source));
      EXPECT_TRUE(ReadAll(*source) == reference) << c.name << (x86 ? " with x86" : "");
    }
  }
}

// Cut anywhere before its last chunk ends, a stream fails; only its end
// marker is not needed once the declared size is reached.
TEST(Codecs, ATruncatedLzma2StreamFails) {
  const std::string data = CodeLike(200000, 3);
  const std::string packed = LiblzmaRaw(data, true, false, 6, 1 << 20);
  for (std::size_t cut : {std::size_t{0}, std::size_t{1}, packed.size() / 2, packed.size() - 2}) {
    auto source = MakeLzma2Source(std::make_unique<PiecewiseSource>(packed.substr(0, cut)), {16}, data.size());
    EXPECT_THROW(ReadAll(*source), ArchiveError) << cut;
  }
}

}  // namespace
}  // namespace qor::test
