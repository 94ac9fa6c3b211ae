#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "support/gbk_text.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

class SettingsFileTest : public ::testing::Test {
 protected:
  std::filesystem::path path() const { return folder_.path() / kSettingsFileName; }
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
  struct stat info {};
  ASSERT_EQ(stat(path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
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
