#include "files/file_io.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "byte_text.h"
#include "folder_names.h"
#include "ordinary_user.h"
#include "scratch_dir.h"

namespace vqled {
namespace {

using Bytes = std::vector<uint8_t>;

using test::Slurp;

void Put(const std::string& path, const Bytes& bytes, mode_t mode = 0644) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  chmod(path.c_str(), mode);
}

// Sets a file's change time back by seconds, as if a save had left it long ago.
void Age(const std::string& path, int seconds) {
  const timespec then{std::time(nullptr) - seconds, 0};
  const timespec times[2] = {then, then};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

Outcome Save(const std::string& path, const Bytes& bytes) {
  SafeFileWriter file(path);
  if (Outcome opened = file.Open(); !opened.ok) return opened;
  file.Write(bytes.data(), bytes.size());
  return file.Commit();
}

class FileIoTest : public ::testing::Test {
 protected:
  void TearDown() override {
    FailTemporaryFilesForTesting(0);
    chmod(dir.c_str(), 0700);  // a test may have taken the folder's write permission
  }
  std::string Path(const char* name) const { return dir + "/" + name; }
  std::vector<std::string> Names() const { return FolderNames(dir); }
  int Entries() const { return static_cast<int>(Names().size()); }

  test::ScratchDir scratch{"io"};
  std::string dir = scratch.path().string();
};

// No temporary file can be made beside the target: the target is rewritten
// in place, longer or shorter than before, and keeps its mode.
TEST_F(FileIoTest, WithoutATemporaryFileTheTargetIsWrittenInPlace) {
  FailTemporaryFilesForTesting(EACCES);
  Put(Path("Config.ini"), {1, 2, 3, 4, 5}, 0666);
  ASSERT_TRUE(Save(Path("Config.ini"), {9, 8}).ok);
  EXPECT_EQ(Slurp(Path("Config.ini")), (Bytes{9, 8}));
  ASSERT_TRUE(Save(Path("Config.ini"), {7, 7, 7, 7, 7, 7, 7}).ok);
  EXPECT_EQ(Slurp(Path("Config.ini")), Bytes(7, 7));
  struct stat info {};
  stat(Path("Config.ini").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0666u);
  EXPECT_EQ(Entries(), 1);
  // A save given up before its commit leaves the target as it was.
  {
    SafeFileWriter file(Path("Config.ini"));
    ASSERT_TRUE(file.Open().ok);
    file.Write("abc", 3);
  }
  EXPECT_EQ(Slurp(Path("Config.ini")), Bytes(7, 7));
  // A temporary file refused for want of space is no reason to rewrite the
  // target in place: the save fails and the target keeps its bytes.
  FailTemporaryFilesForTesting(ENOSPC);
  EXPECT_FALSE(Save(Path("Config.ini"), {1}).ok);
  EXPECT_EQ(Slurp(Path("Config.ini")), Bytes(7, 7));
  FailTemporaryFilesForTesting(EACCES);
  // In place is tried, and its failure reported with the file.
  const Outcome outcome = Save(Path("missing/p.Aled"), {1});
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.message.en, "Cannot write the file " + Path("missing/p.Aled") +
                                    ": No such file or directory; the file is left as it was");
}

// The real case: an ordinary user, files of mode 0666 in a folder the user
// cannot write. Both saves go through; a file that does not exist yet cannot
// be made there and is reported.
TEST_F(FileIoTest, OrdinaryUserSavesWritableFilesInAFolderItCannotWrite) {
  Put(Path("Config.ini"), {'a'}, 0666);
  Put(Path("tempRGB.bin"), Bytes(600, 0), 0666);
  std::string skipped;
  const bool held = RunAsOrdinaryUser(
      dir,
      [&] {
        return Save(Path("Config.ini"), {'b', 'c'}).ok &&
               Save(Path("tempRGB.bin"), Bytes(630, 5)).ok && !Save(Path("new.Aled"), {1}).ok;
      },
      skipped);
  if (!skipped.empty()) GTEST_SKIP() << skipped;
  EXPECT_TRUE(held);
  EXPECT_EQ(Slurp(Path("Config.ini")), (Bytes{'b', 'c'}));
  EXPECT_EQ(Slurp(Path("tempRGB.bin")), Bytes(630, 5));
  EXPECT_EQ(Entries(), 2);
}

// A save killed before its commit leaves its temporary file; the next save of
// the same target removes it once it is stale. What a running save holds
// locked, what just changed, and the temporary files of other targets stay.
TEST_F(FileIoTest, TemporaryFilesOfKilledSavesAreRemovedByTheNextSave) {
  const pid_t child = fork();
  if (child == 0) {
    SafeFileWriter file(Path("tempRGB.bin"));
    if (file.Open().ok) file.Write("partial", 7);
    raise(SIGKILL);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  const std::vector<std::string> left = Names();
  ASSERT_EQ(left.size(), 1u);
  const std::string orphan = Path(left[0].c_str());
  EXPECT_EQ(left[0].rfind(".tempRGB.bin.vqled-", 0), 0u) << left[0];
  EXPECT_EQ(Slurp(orphan).size(), 7u);

  Put(Path(".tempRGB.bin.vqled-Young1"), {1});                 // a save that just began
  Put(Path(".vqled-0ldV3r"), {1});                             // an earlier version's
  Put(Path(".Config.ini.vqled-Other1"), {1});                  // another target's
  Put(Path(".tempRGB.bin.vqled-TooLong7"), {1});               // not this program's name
  const std::string busy = Path(".tempRGB.bin.vqled-Busy01");  // held by a running save
  Put(busy, {1});
  const int held = open(busy.c_str(), O_RDONLY);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  for (const char* name :
       {".vqled-0ldV3r", ".Config.ini.vqled-Other1", ".tempRGB.bin.vqled-TooLong7"}) {
    Age(Path(name), kStaleTemporarySeconds + 1);
  }
  Age(orphan, kStaleTemporarySeconds + 1);
  Age(busy, kStaleTemporarySeconds + 1);

  ASSERT_TRUE(Save(Path("tempRGB.bin"), {4, 2}).ok);
  EXPECT_FALSE(Exists(orphan));
  EXPECT_FALSE(Exists(Path(".vqled-0ldV3r")));
  EXPECT_TRUE(Exists(Path(".tempRGB.bin.vqled-Young1")));
  EXPECT_TRUE(Exists(busy));
  EXPECT_TRUE(Exists(Path(".Config.ini.vqled-Other1")));
  EXPECT_TRUE(Exists(Path(".tempRGB.bin.vqled-TooLong7")));
  EXPECT_EQ(Slurp(Path("tempRGB.bin")), (Bytes{4, 2}));
  close(held);  // as at start-up, once that save was killed
  RemoveStaleTemporaryFiles(Path("tempRGB.bin"));
  EXPECT_FALSE(Exists(busy));
  EXPECT_TRUE(Exists(Path(".tempRGB.bin.vqled-Young1")));
}

// A running save holds its temporary file locked until it is renamed, so a
// save of the same target by another window never removes it, however long
// it takes.
TEST_F(FileIoTest, ARunningSaveKeepsItsTemporaryFile) {
  SafeFileWriter first(Path("Config.ini"));
  ASSERT_TRUE(first.Open().ok);
  first.Write("[Config]\n", 9);
  for (const std::string& name : Names()) {
    if (name != "Config.ini") Age(Path(name.c_str()), 3600);
  }
  ASSERT_TRUE(Save(Path("Config.ini"), {'x'}).ok);
  ASSERT_TRUE(first.Commit().ok);
  EXPECT_EQ(Slurp(Path("Config.ini")), Bytes({'[', 'C', 'o', 'n', 'f', 'i', 'g', ']', '\n'}));
  EXPECT_EQ(Entries(), 1);
}

TEST_F(FileIoTest, KeptCopiesNeverReplaceAFile) {
  const Bytes bytes = {0, 8, 0, 1, 0xFF};
  std::string first, second;
  ASSERT_TRUE(KeepCopy(Path("tempRGB.bin"), bytes.data(), bytes.size(), first).ok);
  ASSERT_TRUE(KeepCopy(Path("tempRGB.bin"), bytes.data(), bytes.size(), second).ok);
  EXPECT_NE(first, second);
  for (const std::string& kept : {first, second}) {
    EXPECT_EQ(kept.rfind(Path("tempRGB.bin.refused-"), 0), 0u) << kept;
    EXPECT_EQ(Slurp(kept), bytes);
  }
  std::string none;
  const Outcome failed = KeepCopy(Path("missing/tempRGB.bin"), bytes.data(), 5, none);
  EXPECT_FALSE(failed.ok);
  EXPECT_TRUE(none.empty());
  EXPECT_NE(failed.message.en.find("The bytes of " + Path("missing/tempRGB.bin") +
                                   " could not be kept as "),
            std::string::npos);
  EXPECT_NE(failed.message.zh.find(Path("missing/tempRGB.bin")), std::string::npos);
}

}  // namespace
}  // namespace vqled
