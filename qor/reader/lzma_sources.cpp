#include "lzma_sources.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#include "LzmaDec.h"

// Part of LzmaDec's interface that its header leaves out (the LZMA2 layer
// of the SDK declares it the same way).
extern "C" void LzmaDec_InitDicAndState(CLzmaDec* p, Bool initDic, Bool initState);

namespace qor {

namespace {

void* Allocate(void*, size_t size) { return std::malloc(size); }
void Free(void*, void* address) { std::free(address); }
ISzAlloc kAllocator = {Allocate, Free};

constexpr std::size_t kInputBufferSize = 1 << 16;

// Buffered input for the decoder.
class InputBuffer {
 public:
  explicit InputBuffer(std::unique_ptr<ByteSource> source) : source_(std::move(source)), bytes_(kInputBufferSize) {}

  // Available bytes, reading more when none are left; empty at the end.
  std::size_t Available() {
    if (pos_ == size_) {
      pos_ = 0;
      size_ = source_->Read(bytes_.data(), bytes_.size());
    }
    return size_ - pos_;
  }
  const std::uint8_t* Data() const { return bytes_.data() + pos_; }
  void Consume(std::size_t count) { pos_ += count; }

  std::uint8_t Byte(const char* what) {
    if (Available() == 0) Corrupt(std::string(what) + " ends early");
    return bytes_[pos_++];
  }

 private:
  std::unique_ptr<ByteSource> source_;
  std::vector<std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
};

// LzmaDec with a dictionary window of windowSize bytes (at most the stream's
// output, so back references never reach past it).
class LzmaWindow {
 public:
  LzmaWindow(const std::uint8_t props[LZMA_PROPS_SIZE], std::uint64_t outputSize) {
    LzmaDec_Construct(&decoder_);
    if (LzmaDec_AllocateProbs(&decoder_, props, LZMA_PROPS_SIZE, &kAllocator) != SZ_OK) {
      Unsupported("unsupported LZMA properties or not enough memory");
    }
    const std::uint64_t window = std::max<std::uint64_t>(1, std::min<std::uint64_t>(decoder_.prop.dicSize, outputSize));
    if (window > SIZE_MAX) Unsupported("the LZMA dictionary does not fit in memory");
    decoder_.dicBufSize = static_cast<SizeT>(window);
    decoder_.dic = static_cast<Byte*>(std::malloc(decoder_.dicBufSize));
    if (!decoder_.dic) Unsupported("not enough memory for the LZMA dictionary");
    LzmaDec_Init(&decoder_);
  }
  ~LzmaWindow() {
    std::free(decoder_.dic);
    decoder_.dic = nullptr;
    LzmaDec_FreeProbs(&decoder_, &kAllocator);
  }
  LzmaWindow(const LzmaWindow&) = delete;
  LzmaWindow& operator=(const LzmaWindow&) = delete;

  CLzmaDec& decoder() { return decoder_; }

  // Room left before the window wraps; wraps a full window first.
  std::size_t Room() {
    if (decoder_.dicPos == decoder_.dicBufSize) decoder_.dicPos = 0;
    return decoder_.dicBufSize - decoder_.dicPos;
  }

  // Decodes until dicPos reaches limit or the input runs out; returns the
  // input consumed. Throws for damaged data.
  std::size_t Decode(SizeT limit, const std::uint8_t* input, std::size_t inputSize, ELzmaStatus& status) {
    SizeT consumed = inputSize;
    if (LzmaDec_DecodeToDic(&decoder_, limit, input, &consumed, LZMA_FINISH_ANY, &status) != SZ_OK) {
      Corrupt("damaged LZMA data");
    }
    return consumed;
  }

  // Stores uncompressed bytes in the window as decoded ones (LZMA2).
  void Store(const std::uint8_t* bytes, std::size_t size) {
    std::memcpy(decoder_.dic + decoder_.dicPos, bytes, size);
    decoder_.dicPos += size;
    if (decoder_.checkDicSize == 0 && decoder_.prop.dicSize - decoder_.processedPos <= size) {
      decoder_.checkDicSize = decoder_.prop.dicSize;
    }
    decoder_.processedPos += static_cast<UInt32>(size);
  }

