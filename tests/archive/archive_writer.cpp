#include "archive_writer.h"

#include <zlib.h>

namespace qor::test {

namespace {

void Number(std::string& out, std::uint64_t value) {
  // The eight-byte form is always valid.
  out += static_cast<char>(0xFF);
  for (int b = 0; b < 8; ++b) out += static_cast<char>(value >> (8 * b));
}

void UInt32(std::string& out, std::uint32_t value) {
  for (int b = 0; b < 4; ++b) out += static_cast<char>(value >> (8 * b));
}

void UInt64(std::string& out, std::uint64_t value) {
  for (int b = 0; b < 8; ++b) out += static_cast<char>(value >> (8 * b));
}

std::uint32_t Crc(const std::string& bytes) {
  return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

}  // namespace

std::string CraftArchive(const std::vector<CraftedFile>& files, const std::vector<CraftedCoder>& coders) {
  std::string packed;
  std::uint64_t total = 0;
  for (const CraftedFile& file : files) {
    packed += file.data;
    total += file.declaredSize.value_or(file.data.size());
  }
  const std::vector<CraftedCoder> chain = coders.empty() ? std::vector<CraftedCoder>{{{0x00}, {}}} : coders;
  std::string header;
  header += '\x01';  // header
  header += '\x04';  // main streams
  header += '\x06';  // pack info
  Number(header, 0);
  Number(header, 1);
  header += '\x09';
  Number(header, packed.size());
  header += '\x00';
  header += '\x07';  // unpack info
  header += '\x0B';
  Number(header, 1);
  header += '\x00';
  Number(header, chain.size());
  for (const CraftedCoder& coder : chain) {
    header += static_cast<char>(coder.id.size() | (coder.props.empty() ? 0 : 0x20));
    header.append(coder.id.begin(), coder.id.end());
    if (!coder.props.empty()) {
      Number(header, coder.props.size());
      header.append(coder.props.begin(), coder.props.end());
    }
  }
  for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
    Number(header, i);      // coder i reads
    Number(header, i + 1);  // what coder i + 1 writes
  }
  header += '\x0C';
  for (std::size_t i = 0; i < chain.size(); ++i) Number(header, total);
  header += '\x00';
  header += '\x08';  // substreams
  header += '\x0D';
  Number(header, files.size());
  header += '\x09';
  for (std::size_t i = 0; i + 1 < files.size(); ++i)
    Number(header, files[i].declaredSize.value_or(files[i].data.size()));
  header += '\x0A';
  header += '\x01';
  for (const CraftedFile& file : files) UInt32(header, file.crc.value_or(Crc(file.data)));
  header += '\x00';
  header += '\x00';  // end of streams info
  header += '\x05';  // files info
  Number(header, files.size());
  std::string names(1, '\0');
  for (const CraftedFile& file : files) {
    for (char16_t c : file.name) {
      names += static_cast<char>(c);
      names += static_cast<char>(c >> 8);
    }
    names.append(2, '\0');
  }
  header += '\x11';
  Number(header, names.size());
  header += names;
  header += '\x00';
  header += '\x00';

  std::string startHeader;
  UInt64(startHeader, packed.size());
  UInt64(startHeader, header.size());
  UInt32(startHeader, Crc(header));
  std::string archive = {'7', 'z', '\xBC', '\xAF', '\x27', '\x1C', '\x00', '\x04'};
  UInt32(archive, Crc(startHeader));
  return archive + startHeader + packed + header;
}

}  // namespace qor::test
