#include "platform/zip_archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dir_list.h"
#include "platform/line_file.h"
#include "tests/common/temp_folder.h"
#include "tests/common/zip_writer.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

using Name = ZipEntry::Name;

std::vector<std::string> relative(const std::vector<fs::path>& files, const fs::path& root) {
  std::vector<std::string> out;
  for (const auto& f : files) out.push_back(f.lexically_relative(root).generic_string());
  return out;
}

// Every line of a file or member, joined by "|"; "!" at the end after a read error.
std::string linesOf(const fs::path& file) {
  LineFile in;
  if (!in.open(file)) return "(not opened)";
  std::string out;
  std::string_view line;
  while (in.next(line)) out += std::string(line) + "|";
  if (in.readError()) out += "!";
  return out;
}

// A bulk download as the tests see it: names in both encodings, a folder inside the
// archive, a deflated archive holding a stored one, and files the pattern leaves out.
struct BulkArchive {
  explicit BulkArchive(const TempFolder& t) : file(t / "data" / "bulk.zip") {
    const std::string deeper = zipBytes(t / "deeper.zip", {{"FG-GML-3-BldA.xml", "deep\n"}});
    const std::string inner = zipBytes(t / "inner.zip", {{"FG-GML-2-BldA.xml", "inner\r\nline 2"},
                                                         {"sub/deeper.zip", deeper, Name::utf8, true},
                                                         {"inner-readme.txt", "-"}});
    writeZip(file, {{"PackDLMap/FG-GML-1-BldA.xml", "one\ntwo\n"},
                    {"建物-BldA.xml", "cp932 name\n", Name::cp932},
                    {"道路-BldA.xml", "utf-8 name\n", Name::utf8},
                    {"PackDLMap/inner.zip", inner},
                    {"readme.txt", "not listed"}});
  }
  fs::path file;
};

}  // namespace

TEST(ZipArchive, MembersListedAndReadThroughNestedArchivesAndBothNameEncodings) {
  TempFolder t;
  const BulkArchive bulk(t);
  std::vector<ArchiveProblem> problems;
  const auto members = listArchiveMembers(bulk.file, "*BldA*.xml", problems);
  EXPECT_TRUE(problems.empty());
  struct Row {
    const char* member;
    const char* lines;
  };
  const Row rows[] = {
      {"PackDLMap/FG-GML-1-BldA.xml", "one|two|"},
      {"PackDLMap/inner.zip/FG-GML-2-BldA.xml", "inner|line 2|"},
      {"PackDLMap/inner.zip/sub/deeper.zip/FG-GML-3-BldA.xml", "deep|"},
      {"建物-BldA.xml", "cp932 name|"},
      {"道路-BldA.xml", "utf-8 name|"},
  };
  ASSERT_EQ(members.size(), std::size(rows));
  for (std::size_t i = 0; i < members.size(); ++i) {
    EXPECT_EQ(members[i].lexically_relative(bulk.file).generic_string(), rows[i].member);
    EXPECT_TRUE(isArchiveMember(members[i])) << rows[i].member;
    EXPECT_EQ(linesOf(members[i]), rows[i].lines) << rows[i].member;
  }
  EXPECT_FALSE(isArchiveMember(bulk.file));
  EXPECT_EQ(linesOf(bulk.file / "missing.xml"), "(not opened)");
}

TEST(ZipArchive, MemberReadAgainFromItsStartAndAcrossBufferRefills) {
  TempFolder t;
  std::string big;
  for (int i = 0; i < 300000; ++i) big += std::to_string(i) + " 35.0 139.0\n";  // several buffers
  writeZip(t / "big.zip", {{"big.xml", big}});
  LineFile in;
  ASSERT_TRUE(in.open(t / "big.zip" / "big.xml"));
  std::string_view line;
  long count = 0;
  std::string last;
  while (in.next(line)) {
    ++count;
    last = line;
  }
  EXPECT_FALSE(in.readError());
  EXPECT_EQ(count, 300000);
  EXPECT_EQ(last, "299999 35.0 139.0");
  EXPECT_EQ(in.bytesConsumed(), big.size());
  ASSERT_TRUE(in.rewind());
  ASSERT_TRUE(in.next(line));
  EXPECT_EQ(line, "0 35.0 139.0");
}