 private:
  CLzmaDec decoder_;
};

class LzmaSource final : public ByteSource {
 public:
  LzmaSource(std::unique_ptr<ByteSource> input, const std::uint8_t* props, std::uint64_t outputSize)
      : input_(std::move(input)), window_(props, outputSize), remaining_(outputSize) {}

  std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
    if (remaining_ == 0 || size == 0) return 0;
    CLzmaDec& decoder = window_.decoder();
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>({size, window_.Room(), remaining_}));
    const SizeT start = decoder.dicPos;
    const SizeT limit = start + want;
    while (decoder.dicPos < limit) {
      const std::size_t available = input_.Available();
      ELzmaStatus status;
      const SizeT before = decoder.dicPos;
      const std::size_t consumed = window_.Decode(limit, input_.Data(), available, status);
      input_.Consume(consumed);
      // No progress: the stream ended (end mark or input) before its size.
      if (consumed == 0 && decoder.dicPos == before) Corrupt("the LZMA stream ends early");
    }
    std::memcpy(buffer, decoder.dic + start, want);
    remaining_ -= want;
    return want;
  }

 private:
  InputBuffer input_;
  LzmaWindow window_;
  std::uint64_t remaining_;
};

// LZMA2: a sequence of chunks, each uncompressed or LZMA, with resets of the
// dictionary, the state or the properties announced by its control byte.
class Lzma2Source final : public ByteSource {
 public:
  Lzma2Source(std::unique_ptr<ByteSource> input, std::uint32_t dictionarySize, std::uint64_t outputSize)
      : input_(std::move(input)), window_(InitialProps(dictionarySize).data(), outputSize), remaining_(outputSize) {}

