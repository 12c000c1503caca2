// The archive reader against Debian's 7z on the same archives, in one run:
// a 50 MB solid LZMA2 archive of mixed files and the same encrypted. Both
// sides decode and check CRCs without writing files ("7z t -mmt=1"); the
// counter "ratio" is our time over 7z's.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "seven_zip.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::temp_directory_path() / "bw-archive-benchmark";
constexpr char kPassword[] = "benchmark";

bool Run(const std::vector<std::string>& arguments, const fs::path& folder) {
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// About 50 MB: text, code-like bytes, and a tenth of random bytes.
void MakeTree(const fs::path& tree) {
  std::mt19937 random(50);
  for (int file = 0; file < 40; ++file) {
    std::string bytes;
    const int kind = file % 4;
    while (bytes.size() < 1250000) {
      if (kind == 0) {
        bytes += "record " + std::to_string(random() % 5000) + " value=" + std::to_string(random() % 100) + "\n";
      } else if (kind == 1 && random() % 12 == 0) {
        bytes += static_cast<char>(0xE8);
        for (int b = 0; b < 4; ++b) bytes += static_cast<char>(b < 2 ? random() : 0);
      } else if (kind == 3 && file % 8 == 3) {
        bytes += static_cast<char>(random());
      } else {
        bytes += static_cast<char>(random() % 32 + (kind == 2 ? 'a' : 0));
      }
    }
    fs::create_directories(tree / std::to_string(file % 5));
    std::ofstream(tree / std::to_string(file % 5) / ("file" + std::to_string(file) + ".bin"), std::ios::binary)
        << bytes;
  }
}

// The archive, made once and kept between runs.
fs::path Archive(const std::string& name, const std::vector<std::string>& switches) {
  const fs::path archive = kFolder / (name + ".7z");
  if (fs::exists(archive)) return archive;
  const fs::path tree = kFolder / "tree";
  if (!fs::exists(tree)) MakeTree(tree);
  std::vector<std::string> arguments = {"7z", "a", "-bd", "-m0=LZMA2", "-ms=on", archive.string()};
  arguments.insert(arguments.end(), switches.begin(), switches.end());
  arguments.push_back(".");
  if (!Run(arguments, tree)) throw std::runtime_error("7z failed");
  return archive;
}

class FileInput final : public qor::ArchiveInput {
 public:
  explicit FileInput(const fs::path& path) : file_(path, std::ios::binary), size_(fs::file_size(path)) {}
  std::uint64_t Size() const override { return size_; }
  void ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
  }

 private:
  std::ifstream file_;
  std::uint64_t size_;
};

class BenchmarkPassword final : public qor::PasswordSource {
 public:
  const std::u16string* Password() override { return &password_; }

 private:
  std::u16string password_ = u"benchmark";
};

class Discard final : public qor::ExtractTarget {
 public:
  bool Wanted(const qor::ArchiveEntry&) override { return true; }
  void CreateFolder(const qor::ArchiveEntry&) override {}
  std::unique_ptr<qor::EntryWriter> CreateFile(const qor::ArchiveEntry&) override { return std::make_unique<Writer>(); }
  bool Progress(const qor::ArchiveEntry&, std::uint64_t, std::uint64_t) override { return true; }

 private:
  struct Writer final : qor::EntryWriter {
    void Write(const std::uint8_t*, std::size_t) override {}
    void Keep() override {}
  };
};

double Seconds(const std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void CompareWith7z(benchmark::State& state, const fs::path& archive, bool encrypted) {
  double ours = 0;
  double theirs = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    FileInput input(archive);
    BenchmarkPassword password;
    qor::SevenZipArchive reader(input, password);
    Discard target;
    reader.Extract(target);
    ours += Seconds(start);
    state.SetIterationTime(Seconds(start));
    start = std::chrono::steady_clock::now();
    std::vector<std::string> arguments = {"7z", "t", "-bd", "-mmt=1", archive.string()};
    if (encrypted) arguments.push_back(std::string("-p") + kPassword);
    if (!Run(arguments, kFolder)) state.SkipWithError("7z t failed");
    theirs += Seconds(start);
  }
  state.counters["7z_seconds"] = theirs / static_cast<double>(state.iterations());
  state.counters["ratio"] = ours / theirs;
}

void BM_SolidLzma2Against7z(benchmark::State& state) { CompareWith7z(state, Archive("solid-lzma2", {}), false); }
BENCHMARK(BM_SolidLzma2Against7z)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EncryptedLzma2Against7z(benchmark::State& state) {
  CompareWith7z(state, Archive("encrypted-lzma2", {std::string("-p") + kPassword, "-mhe=on"}), true);
}
BENCHMARK(BM_EncryptedLzma2Against7z)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