// A member held inflated in memory is scanned in place; it must give what the buffered
// reading of the same bytes in a file gives: lines, cut lines (at 16 bytes here), line
// numbers and bytes consumed, also after a rewind.
TEST(ZipArchive, MemberScannedInPlaceReadsLikeTheSameFile) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"line ends of both kinds", "a\r\nb\n\nc\r\n"},
      {"no line end at the end", "first\nlast\r"},
      {"lines around the limit", std::string(15, 'x') + "\n" + std::string(16, 'y') + "\n" + std::string(17, 'z') +
                                     "\r\n" + std::string(40, 'w') + "\nafter\n"},
      {"a last line of the limit", "short\n" + std::string(16, 'v')},
      {"a longer last line", "short\n" + std::string(21, 't')},
      {"a line of the limit and CR", std::string(15, 'u') + "\r\nend"},
      {"empty", ""},
  };
  TempFolder t;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeBytes(t / "plain.xml", c.bytes);
    writeZip(t / "held.zip", {{"held.xml", c.bytes}});
    auto lines = [](const fs::path& file) {
      LineFile in(16);
      std::string out;
      if (!in.open(file)) return std::string("(not opened)");
      for (int pass = 0; pass < 2; ++pass) {
        std::string_view line;
        while (in.next(line))
          out += std::string(line) + (in.lastLineCut() ? "~" : "") + std::to_string(in.lineNumber()) + "@" +
                 std::to_string(in.bytesConsumed()) + "|";
        out += in.readError() ? "!" : "/";
        in.rewind();
      }
      return out;
    };
    EXPECT_EQ(lines(t / "held.zip" / "held.xml"), lines(t / "plain.xml"));
  }
}

TEST(ZipArchive, DamagedArchiveAndDamagedMemberAreReportedAndTheRestIsRead) {
  TempFolder t;
  const fs::path folder = t / "data";
  writeBytes(folder / "FG-GML-0-BldA.xml", "plain\n");
  writeZip(folder / "good.zip", {{"FG-GML-1-BldA.xml", "good\n"}});
  writeBytes(folder / "cut.zip", readBytes(folder / "good.zip").substr(0, 30));
  // A stored member whose bytes change after the archive was written fails its check sum.
  writeZip(folder / "flipped.zip", {{"FG-GML-2-BldA.xml", "original text\n", Name::utf8, true}});
  std::string bytes = readBytes(folder / "flipped.zip");
  bytes[bytes.find("original")] = 'O';
  writeBytes(folder / "flipped.zip", bytes);

  std::vector<ArchiveProblem> problems;
  const auto files = listDataFiles(folder, "*BldA*.xml", false, problems);
  EXPECT_EQ(relative(files, folder), (std::vector<std::string>{"FG-GML-0-BldA.xml", "flipped.zip/FG-GML-2-BldA.xml",
                                                               "good.zip/FG-GML-1-BldA.xml"}));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].path, folder / "cut.zip");
  EXPECT_FALSE(problems[0].what.empty());

  EXPECT_EQ(linesOf(folder / "good.zip" / "FG-GML-1-BldA.xml"), "good|");
  // The check sum fails at the member's end: the reader sees a read error there.
  EXPECT_EQ(linesOf(folder / "flipped.zip" / "FG-GML-2-BldA.xml"), "Original text|!");
  ArchiveMemberReader reader;
  ASSERT_TRUE(reader.open(folder / "flipped.zip" / "FG-GML-2-BldA.xml"));
  char buffer[64];
  EXPECT_EQ(reader.read(buffer, sizeof buffer), 14);
  EXPECT_EQ(reader.read(buffer, sizeof buffer), -1);
  EXPECT_FALSE(reader.error().empty());
  EXPECT_FALSE(reader.open(folder / "cut.zip" / "FG-GML-1-BldA.xml"));
  EXPECT_FALSE(reader.error().empty());
}

