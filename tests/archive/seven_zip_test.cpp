#include <gtest/gtest.h>

#include "archive_fixture.h"
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
