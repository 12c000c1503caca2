#include "seven_zip.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "lzma_sources.h"

namespace qor {

namespace {

constexpr std::array<std::uint8_t, 6> kSignature = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr std::uint64_t kSignatureHeaderSize = 32;
constexpr std::size_t kMostCoders = 64;
constexpr int kMostHeaderEncodings = 4;

enum PropertyId : std::uint8_t {
  kEnd = 0x00,
  kHeader = 0x01,
  kArchiveProperties = 0x02,
  kAdditionalStreamsInfo = 0x03,
  kMainStreamsInfo = 0x04,
  kFilesInfo = 0x05,
  kPackInfo = 0x06,
  kUnpackInfo = 0x07,
  kSubStreamsInfo = 0x08,
  kSize = 0x09,
  kCrc = 0x0A,
  kFolder = 0x0B,
  kCodersUnpackSize = 0x0C,
  kNumUnpackStream = 0x0D,
  kEmptyStream = 0x0E,
  kEmptyFile = 0x0F,
  kAnti = 0x10,
  kName = 0x11,
  kWinAttributes = 0x15,
  kEncodedHeader = 0x17,
  kDummy = 0x19,
};

// Method ids as the big-endian number of their id bytes.
constexpr std::uint64_t kMethodCopy = 0x00;
constexpr std::uint64_t kMethodLzma = 0x030101;
constexpr std::uint64_t kMethodLzma2 = 0x21;
constexpr std::uint64_t kMethodBcjX86 = 0x03030103;
constexpr std::uint64_t kMethodDeflate = 0x040108;
constexpr std::uint64_t kMethodAes = 0x06F10701;

constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeReparsePoint = 0x400;
constexpr std::uint32_t kAttributeUnixExtension = 0x8000;
constexpr std::uint32_t kUnixTypeMask = 0xF000;
constexpr std::uint32_t kUnixSymbolicLink = 0xA000;

std::uint32_t Crc32(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const auto chunk = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
    crc = static_cast<std::uint32_t>(crc32(crc, data, chunk));
    data += chunk;
    size -= chunk;
  }
  return crc;
}

std::uint32_t LittleEndian32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t LittleEndian64(const std::uint8_t* p) {
  return LittleEndian32(p) | static_cast<std::uint64_t>(LittleEndian32(p + 4)) << 32;
}

// Bounds-checked reading of header bytes.
class HeaderReader {
 public:
  HeaderReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t Remaining() const { return size_ - pos_; }
  std::uint8_t Byte() {
    Need(1);
    return data_[pos_++];
  }
  std::uint32_t UInt32() {
    Need(4);
    pos_ += 4;
    return LittleEndian32(data_ + pos_ - 4);
  }
  std::uint64_t Number() {
    const std::uint8_t first = Byte();
    std::uint8_t mask = 0x80;
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
      if ((first & mask) == 0) {
        const std::uint64_t high = first & (mask - 1u);
        return value | (high << (8 * i));
      }
      value |= static_cast<std::uint64_t>(Byte()) << (8 * i);
      mask >>= 1;
    }
    return value;
  }
  // A count of items that each take at least one byte of what is left.
  std::size_t Count() {
    const std::uint64_t count = Number();
    if (count > Remaining()) Corrupt("a count in the archive header is larger than the header");
    return static_cast<std::size_t>(count);
  }
  void Skip(std::uint64_t count) {
    Need(count);
    pos_ += static_cast<std::size_t>(count);
  }
  const std::uint8_t* Take(std::uint64_t count) {
    Need(count);
    pos_ += static_cast<std::size_t>(count);
    return data_ + pos_ - count;
  }
  std::vector<bool> Bits(std::size_t count) {
    std::vector<bool> bits(count);
    std::uint8_t current = 0;
    for (std::size_t i = 0; i < count; ++i) {
      if (i % 8 == 0) current = Byte();
      bits[i] = (current & (0x80 >> (i % 8))) != 0;
    }
    return bits;
  }
  // "All defined" byte, or one bit per item.
  std::vector<bool> DefinedBits(std::size_t count) {
    if (Byte() != 0) return std::vector<bool>(count, true);
    return Bits(count);
  }
  void Expect(std::uint8_t id) {
    if (Byte() != id) Corrupt("unexpected item in the archive header");
  }