TEST(ZipArchive, ExtractionWritesEveryMemberAndListsWhatIsDamaged) {
  TempFolder t;
  const BulkArchive bulk(t);
  const fs::path out = t / "out";
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  const ExtractResult result = extractArchive(bulk.file, out, [&](std::size_t done, std::size_t total) {
    calls.emplace_back(done, total);
    return true;
  });
  EXPECT_FALSE(result.stopped);
  EXPECT_TRUE(result.damaged.empty());
  EXPECT_EQ(relative(result.extracted, out),
            (std::vector<std::string>{"PackDLMap/FG-GML-1-BldA.xml", "建物-BldA.xml", "道路-BldA.xml",
                                      "PackDLMap/inner.zip", "readme.txt"}));
  EXPECT_EQ(readBytes(out / "建物-BldA.xml"), "cp932 name\n");
  // The nested archive comes out as the archive it is, readable in place.
  EXPECT_EQ(linesOf(out / "PackDLMap" / "inner.zip" / "FG-GML-2-BldA.xml"), "inner|line 2|");
  ASSERT_EQ(calls.size(), 6u);
  EXPECT_EQ(calls.front(), std::make_pair(std::size_t(0), std::size_t(5)));
  EXPECT_EQ(calls.back(), std::make_pair(std::size_t(5), std::size_t(5)));

  // Stopped by the callback after the first member.
  const ExtractResult stopped = extractArchive(bulk.file, t / "stopped", [](std::size_t done, std::size_t) {
    return done < 1;
  });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.extracted.size(), 1u);
}

TEST(ZipArchive, ExtractionRefusesNamesOutsideTheFolderAndKeepsNoHalfFile) {
  TempFolder t;
  writeZip(t / "a.zip", {{"../escape.txt", "x"},
                         {"/absolute.txt", "x"},
                         {"ok.txt", "fine"},
                         {"bad.txt", "original text", Name::utf8, true}});
  std::string bytes = readBytes(t / "a.zip");
  bytes[bytes.find("original")] = 'O';
  writeBytes(t / "a.zip", bytes);

  const fs::path out = t / "out";
  const ExtractResult result = extractArchive(t / "a.zip", out);
  EXPECT_EQ(relative(result.extracted, out), std::vector<std::string>{"ok.txt"});
  ASSERT_EQ(result.damaged.size(), 3u);
  EXPECT_FALSE(fs::exists(t / "escape.txt"));
  EXPECT_FALSE(fs::exists(out / "bad.txt"));
  EXPECT_EQ(fs::directory_iterator(out)->path().filename(), "ok.txt");  // no partial file left
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);

  const ExtractResult missing = extractArchive(t / "none.zip", out);
  ASSERT_EQ(missing.damaged.size(), 1u);
  EXPECT_EQ(missing.damaged[0].path, t / "none.zip");
}

TEST(ZipArchive, AnArchiveBesideItsExtractedFilesIsReadOnceAndARewrittenOneAnew) {
  TempFolder t;
  const fs::path folder = t / "data";
  writeBytes(folder / "FG-GML-1-ALL" / "FG-GML-1-BldA.xml", "extracted\n");
  writeZip(folder / "FG-GML-1-ALL.zip", {{"FG-GML-1-BldA.xml", "packed\n"}, {"FG-GML-1-WA.xml", "only packed\n"}});
  // The same file again in a later archive: the first one by path is read.
  writeZip(folder / "later.zip", {{"FG-GML-1-WA.xml", "again\n"}});
  std::vector<ArchiveProblem> problems;
  const auto files = listDataFiles(folder, "*.xml", true, problems);
  EXPECT_EQ(relative(files, folder),
            (std::vector<std::string>{"FG-GML-1-ALL/FG-GML-1-BldA.xml", "FG-GML-1-ALL.zip/FG-GML-1-WA.xml"}));

  // Members are kept inflated between reads; an archive written anew is read anew.
  const fs::path member = folder / "later.zip" / "FG-GML-1-WA.xml";
  EXPECT_EQ(linesOf(member), "again|");
  writeZip(folder / "later.zip", {{"FG-GML-1-WA.xml", "written anew\n"}});
  EXPECT_EQ(linesOf(member), "written anew|");
}
