#include "support/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::TempFolder;
using testing::WriteFileBytes;

TEST(ReadPictureFile, ReadsARegularFileWhole) {
  TempFolder folder;
  const std::string bytes("BM\0\x01\xFF", 5);
  WriteFileBytes(folder.path() / "图.bmp", bytes);
  EXPECT_EQ(ReadPictureFile((folder.path() / "图.bmp").string()), bytes);
  EXPECT_EQ(ReadPictureFile((folder.path() / "图.bmp").string(), bytes.size()), bytes);
  WriteFileBytes(folder.path() / "empty.png", "");
  EXPECT_EQ(ReadPictureFile((folder.path() / "empty.png").string()), "");
}

TEST(ReadPictureFile, GivesNoBytesForAnythingButARegularFileOfSaneSize) {
  TempFolder folder;
  const std::filesystem::path small = folder.path() / "small.png";
  WriteFileBytes(small, "12345");
  const std::filesystem::path huge = folder.path() / "huge.png";
  WriteFileBytes(huge, "");
  std::filesystem::resize_file(huge, kMaxPictureBytes + 1);  // sparse: costs no disk
  const std::filesystem::path pipe = folder.path() / "pipe.png";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::create_directory(folder.path() / "sub.png");

  EXPECT_EQ(ReadPictureFile(small.string(), 4), "") << "one byte above the limit";
  EXPECT_EQ(ReadPictureFile(huge.string()), "");
  EXPECT_EQ(ReadPictureFile(pipe.string()), "") << "a pipe with no writer must not block";
  EXPECT_EQ(ReadPictureFile((folder.path() / "sub.png").string()), "");
  EXPECT_EQ(ReadPictureFile((folder.path() / "missing.png").string()), "");
  EXPECT_EQ(ReadPictureFile(""), "");
  EXPECT_EQ(ReadPictureFile("/dev/zero"), "");
}

}  // namespace
}  // namespace tarnwick
