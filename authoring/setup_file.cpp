#include "setup_file.h"

#include <cstdio>
#include <fstream>
#include <span>
#include <stdexcept>

#include "startup/stub_size.h"

namespace bw::authoring {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read " + path);
  return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".bwbuild-tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      throw std::runtime_error("cannot write " + path);
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    throw std::runtime_error("cannot write " + path);
  }
}

namespace {
std::size_t StubSize(const std::string& fileBytes, const std::string& path) {
  const auto stubSize =
      StubSizeFromHeaders(std::span(reinterpret_cast<const std::uint8_t*>(fileBytes.data()), fileBytes.size()));
  if (!stubSize) throw std::runtime_error(path + " is no Windows executable");
  if (*stubSize > fileBytes.size()) throw std::runtime_error(path + " is shorter than its own executable image");
  return static_cast<std::size_t>(*stubSize);
}
}  // namespace

std::string StubOf(const std::string& fileBytes, const std::string& path) {
  return fileBytes.substr(0, StubSize(fileBytes, path));
}

std::string ScriptOf(const std::string& fileBytes, const std::string& path) {
  return fileBytes.substr(StubSize(fileBytes, path));
}

}  // namespace bw::authoring