  std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
    if (remaining_ == 0 || size == 0) return 0;
    while (chunkUnpacked_ == 0) StartChunk();
    CLzmaDec& decoder = window_.decoder();
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>({size, window_.Room(), remaining_, chunkUnpacked_}));
    const SizeT start = decoder.dicPos;
    if (uncompressed_) {
      for (std::size_t done = 0; done < want;) {
        const std::size_t available = std::min(input_.Available(), want - done);
        if (available == 0) Corrupt("an LZMA2 chunk ends early");
        window_.Store(input_.Data(), available);
        input_.Consume(available);
        done += available;
      }
    } else {
      const SizeT limit = start + want;
      while (decoder.dicPos < limit) {
        const std::size_t available =
            static_cast<std::size_t>(std::min<std::uint64_t>(input_.Available(), chunkPacked_));
        if (available == 0) Corrupt("an LZMA2 chunk ends early");
        ELzmaStatus status;
        const SizeT before = decoder.dicPos;
        const std::size_t consumed = window_.Decode(limit, input_.Data(), available, status);
        input_.Consume(consumed);
        chunkPacked_ -= consumed;
        if (consumed == 0 && decoder.dicPos == before) Corrupt("damaged LZMA2 chunk");
      }
    }
    chunkUnpacked_ -= want;
    if (!uncompressed_ && chunkUnpacked_ == 0 && chunkPacked_ != 0) Corrupt("an LZMA2 chunk has bytes left over");
    std::memcpy(buffer, decoder.dic + start, want);
    remaining_ -= want;
    return want;
  }

 private:
  static std::array<std::uint8_t, LZMA_PROPS_SIZE> InitialProps(std::uint32_t dictionarySize) {
    // lc + lp may reach 4 in any chunk: the probabilities are sized for that.
    return {4, static_cast<std::uint8_t>(dictionarySize), static_cast<std::uint8_t>(dictionarySize >> 8),
            static_cast<std::uint8_t>(dictionarySize >> 16), static_cast<std::uint8_t>(dictionarySize >> 24)};
  }

  std::uint32_t BigEndian16() {
    const std::uint32_t high = input_.Byte("an LZMA2 chunk header");
    return (high << 8) | input_.Byte("an LZMA2 chunk header");
  }

  void StartChunk() {
    const std::uint8_t control = input_.Byte("the LZMA2 stream");
    if (control == 0) Corrupt("the LZMA2 stream ends before its declared size");
    CLzmaDec& decoder = window_.decoder();
    if (control == 1 || control == 2) {
      const bool resetDictionary = control == 1;
      if (!resetDictionary && needDictionaryReset_) Corrupt("an LZMA2 stream must start with a dictionary reset");
      if (resetDictionary) needProperties_ = needStateReset_ = true;
      needDictionaryReset_ = false;
      LzmaDec_InitDicAndState(&decoder, resetDictionary, False);
      uncompressed_ = true;
      chunkUnpacked_ = BigEndian16() + 1;
      return;
    }
    if (control < 0x80) Corrupt("bad LZMA2 control byte");
    const int mode = (control >> 5) & 3;
    chunkUnpacked_ = (static_cast<std::uint64_t>(control & 0x1F) << 16) + BigEndian16() + 1;
    chunkPacked_ = BigEndian16() + 1;
    const bool resetDictionary = mode == 3;
    const bool resetState = mode > 0;
    if (mode >= 2) {
      unsigned lclppb = input_.Byte("an LZMA2 chunk header");
      if (lclppb >= 9 * 5 * 5) Corrupt("bad LZMA2 properties");
      const unsigned lc = lclppb % 9;
      lclppb /= 9;
      const unsigned lp = lclppb % 5;
      if (lc + lp > 4) Corrupt("bad LZMA2 properties");
      decoder.prop.lc = lc;
      decoder.prop.lp = lp;
      decoder.prop.pb = lclppb / 5;
      needProperties_ = false;
    } else if (needProperties_) {
      Corrupt("an LZMA2 chunk lacks its properties");
    }
    if ((!resetDictionary && needDictionaryReset_) || (!resetState && needStateReset_)) {
      Corrupt("an LZMA2 chunk lacks its reset");
    }
    LzmaDec_InitDicAndState(&decoder, resetDictionary, resetState);
    needDictionaryReset_ = needStateReset_ = false;
    uncompressed_ = false;
  }

  InputBuffer input_;
  LzmaWindow window_;
  std::uint64_t remaining_;
  std::uint64_t chunkUnpacked_ = 0;
  std::uint64_t chunkPacked_ = 0;
  bool uncompressed_ = false;
  bool needDictionaryReset_ = true;
  bool needStateReset_ = true;
  bool needProperties_ = true;
};

}  // namespace

std::unique_ptr<ByteSource> MakeLzmaSource(std::unique_ptr<ByteSource> input, const std::vector<std::uint8_t>& props,
                                           std::uint64_t outputSize) {
  if (props.size() != LZMA_PROPS_SIZE) Unsupported("bad LZMA coder properties");
  try {
    return std::make_unique<LzmaSource>(std::move(input), props.data(), outputSize);
  } catch (const std::bad_alloc&) {
    Unsupported("not enough memory for the LZMA decoder");
  }
}

std::unique_ptr<ByteSource> MakeLzma2Source(std::unique_ptr<ByteSource> input, const std::vector<std::uint8_t>& props,
                                            std::uint64_t outputSize) {
  if (props.size() != 1 || props[0] > 40) Unsupported("bad LZMA2 coder properties");
  const unsigned code = props[0];
  const std::uint32_t dictionarySize = code == 40 ? 0xFFFFFFFFu : (2u | (code & 1u)) << (code / 2 + 11);
  try {
    return std::make_unique<Lzma2Source>(std::move(input), dictionarySize, outputSize);
  } catch (const std::bad_alloc&) {
    Unsupported("not enough memory for the LZMA2 decoder");
  }
}

}  // namespace qor