 private:
  void Need(std::uint64_t count) const {
    if (count > Remaining()) Corrupt("the archive header ends early");
  }
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

struct Coder {
  std::uint64_t method = 0;
  std::vector<std::uint8_t> props;
};

struct Folder {
  std::vector<Coder> coders;
  std::vector<std::pair<std::size_t, std::size_t>> bindPairs;  // in index, out index
  std::size_t packedIn = 0;                                    // the in stream fed by the packed stream
  std::vector<std::uint64_t> unpackSizes;                      // per coder (one out stream each)
  std::optional<std::uint32_t> crc;
  std::size_t firstPackStream = 0;
  std::size_t substreams = 1;

  std::size_t MainOut() const {
    for (std::size_t out = 0; out < coders.size(); ++out) {
      if (std::none_of(bindPairs.begin(), bindPairs.end(), [&](const auto& pair) { return pair.second == out; })) {
        return out;
      }
    }
    return 0;
  }
  std::uint64_t UnpackSize() const { return unpackSizes.empty() ? 0 : unpackSizes[MainOut()]; }
  bool Encrypted() const {
    return std::any_of(coders.begin(), coders.end(), [](const Coder& c) { return c.method == kMethodAes; });
  }
};

struct StreamsInfo {
  std::uint64_t packPos = 0;
  std::vector<std::uint64_t> packSizes;
  std::vector<Folder> folders;
  std::vector<std::uint64_t> substreamSizes;
  std::vector<std::optional<std::uint32_t>> substreamCrcs;
};

Folder ReadFolder(HeaderReader& reader) {
  Folder folder;
  const std::size_t coders = reader.Count();
  if (coders == 0 || coders > kMostCoders) Unsupported("a folder with no or too many coders");
  for (std::size_t i = 0; i < coders; ++i) {
    const std::uint8_t flags = reader.Byte();
    if (flags & 0x80) Unsupported("alternative coder methods");
    const std::size_t idSize = flags & 0x0F;
    if (idSize > 8) Unsupported("a coder id longer than eight bytes");
    Coder coder;
    const std::uint8_t* id = reader.Take(idSize);
    for (std::size_t b = 0; b < idSize; ++b) coder.method = (coder.method << 8) | id[b];
    if (flags & 0x10) {
      if (reader.Number() != 1 || reader.Number() != 1) Unsupported("a coder with several streams (BCJ2)");
    }
    if (flags & 0x20) {
      const std::uint64_t size = reader.Number();
      const std::uint8_t* props = reader.Take(size);
      coder.props.assign(props, props + size);
    }
    folder.coders.push_back(std::move(coder));
  }
  std::vector<bool> inBound(coders), outBound(coders);
  for (std::size_t i = 0; i + 1 < coders; ++i) {
    const std::uint64_t in = reader.Number();
    const std::uint64_t out = reader.Number();
    if (in >= coders || out >= coders || inBound[in] || outBound[out]) Corrupt("bad coder binding");
    inBound[in] = outBound[out] = true;
    folder.bindPairs.emplace_back(static_cast<std::size_t>(in), static_cast<std::size_t>(out));
  }
  // One packed stream: the only in stream that no pair binds.
  folder.packedIn = static_cast<std::size_t>(std::find(inBound.begin(), inBound.end(), false) - inBound.begin());
  if (folder.packedIn == coders) Corrupt("bad coder binding");
  return folder;
}

void ReadPackInfo(HeaderReader& reader, StreamsInfo& info) {
  info.packPos = reader.Number();
  info.packSizes.resize(reader.Count());
  for (std::uint8_t id = reader.Byte(); id != kEnd; id = reader.Byte()) {
    if (id == kSize) {
      for (auto& size : info.packSizes) size = reader.Number();
    } else if (id == kCrc) {
      const std::vector<bool> defined = reader.DefinedBits(info.packSizes.size());
      for (bool d : defined) {
        if (d) reader.UInt32();
      }
    } else {
      Corrupt("unexpected item in the pack info");
    }
  }
}

void ReadUnpackInfo(HeaderReader& reader, StreamsInfo& info) {
  reader.Expect(kFolder);
  const std::size_t count = reader.Count();
  if (reader.Byte() != 0) Unsupported("external folder definitions");
  std::size_t packStream = 0;
  for (std::size_t i = 0; i < count; ++i) {
    info.folders.push_back(ReadFolder(reader));
    info.folders.back().firstPackStream = packStream++;
  }
  reader.Expect(kCodersUnpackSize);
  for (Folder& folder : info.folders) {
    folder.unpackSizes.resize(folder.coders.size());
    for (auto& size : folder.unpackSizes) size = reader.Number();
  }
  for (std::uint8_t id = reader.Byte(); id != kEnd; id = reader.Byte()) {
    if (id != kCrc) Corrupt("unexpected item in the unpack info");
    const std::vector<bool> defined = reader.DefinedBits(info.folders.size());
    for (std::size_t i = 0; i < info.folders.size(); ++i) {
      if (defined[i]) info.folders[i].crc = reader.UInt32();
    }
  }
}

void ReadSubStreamsInfo(HeaderReader& reader, StreamsInfo& info) {
  std::uint8_t id = reader.Byte();
  if (id == kNumUnpackStream) {
    for (Folder& folder : info.folders) folder.substreams = reader.Count();
    id = reader.Byte();
  }
  std::size_t total = 0;
  for (const Folder& folder : info.folders) {
    total += folder.substreams;
    if (total > reader.Remaining() + info.folders.size()) Corrupt("too many substreams for the header");
  }
  const bool sizesGiven = id == kSize;
  for (const Folder& folder : info.folders) {
    if (folder.substreams == 0) continue;
    std::uint64_t sum = 0;
    for (std::size_t i = 1; i < folder.substreams; ++i) {
      const std::uint64_t size = sizesGiven ? reader.Number() : 0;
      if (size > folder.UnpackSize() - sum) Corrupt("substream sizes exceed their folder");
      sum += size;
      info.substreamSizes.push_back(size);
    }
    info.substreamSizes.push_back(folder.UnpackSize() - sum);
  }
  if (sizesGiven) id = reader.Byte();
  // CRCs: a folder with one substream and a folder CRC has it already.
  info.substreamCrcs.assign(total, std::nullopt);
  std::vector<std::size_t> unknown;
  std::size_t index = 0;
  for (const Folder& folder : info.folders) {
    if (folder.substreams == 1 && folder.crc) {
      info.substreamCrcs[index++] = folder.crc;
      continue;
    }
    for (std::size_t i = 0; i < folder.substreams; ++i) unknown.push_back(index++);
  }
  while (id != kEnd) {
    if (id != kCrc) Corrupt("unexpected item in the substream info");
    const std::vector<bool> defined = reader.DefinedBits(unknown.size());
    for (std::size_t i = 0; i < unknown.size(); ++i) {
      if (defined[i]) info.substreamCrcs[unknown[i]] = reader.UInt32();
    }
    id = reader.Byte();
  }
}

StreamsInfo ReadStreamsInfo(HeaderReader& reader) {
  StreamsInfo info;
  bool substreamsRead = false;
  for (std::uint8_t id = reader.Byte(); id != kEnd; id = reader.Byte()) {
    if (id == kPackInfo) {
      ReadPackInfo(reader, info);
    } else if (id == kUnpackInfo) {
      ReadUnpackInfo(reader, info);
    } else if (id == kSubStreamsInfo) {
      ReadSubStreamsInfo(reader, info);
      substreamsRead = true;
    } else {
      Corrupt("unexpected item in the streams info");
    }
  }
  if (!substreamsRead) {
    for (const Folder& folder : info.folders) {
      info.substreamSizes.push_back(folder.UnpackSize());
      info.substreamCrcs.push_back(folder.crc);
    }
  }
  if (info.folders.size() > info.packSizes.size()) Corrupt("a folder has no packed stream");
  return info;
}

// A coder's output, cut at its declared size; ending earlier is damage.
class ExactSource final : public ByteSource {
 public:
  ExactSource(std::unique_ptr<ByteSource> inner, std::uint64_t size) : inner_(std::move(inner)), remaining_(size) {}
  std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_));
    if (want == 0) return 0;
    const std::size_t got = inner_->Read(buffer, want);
    if (got == 0) Corrupt("a coder's output ends before its declared size");
    remaining_ -= got;
    return got;
  }

 private:
  std::unique_ptr<ByteSource> inner_;
  std::uint64_t remaining_;
};

