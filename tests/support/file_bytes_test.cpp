#include "support/file_bytes.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>

#include "support/paths.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::TempFolder;
using testing::WriteFileBytes;

TEST(ReadPictureFile, ReadsARegularFileWhole) {
  TempFolder folder;
  const std::string bytes("BM\0\x01\xFF", 5);
  WriteFileBytes(folder.path() / Utf8Path("图.bmp"), bytes);
  EXPECT_EQ(ReadPictureFile(PathText(folder.path() / Utf8Path("图.bmp"))), bytes);
  EXPECT_EQ(ReadPictureFile(PathText(folder.path() / Utf8Path("图.bmp")), bytes.size()), bytes);
  WriteFileBytes(folder.path() / "empty.png", "");
  EXPECT_EQ(ReadPictureFile(PathText(folder.path() / "empty.png")), "");
}

TEST(ReadPictureFile, GivesNoBytesForAnythingButARegularFileOfSaneSize) {
  TempFolder folder;
  const std::filesystem::path small = folder.path() / "small.png";
  WriteFileBytes(small, "12345");
  const std::filesystem::path huge = folder.path() / "huge.png";
  WriteFileBytes(huge, "");
  std::filesystem::resize_file(huge, kMaxPictureBytes + 1);  // sparse: costs no disk
  std::filesystem::create_directory(folder.path() / "sub.png");

  EXPECT_EQ(ReadPictureFile(PathText(small), 4), "") << "one byte above the limit";
  EXPECT_EQ(ReadPictureFile(PathText(huge)), "");
  EXPECT_EQ(ReadPictureFile(PathText(folder.path() / "sub.png")), "");
  EXPECT_EQ(ReadPictureFile(PathText(folder.path() / "missing.png")), "");
  EXPECT_EQ(ReadPictureFile(""), "");
#ifndef _WIN32
  const std::filesystem::path pipe = folder.path() / "pipe.png";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(ReadPictureFile(PathText(pipe)), "") << "a pipe with no writer must not block";
  EXPECT_EQ(ReadPictureFile("/dev/zero"), "");
#else
  EXPECT_EQ(ReadPictureFile("NUL"), "") << "a device is not a picture";
  EXPECT_EQ(ReadPictureFile("CON"), "");
#endif
}

}  // namespace
}  // namespace tarnwick
