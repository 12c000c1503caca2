#include "archive_fixture.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <codecvt>
#include <fstream>
#include <locale>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>

namespace qor::test {

namespace fs = std::filesystem;

namespace {

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs a program quietly; throws when it fails.
void Run(const std::vector<std::string>& arguments, const fs::path& folder) {
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, 1);
    dup2(devNull, 2);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("failed: " + arguments[0]);
}

Extracted ReadTree(const fs::path& root) {
  Extracted result;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string name = fs::relative(entry.path(), root).generic_string();
    if (entry.is_directory()) {
      result.folders.insert(name);
    } else {
      result.files[name] = ReadBytes(entry.path());
    }
  }
  return result;
}

class MemoryTarget final : public ExtractTarget {
 public:
  explicit MemoryTarget(Extracted& result) : result_(result) {}
  bool Wanted(const ArchiveEntry&) override { return true; }
  void CreateFolder(const ArchiveEntry& entry) override { result_.folders.insert(Name(entry)); }
  std::unique_ptr<EntryWriter> CreateFile(const ArchiveEntry& entry) override {
    return std::make_unique<Writer>(result_.files, Name(entry));
  }
  bool Progress(const ArchiveEntry&, std::uint64_t, std::uint64_t) override { return true; }

 private:
  static std::string Name(const ArchiveEntry& entry) {
    std::string name = Utf8(entry.name);
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
  }
  class Writer final : public EntryWriter {
   public:
    Writer(std::map<std::string, std::string>& files, std::string name) : files_(files), name_(std::move(name)) {}
    void Write(const std::uint8_t* data, std::size_t size) override { bytes_.append(data, data + size); }
    void Keep() override { files_[name_] = bytes_; }

   private:
    std::map<std::string, std::string>& files_;
    std::string name_;
    std::string bytes_;
  };
  Extracted& result_;
};

}  // namespace

std::string Utf8(const std::u16string& text) {
  std::wstring_convert<std::codecvt_utf8_utf16<char16_t>, char16_t> convert;
  return convert.to_bytes(text);
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

SourceTree::SourceTree() {
  std::random_device seed;
  root_ = fs::temp_directory_path() / ("qor-test-" + std::to_string(seed()));
  const fs::path tree = root_ / "tree";
  std::mt19937 random(20261211);
  WriteBytes(tree / "a.txt", "hello\n");
  WriteBytes(tree / "empty.txt", "");
  fs::create_directories(tree / "empty folder");
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i % 97) + " of text\n";
  WriteBytes(tree / "sub" / "text.txt", text);
  std::string noise(300000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  WriteBytes(tree / "sub" / "random.bin", noise);
  // Near calls and jumps with small displacements, as in real code.
  std::string code;
  while (code.size() < 400000) {
    if (random() % 16 == 0) {
      code += static_cast<char>(random() % 2 ? 0xE8 : 0xE9);
      const auto displacement = static_cast<std::int32_t>(random() % 65536) - 32768;
      for (int b = 0; b < 4; ++b) code += static_cast<char>(displacement >> (8 * b));
    } else {
      code += static_cast<char>(random() % 64);
    }
  }
  WriteBytes(tree / "sub" / "deeper" / "code.exe", code);
  WriteBytes(tree /
                 "Gr\xC3\xBC\xC3\x9F"
                 "e" /
                 "\xE6\x97\xA5\xE6\x9C\xAC.txt",
             "unicode\n");
}

SourceTree::~SourceTree() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

fs::path SourceTree::MakeArchive(const std::string& name, const std::vector<std::string>& switches) const {
  const fs::path archive = root_ / (name + ".7z");
  std::vector<std::string> arguments = {"7z", "a", "-bd", "-y", archive.string()};
  arguments.insert(arguments.end(), switches.begin(), switches.end());
  arguments.push_back(".");
  Run(arguments, root_ / "tree");
  return archive;
}

Extracted ExtractWithReader(const fs::path& archive, const std::u16string* password) {
  return ExtractBytes(ReadBytes(archive), password);
}

Extracted ExtractBytes(std::string archive, const std::u16string* password) {
  MemoryInput input(std::move(archive));
  FixedPassword passwords(password);
  SevenZipArchive reader(input, passwords);
  Extracted result;
  MemoryTarget target(result);
  reader.Extract(target);
  return result;
}

Extracted ExtractWithLibarchive(const fs::path& archive) {
  // libarchive converts the stored UTF-16 names through the locale.
  setlocale(LC_CTYPE, "C.UTF-8");
  const std::unique_ptr<struct archive, decltype(&archive_read_free)> reader(archive_read_new(), archive_read_free);
  archive_read_support_format_7zip(reader.get());
  if (archive_read_open_filename(reader.get(), archive.c_str(), 1 << 16) != ARCHIVE_OK) {
    throw std::runtime_error("libarchive cannot open " + archive.string());
  }
  Extracted result;
  struct archive_entry* entry = nullptr;
  while (archive_read_next_header(reader.get(), &entry) == ARCHIVE_OK) {
    const char* pathname = archive_entry_pathname_utf8(entry);
    if (!pathname) throw std::runtime_error("libarchive gives no name");
    std::string name = pathname;
    if (!name.empty() && name.back() == '/') name.pop_back();
    if (archive_entry_filetype(entry) == AE_IFDIR) {
      result.folders.insert(name);
      continue;
    }
    std::string bytes;
    char buffer[1 << 16];
    la_ssize_t got;
    while ((got = archive_read_data(reader.get(), buffer, sizeof buffer)) > 0) {
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
    if (got < 0) throw std::runtime_error("libarchive failed on " + name);
    result.files[name] = bytes;
  }
  return result;
}

Extracted ExtractWith7z(const fs::path& archive, const std::string& password) {
  const fs::path out = archive.parent_path() / (archive.stem().string() + "-7z-out");
  fs::create_directories(out);
  Run({"7z", "x", "-bd", "-y", "-p" + password, "-o" + out.string(), archive.string()}, archive.parent_path());
  return ReadTree(out);
}

}  // namespace qor::test