std::unique_ptr<ByteSource> MakeCoder(const Coder& coder, std::unique_ptr<ByteSource> input, std::uint64_t size,
                                      PasswordSource& passwords) {
  switch (coder.method) {
    case kMethodCopy:
      return input;
    case kMethodLzma:
      return MakeLzmaSource(std::move(input), coder.props, size);
    case kMethodLzma2:
      return MakeLzma2Source(std::move(input), coder.props, size);
    case kMethodBcjX86:
      return MakeBcjX86Source(std::move(input));
    case kMethodDeflate:
      return MakeDeflateSource(std::move(input));
    case kMethodAes:
      return MakeAesSource(std::move(input), coder.props, passwords);
    default:
      Unsupported("unsupported compression method");
  }
}

// The stream of a folder's out stream: its coder over whatever feeds the
// coder's in stream (another coder's output or the packed stream).
std::unique_ptr<ByteSource> FolderOutput(const Folder& folder, std::size_t out, ArchiveInput& input,
                                         std::uint64_t packOffset, std::uint64_t packSize, PasswordSource& passwords,
                                         std::size_t depth = 0) {
  if (depth > folder.coders.size()) Corrupt("bad coder binding");
  std::unique_ptr<ByteSource> feed;
  const auto pair =
      std::find_if(folder.bindPairs.begin(), folder.bindPairs.end(), [&](const auto& p) { return p.first == out; });
  if (pair != folder.bindPairs.end()) {
    feed = FolderOutput(folder, pair->second, input, packOffset, packSize, passwords, depth + 1);
  } else if (out == folder.packedIn) {
    feed = std::make_unique<ArchiveRange>(input, packOffset, packSize);
  } else {
    Corrupt("bad coder binding");
  }
  const std::uint64_t size = folder.unpackSizes[out];
  return std::make_unique<ExactSource>(MakeCoder(folder.coders[out], std::move(feed), size, passwords), size);
}

