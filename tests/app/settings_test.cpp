#include "app/settings.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <csignal>
#include <fstream>

#include "support/gbk_text.h"
#include "support/paths.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

class SettingsFileTest : public ::testing::Test {
 protected:
  std::filesystem::path path() const { return folder_.path() / Utf8Path(kSettingsFileName); }
  TempFolder folder_;
  SettingsFile settings_{path()};
};

TEST_F(SettingsFileTest, MissingFileReadsAsDefaults) {
  EXPECT_EQ(settings_.ReadSetting("参数", "apikey"), "");
  EXPECT_EQ(settings_.ReadSetting("参数", "延迟ms", "200"), "200");
  EXPECT_FALSE(std::filesystem::exists(path()));
}

TEST_F(SettingsFileTest, FirstWriteCreatesAGbkFileReadableByItsOwnerOnly) {
  ASSERT_TRUE(settings_.WriteSetting("勾选", "识别格式", "高精度版"));
  EXPECT_EQ(ReadFileBytes(path()), Utf8ToGbk("[勾选]\r\n识别格式=高精度版\r\n"));
#ifndef _WIN32
  struct stat info {};
  ASSERT_EQ(stat(path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
#endif
  EXPECT_EQ(settings_.ReadSetting("勾选", "识别格式"), "高精度版");
}

TEST_F(SettingsFileTest, WritesReplaceInPlaceAndKeepEveryOtherLine) {
  WriteFileBytes(path(), Utf8ToGbk("; written by hand\r\n[参数]\r\napikey = old \r\n不是\r\n\r\n"
                                   "[勾选]\r\n延迟=真\r\n[other]\r\nx=1"));
  settings_.WriteSetting("参数", "apikey", "new key");
  settings_.WriteSetting("参数", "SecretKey", "");
  settings_.WriteSetting("勾选", "矫正图片", "真");
  settings_.WriteSetting("其他", "k", "v");
  EXPECT_EQ(GbkToUtf8(ReadFileBytes(path())),
            "; written by hand\r\n[参数]\r\napikey=new key\r\n不是\r\nSecretKey=\r\n\r\n[勾选]\r\n"
            "延迟=真\r\n矫正图片=真\r\n[other]\r\nx=1\r\n[其他]\r\nk=v\r\n");
  EXPECT_EQ(settings_.ReadSetting("参数", "APIKEY"), "new key");
  EXPECT_EQ(settings_.ReadSetting("参数", "SecretKey", "fallback"), "");
  EXPECT_EQ(settings_.ReadSetting("other", "x"), "1");
  EXPECT_EQ(settings_.ReadSetting("参数", "x", "none"), "none");
}

TEST_F(SettingsFileTest, AValueWithLineBreaksStaysOnItsOwnLine) {
  settings_.WriteSetting("参数", "延迟ms", "200");
  // A token reply crafted to write keys of its own into the file.
  settings_.WriteSetting("参数", "access_token", "tok\r\n延迟ms=987654\r\n[新节]\r\nx=1");
  settings_.WriteSetting("新\n节", "k\r", "v");
  EXPECT_EQ(settings_.ReadSetting("参数", "延迟ms"), "200");
  EXPECT_EQ(settings_.ReadSetting("新节", "x", "none"), "none");
  EXPECT_EQ(settings_.ReadSetting("参数", "access_token"), "tok延迟ms=987654[新节]x=1");
  EXPECT_EQ(GbkToUtf8(ReadFileBytes(path())),
            "[参数]\r\n延迟ms=200\r\naccess_token=tok延迟ms=987654[新节]x=1\r\n"
            "[新节]\r\nk=v\r\n");
}

TEST_F(SettingsFileTest, DoubleByteCharactersNeitherEndNamesNorFoldTheirCase) {
  // The second byte of 乚 is "]"; those of 丄 and 乤 are "A" and "a".
  for (int i = 0; i < 2; ++i) settings_.WriteSetting("乚节", "k", std::to_string(i));
  settings_.WriteSetting("参数", "丄", "upper");
  settings_.WriteSetting("参数", "乤", "lower");
  EXPECT_EQ(settings_.ReadSetting("乚节", "k"), "1");
  EXPECT_EQ(settings_.ReadSetting("参数", "丄"), "upper");
  EXPECT_EQ(settings_.ReadSetting("参数", "乤"), "lower");
  EXPECT_EQ(GbkToUtf8(ReadFileBytes(path())),
            "[乚节]\r\nk=1\r\n[参数]\r\n丄=upper\r\n乤=lower\r\n");
  // Single-byte letters still match in any case, beside double-byte ones.
  settings_.WriteSetting("参数", "乤Key", "x");
  EXPECT_EQ(settings_.ReadSetting("参数", "乤KEY"), "x");
}

#ifdef _WIN32
// On Windows a file another program holds open without sharing cannot be read: such a file is
// never replaced, and neither is a folder where the file should be.
TEST_F(SettingsFileTest, AFileThatCannotBeReadIsNeverReplaced) {
  const std::string keys = Utf8ToGbk("[参数]\r\napikey=mine\r\nSecretKey=secret\r\n");
  WriteFileBytes(path(), keys);
  {
    const HANDLE held = CreateFileW(path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(settings_.ReadSetting("参数", "apikey", "fallback"), "fallback");
    EXPECT_FALSE(settings_.WriteSetting("参数", "access_token", "tok"));
    CloseHandle(held);
  }
  EXPECT_EQ(ReadFileBytes(path()), keys);
  EXPECT_EQ(settings_.ReadSetting("参数", "apikey"), "mine");

  const std::filesystem::path folderInstead = folder_.path() / "folder.ini";
  std::filesystem::create_directory(folderInstead);
  EXPECT_FALSE(SettingsFile(folderInstead).WriteSetting("参数", "k", "v"));
  EXPECT_TRUE(std::filesystem::is_directory(folderInstead));
}

TEST_F(SettingsFileTest, AFailedWriteLeavesTheOldFileWhole) {
  EXPECT_FALSE(SettingsFile(folder_.path() / "missing" / "x.ini").WriteSetting("a", "b", "c"));
  settings_.WriteSetting("参数", "apikey", "keep me");
  const std::string before = ReadFileBytes(path());
  // A reader that shares nothing but reading keeps the file from being renamed over.
  const HANDLE reader = CreateFileW(path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(settings_.WriteSetting("参数", "apikey", "new"));
  CloseHandle(reader);
  EXPECT_EQ(ReadFileBytes(path()), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1)
      << "the unused copy is removed";
}
#else
// Permission checks as an ordinary user meets them, for root too: root's file-system identity
// becomes "nobody" on this thread while the object lives.
class ActingAsOrdinaryUser {
 public:
  ActingAsOrdinaryUser() {
    if (::geteuid() == 0) previous_ = ::setfsuid(65534);
  }
  ~ActingAsOrdinaryUser() {
    if (previous_ >= 0) ::setfsuid(static_cast<uid_t>(previous_));
  }
  ActingAsOrdinaryUser(const ActingAsOrdinaryUser&) = delete;
  ActingAsOrdinaryUser& operator=(const ActingAsOrdinaryUser&) = delete;

 private:
  int previous_ = -1;
};

TEST_F(SettingsFileTest, AFileThatCannotBeReadIsNeverReplaced) {
  const std::string keys = Utf8ToGbk("[参数]\r\napikey=mine\r\nSecretKey=secret\r\n");
  WriteFileBytes(path(), keys);
  std::filesystem::permissions(path(), std::filesystem::perms::none);
  std::filesystem::permissions(folder_.path(), std::filesystem::perms::all);
  {
    ActingAsOrdinaryUser ordinary;
    if (std::ifstream(path()).is_open()) GTEST_SKIP() << "no way to make a file unreadable here";
    EXPECT_EQ(settings_.ReadSetting("参数", "apikey", "fallback"), "fallback");
    EXPECT_FALSE(settings_.WriteSetting("参数", "access_token", "tok"));
  }
  std::filesystem::permissions(path(), std::filesystem::perms::owner_read);
  EXPECT_EQ(ReadFileBytes(path()), keys);

  // Something other than a file where the file should be is left alone too.
  const std::filesystem::path folderInstead = folder_.path() / "folder.ini";
  std::filesystem::create_directory(folderInstead);
  EXPECT_FALSE(SettingsFile(folderInstead).WriteSetting("参数", "k", "v"));
  EXPECT_TRUE(std::filesystem::is_directory(folderInstead));
  const std::filesystem::path pipe = folder_.path() / "pipe.ini";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(SettingsFile(pipe).ReadSetting("参数", "k", "none"), "none");
  EXPECT_FALSE(SettingsFile(pipe).WriteSetting("参数", "k", "v"));
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST_F(SettingsFileTest, AWritableFileInAFolderThatRefusesNewFilesIsWrittenInPlace) {
  WriteFileBytes(path(), Utf8ToGbk("[参数]\r\napikey=mine\r\n"));
  struct stat before {};
  ASSERT_EQ(::stat(path().c_str(), &before), 0);
  using std::filesystem::perms;
  std::filesystem::permissions(path(), perms::owner_read | perms::owner_write | perms::group_read |
                                           perms::group_write | perms::others_read |
                                           perms::others_write);
  std::filesystem::permissions(folder_.path(), perms::owner_read | perms::owner_exec |
                                                   perms::group_read | perms::group_exec |
                                                   perms::others_read | perms::others_exec);
  {
    ActingAsOrdinaryUser ordinary;
    if (std::ofstream(folder_.path() / "probe")) {
      GTEST_SKIP() << "no way to close a folder to new files here";
    }
    EXPECT_TRUE(settings_.WriteSetting("参数", "延迟ms", "500"));
    EXPECT_TRUE(settings_.WriteSetting("参数", "apikey", "k"));
    EXPECT_EQ(settings_.ReadSetting("参数", "apikey"), "k");
  }
  EXPECT_EQ(GbkToUtf8(ReadFileBytes(path())), "[参数]\r\napikey=k\r\n延迟ms=500\r\n");
  struct stat after {};
  ASSERT_EQ(::stat(path().c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  // No file at all in such a folder: nothing can be written, and nothing pretends it was.
  {
    ActingAsOrdinaryUser ordinary;
    EXPECT_FALSE(SettingsFile(folder_.path() / "new.ini").WriteSetting("参数", "k", "v"));
  }
}

// A disk that fills up mid-write, imitated with a file-size limit so that it fails for any
// user, root included.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limited = previous_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST_F(SettingsFileTest, AFailedWriteLeavesTheOldFileWhole) {
  EXPECT_FALSE(SettingsFile(folder_.path() / "missing" / "x.ini").WriteSetting("a", "b", "c"));
  settings_.WriteSetting("参数", "apikey", "keep me");
  const std::string before = ReadFileBytes(path());
  {
    FileSizeLimit limit(before.size() + 16);
    EXPECT_FALSE(settings_.WriteSetting("参数", "apikey", std::string(4096, 'x')));
  }
  EXPECT_EQ(ReadFileBytes(path()), before);
  EXPECT_EQ(settings_.ReadSetting("参数", "apikey"), "keep me");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1)
      << "the half-written copy is removed";
}

#endif  // _WIN32

TEST_F(SettingsFileTest, LeavesNoTemporaryFilesBehind) {
  for (int i = 0; i < 3; ++i) settings_.WriteSetting("参数", "n", std::to_string(i));
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
    ++files;
  }
  EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace tarnwick
