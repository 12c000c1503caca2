#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "archive_writer.h"
#include "entry_path.h"

namespace qor::test {
namespace {

struct MethodCase {
  const char* name;
  std::vector<std::string> switches;
};

// Unencrypted archives of each method, solid and not: our reader must give
// exactly what libarchive gives, and that must be the tree itself.
TEST(SevenZip, ReadsWhat7zWritesWithEachMethod) {
  const SourceTree tree;
  const MethodCase cases[] = {
      {"default", {}},
      {"copy", {"-m0=Copy"}},
      {"lzma", {"-m0=LZMA", "-mx=5"}},
      {"lzma2 fastest", {"-m0=LZMA2", "-mx=1"}},
      {"lzma2 non-solid", {"-m0=LZMA2", "-ms=off"}},
      {"bcj lzma", {"-m0=BCJ", "-m1=LZMA"}},
      {"bcj lzma2", {"-m0=BCJ", "-m1=LZMA2"}},
      {"deflate", {"-m0=Deflate"}},
      {"deflate non-solid", {"-m0=Deflate", "-ms=off"}},
      {"headers uncompressed", {"-mhc=off"}},
      {"one solid block per file kind", {"-ms=e"}},
  };
  const Extracted expected = ExtractWithLibarchive(tree.MakeArchive("reference", {"-m0=Copy"}));
  ASSERT_EQ(expected.files.size(), 6u);
  ASSERT_EQ(expected.files.at("sub/deeper/code.exe").size(),
            ReadBytes(tree.root() / "tree/sub/deeper/code.exe").size());
  for (const MethodCase& c : cases) {
    std::string fileName = c.name;
    std::replace(fileName.begin(), fileName.end(), ' ', '-');
    const auto archive = tree.MakeArchive(fileName, c.switches);
    EXPECT_EQ(ExtractWithReader(archive), ExtractWithLibarchive(archive)) << c.name;
    EXPECT_EQ(ExtractWithReader(archive), expected) << c.name;
  }
}

TEST(SevenZip, ReadsEncryptedDataAndHeaders) {
  const SourceTree tree;
  const std::u16string password = u"S\u00e9same ouvre-toi";
  const std::string utf8Password = Utf8(password);
  const MethodCase cases[] = {
      {"data", {"-p" + utf8Password}},
      {"data and headers", {"-p" + utf8Password, "-mhe=on"}},
      {"non-solid", {"-p" + utf8Password, "-ms=off", "-m0=LZMA"}},
      {"copy", {"-p" + utf8Password, "-m0=Copy"}},
  };
  for (const MethodCase& c : cases) {
    std::string fileName = c.name;
    std::replace(fileName.begin(), fileName.end(), ' ', '-');
    const auto archive = tree.MakeArchive(fileName, c.switches);
    EXPECT_EQ(ExtractWithReader(archive, &password), ExtractWith7z(archive, utf8Password)) << c.name;
    const std::u16string wrong = u"wrong";
    try {
      ExtractWithReader(archive, &wrong);
      ADD_FAILURE() << c.name << ": a wrong password was taken";
    } catch (const ArchiveError& error) {
      EXPECT_EQ(error.fault(), ArchiveFault::kWrongPassword) << c.name << ": " << error.what();
    }
  }
}

TEST(EntryPath, RefusesNamesThatLeaveTheFolderOrChangeOnWindows) {
  const struct {
    std::u16string name;
    bool safe;
  } cases[] = {
      {u"a.txt", true},
      {u"sub/dir\\file.bin", true},
      {u"..a/b..c/.hidden", true},
      {u"CONSOLE.txt", true},
      {u"COM0", true},
      {u"", false},
      {u"/etc/passwd", false},
      {u"\\windows\\win.ini", false},
      {u"\\\\server\\share\\x", false},
      {u"\\\\?\\C:\\x", false},
      {u"C:x", false},
      {u"C:\\x", false},
      {u"a/../../b", false},
      {u"a\\..\\b", false},
      {u"..", false},
      {u"./a", false},
      {u"a//b", false},
      {u"a/", false},
      {u"file.txt:stream", false},
      {u"con", false},
      {u"NUL.txt", false},
      {u"sub/Com1.log", false},
      {u"lpt9", false},
      {u"aux .c", false},
      {u"name.", false},
      {u"name ", false},
      {u"folder./x", false},
      {u"tab\there", false},
      {u"what?", false},
      {u"a*b", false},
      {u"pipe|", false},
  };
  for (const auto& c : cases) EXPECT_EQ(SafeEntryComponents(c.name).has_value(), c.safe) << Utf8(c.name);
  EXPECT_EQ(SafeEntryComponents(u"a/b\\c"), (std::vector<std::u16string>{u"a", u"b", u"c"}));
}

}  // namespace
}  // namespace qor::test