std::uint64_t PackOffset(const StreamsInfo& info, const Folder& folder) {
  const auto add = [](std::uint64_t a, std::uint64_t b) {
    if (b > UINT64_MAX - a) Corrupt("a packed stream lies past the end of the archive");
    return a + b;
  };
  std::uint64_t offset = add(kSignatureHeaderSize, info.packPos);
  for (std::size_t i = 0; i < folder.firstPackStream; ++i) offset = add(offset, info.packSizes[i]);
  return offset;
}

std::unique_ptr<ByteSource> FolderStream(const StreamsInfo& info, const Folder& folder, ArchiveInput& input,
                                         PasswordSource& passwords) {
  return FolderOutput(folder, folder.MainOut(), input, PackOffset(info, folder), info.packSizes[folder.firstPackStream],
                      passwords);
}

// A decoding failure of an encrypted folder is most likely a wrong password.
[[noreturn]] void RethrowForFolder(const Folder& folder, const ArchiveError& error) {
  if (folder.Encrypted() && error.fault() == ArchiveFault::kCorrupt) {
    throw ArchiveError(ArchiveFault::kWrongPassword, "wrong password or damaged encrypted data");
  }
  throw error;
}

// Decodes the (small) folder of an encoded header into memory.
std::vector<std::uint8_t> DecodeHeaderFolder(const StreamsInfo& info, ArchiveInput& input, PasswordSource& passwords) {
  if (info.folders.empty()) Corrupt("an encoded header without a folder");
  const Folder& folder = info.folders.front();
  std::vector<std::uint8_t> bytes;
  try {
    std::unique_ptr<ByteSource> stream = FolderStream(info, folder, input, passwords);
    std::uint8_t buffer[1 << 16];
    while (const std::size_t got = stream->Read(buffer, sizeof buffer)) bytes.insert(bytes.end(), buffer, buffer + got);
    if (folder.crc && Crc32(0, bytes.data(), bytes.size()) != *folder.crc) Corrupt("the archive header fails its CRC");
  } catch (const ArchiveError& error) {
    RethrowForFolder(folder, error);
  } catch (const std::bad_alloc&) {
    Unsupported("the archive header does not fit in memory");
  }
  return bytes;
}

std::u16string ReadName(HeaderReader& reader, std::uint64_t& left) {
  std::u16string name;
  while (true) {
    if (left < 2) Corrupt("a file name runs past its property");
    const std::uint8_t* unit = reader.Take(2);
    left -= 2;
    const auto c = static_cast<char16_t>(unit[0] | unit[1] << 8);
    if (c == 0) return name;
    name += c;
  }
}

std::vector<ArchiveEntry> ReadFilesInfo(HeaderReader& reader, const StreamsInfo& streams) {
  const std::uint64_t count = reader.Number();
  // Every file needs at least the two bytes of its name's terminator.
  if (count > reader.Remaining() / 2) Corrupt("more files than the header can name");
  std::vector<ArchiveEntry> entries(static_cast<std::size_t>(count));
  std::vector<bool> emptyStream(entries.size()), emptyFile(entries.size()), anti(entries.size());
  bool named = false;
  for (std::uint8_t id = reader.Byte(); id != kEnd; id = reader.Byte()) {
    const std::uint64_t size = reader.Number();
    if (size > reader.Remaining()) Corrupt("a file property runs past the header");
    HeaderReader property(reader.Take(size), static_cast<std::size_t>(size));
    const std::size_t empties = static_cast<std::size_t>(std::count(emptyStream.begin(), emptyStream.end(), true));
    switch (id) {
      case kEmptyStream:
        emptyStream = property.Bits(entries.size());
        emptyFile.assign(entries.size(), false);
        anti.assign(entries.size(), false);
        break;
      case kEmptyFile:
      case kAnti: {
        const std::vector<bool> bits = property.Bits(empties);
        std::size_t e = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
          if (!emptyStream[i]) continue;
          (id == kEmptyFile ? emptyFile : anti)[i] = bits[e++];
        }
        break;
      }
      case kName: {
        if (property.Byte() != 0) Unsupported("external file names");
        std::uint64_t left = size - 1;
        for (ArchiveEntry& entry : entries) entry.name = ReadName(property, left);
        named = true;
        break;
      }
      case kWinAttributes: {
        const std::vector<bool> defined = property.DefinedBits(entries.size());
        if (property.Byte() != 0) Unsupported("external attributes");
        for (std::size_t i = 0; i < entries.size(); ++i) {
          if (defined[i]) entries[i].attributes = property.UInt32();
        }
        break;
      }
      default:
        break;  // times, start positions, padding: not needed to extract
    }
  }
  if (!named && !entries.empty()) Unsupported("an archive without file names");
  std::size_t substream = 0;
  std::vector<ArchiveEntry> kept;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ArchiveEntry& entry = entries[i];
    if (emptyStream[i] && anti[i]) continue;  // deletion marks of update archives
    entry.hasData = !emptyStream[i];
    entry.isDirectory = emptyStream[i] && !emptyFile[i];
    if (entry.attributes) {
      const std::uint32_t attributes = *entry.attributes;
      if (attributes & kAttributeDirectory) entry.isDirectory = entry.isDirectory || !entry.hasData;
      const bool unixLink =
          (attributes & kAttributeUnixExtension) && ((attributes >> 16) & kUnixTypeMask) == kUnixSymbolicLink;
      entry.isLink = unixLink || (attributes & kAttributeReparsePoint);
    }
    if (entry.hasData) {
      if (substream >= streams.substreamSizes.size()) Corrupt("more files with data than streams");
      entry.size = streams.substreamSizes[substream];
      entry.crc = streams.substreamCrcs[substream];
      ++substream;
    }
    kept.push_back(std::move(entry));
  }
  if (substream != streams.substreamSizes.size()) Corrupt("more streams than files with data");
  return kept;
}

}  // namespace

struct SevenZipArchive::Model {
  StreamsInfo streams;
  std::vector<ArchiveEntry> entries;
};

bool HasSevenZipSignature(ArchiveInput& input) {
  if (input.Size() < kSignatureHeaderSize) return false;
  std::array<std::uint8_t, 6> start{};
  input.ReadAt(0, start.data(), start.size());
  return start == kSignature;
}