namespace qor::test {
namespace {

ArchiveFault FaultOf(const std::string& archive, const std::u16string* password = nullptr) {
  try {
    ExtractBytes(archive, password);
  } catch (const ArchiveError& error) {
    return error.fault();
  }
  ADD_FAILURE() << "the archive was read";
  return ArchiveFault::kCancelled;
}

// Archives no 7-Zip writes: each must fail with a clear fault, never crash,
// hang or allocate what the archive cannot hold.
TEST(SevenZip, RefusesHostileArchives) {
  const std::u16string password = u"pw";
  const std::vector<CraftedFile> good = {{u"a.txt", "alpha"}, {u"b.txt", "beta"}};
  ASSERT_EQ(ExtractBytes(CraftArchive(good)).files.at("b.txt"), "beta");
  const struct {
    const char* name;
    std::string archive;
    ArchiveFault fault;
  } cases[] = {
      {"bad CRC", CraftArchive({{u"a.txt", "alpha", 0x12345678}}), ArchiveFault::kCorrupt},
      {"declared size beyond the data", CraftArchive({{u"a.txt", "alpha", std::nullopt, 1ull << 40}}),
       ArchiveFault::kCorrupt},
      {"declared size of 2^64 - 1", CraftArchive({{u"a.txt", "x", std::nullopt, ~0ull}}), ArchiveFault::kCorrupt},
      {"unknown method", CraftArchive(good, {{{0x7F, 0x7F}, {}}}), ArchiveFault::kUnsupported},
      {"LZMA with a 4 GB dictionary and no data",
       CraftArchive({{u"a", "", std::nullopt, 1ull << 33}}, {{{0x03, 0x01, 0x01}, {0x5D, 0xFF, 0xFF, 0xFF, 0xFF}}}),
       ArchiveFault::kCorrupt},
      {"absurd key derivation work factor", CraftArchive(good, {{{0x06, 0xF1, 0x07, 0x01}, {0x3E}}}),
       ArchiveFault::kUnsupported},
      {"AES without a password", CraftArchive(good, {{{0x06, 0xF1, 0x07, 0x01}, {0x13}}}),
       ArchiveFault::kWrongPassword},
      {"a signature and nothing of an archive", std::string("7z\xBC\xAF\x27\x1C", 6) + std::string(40, 0),
       ArchiveFault::kCorrupt},
      {"empty", std::string(), ArchiveFault::kUnsupported},
  };
  for (const auto& c : cases) EXPECT_EQ(FaultOf(c.archive), c.fault) << c.name;
  // The work factor is refused before a password would be used.
  EXPECT_EQ(FaultOf(CraftArchive(good, {{{0x06, 0xF1, 0x07, 0x01}, {0x3E}}}), &password), ArchiveFault::kUnsupported);
}

// Every cut of a real archive and every flipped byte fails cleanly or, when
// it reads at all, gives the true content (CRCs guard every file).
TEST(SevenZip, SurvivesTruncationAndDamage) {
  const SourceTree tree;
  const std::string archive = ReadBytes(tree.MakeArchive("damage", {"-m0=LZMA2", "-mx=1"}));
  const Extracted truth = ExtractBytes(archive);
  for (std::size_t length = 0; length < archive.size(); length += 1 + archive.size() / 100) {
    EXPECT_THROW(ExtractBytes(archive.substr(0, length)), ArchiveError) << length;
  }
  for (std::size_t at = 0; at < archive.size(); at += 1 + archive.size() / 150) {
    std::string damaged = archive;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x55);
    try {
      EXPECT_EQ(ExtractBytes(damaged), truth) << at;
    } catch (const ArchiveError&) {
    }
  }
}

}  // namespace
}  // namespace qor::test