SevenZipArchive::SevenZipArchive(ArchiveInput& input, PasswordSource& passwords)
    : input_(input), passwords_(passwords), model_(std::make_unique<Model>()) {
  if (!HasSevenZipSignature(input)) Unsupported("not a 7z archive");
  std::array<std::uint8_t, kSignatureHeaderSize> start{};
  input.ReadAt(0, start.data(), start.size());
  if (start[6] != 0) Unsupported("an archive of a later 7z format version");
  if (Crc32(0, start.data() + 12, 20) != LittleEndian32(start.data() + 8))
    Corrupt("the archive's start header is damaged");
  const std::uint64_t nextOffset = LittleEndian64(start.data() + 12);
  const std::uint64_t nextSize = LittleEndian64(start.data() + 20);
  const std::uint32_t nextCrc = LittleEndian32(start.data() + 28);
  const std::uint64_t room = input.Size() - kSignatureHeaderSize;
  if (nextOffset > room || nextSize > room - nextOffset) Corrupt("the archive is truncated");
  if (nextSize == 0) return;  // an empty archive
  std::vector<std::uint8_t> header;
  try {
    header.resize(static_cast<std::size_t>(nextSize));
  } catch (const std::bad_alloc&) {
    Unsupported("the archive header does not fit in memory");
  }
  input.ReadAt(kSignatureHeaderSize + nextOffset, header.data(), header.size());
  if (Crc32(0, header.data(), header.size()) != nextCrc) Corrupt("the archive header fails its CRC");
  for (int encodings = 0;; ++encodings) {
    HeaderReader reader(header.data(), header.size());
    const std::uint8_t id = reader.Byte();
    if (id == kHeader) {
      std::uint8_t item = reader.Byte();
      if (item == kArchiveProperties) {
        for (std::uint8_t type = reader.Byte(); type != 0; type = reader.Byte()) reader.Skip(reader.Number());
        item = reader.Byte();
      }
      if (item == kAdditionalStreamsInfo) {
        ReadStreamsInfo(reader);  // not used by 7-Zip's writers
        item = reader.Byte();
      }
      if (item == kMainStreamsInfo) {
        model_->streams = ReadStreamsInfo(reader);
        item = reader.Byte();
      }
      if (item == kFilesInfo) {
        model_->entries = ReadFilesInfo(reader, model_->streams);
        item = reader.Byte();
      } else if (!model_->streams.substreamSizes.empty()) {
        Corrupt("streams without files");
      }
      if (item != kEnd) Corrupt("unexpected item in the archive header");
      return;
    }
    if (id != kEncodedHeader || encodings == kMostHeaderEncodings) Corrupt("the archive header is damaged");
    const StreamsInfo info = ReadStreamsInfo(reader);
    header = DecodeHeaderFolder(info, input, passwords);
  }
}

SevenZipArchive::~SevenZipArchive() = default;
SevenZipArchive::SevenZipArchive(SevenZipArchive&&) noexcept = default;

const std::vector<ArchiveEntry>& SevenZipArchive::Entries() const { return model_->entries; }

void SevenZipArchive::Extract(ExtractTarget& target) {
  const StreamsInfo& streams = model_->streams;
  std::vector<const ArchiveEntry*> withData;
  for (const ArchiveEntry& entry : model_->entries) {
    if (entry.hasData) {
      withData.push_back(&entry);
    } else if (target.Wanted(entry)) {
      if (entry.isDirectory) {
        target.CreateFolder(entry);
      } else {
        target.CreateFile(entry)->Keep();
      }
    }
  }
  std::size_t next = 0;  // the next entry with data, in substream order
  std::vector<std::uint8_t> buffer(1 << 20);
  for (const Folder& folder : streams.folders) {
    const std::size_t first = next;
    next += folder.substreams;
    if (next > withData.size()) Corrupt("more streams than files with data");
    if (std::none_of(withData.begin() + static_cast<std::ptrdiff_t>(first),
                     withData.begin() + static_cast<std::ptrdiff_t>(next),
                     [&](const ArchiveEntry* entry) { return target.Wanted(*entry); })) {
      continue;
    }
    try {
      std::unique_ptr<ByteSource> stream = FolderStream(streams, folder, input_, passwords_);
      for (std::size_t i = first; i < next; ++i) {
        const ArchiveEntry& entry = *withData[i];
        std::unique_ptr<EntryWriter> writer = target.Wanted(entry) ? target.CreateFile(entry) : nullptr;
        std::uint32_t crc = 0;
        for (std::uint64_t done = 0; done < entry.size;) {
          const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), entry.size - done));
          ReadExactly(*stream, buffer.data(), want, "a folder");
          done += want;
          if (!writer) continue;
          crc = Crc32(crc, buffer.data(), want);
          writer->Write(buffer.data(), want);
          if (!target.Progress(entry, done, entry.size)) {
            throw ArchiveError(ArchiveFault::kCancelled, "the extraction was stopped");
          }
        }
        if (!writer) continue;
        if (entry.crc && crc != *entry.crc) Corrupt("a file fails its CRC");
        writer->Keep();
      }
    } catch (const ArchiveError& error) {
      RethrowForFolder(folder, error);
    } catch (const std::bad_alloc&) {
      Unsupported("not enough memory to extract");
    }
  }
}

}  // namespace qor
