#include "sample_pictures.h"

#include <fstream>
#include <iterator>

namespace tarnwick::service {

const SamplePicture kSamplePictures[7] = {
    {"/70cFvnSh_Q1YnxGkpoWK1HF6hhy/it/u=3622721076,3835078278&fm=26&gp=0.jpg", "general.png"},
    {"/portal-pc-node/dist/1610117544300/images/technology/ocr_others/handwriting/3.jpg",
     "handwriting.png"},
    {"/file/7E953068EA2C4800900EAA65D14F6D58", "office.png"},
    {"/file/59D409D48C4A4C138EF3C6218EF7EE6B", "licence.png"},
    {"/file/0C2E17DA8CBC4C04AF4A6D1E38FC04ED", "idcard.png"},
    {"/file/08D0DD4D1EBB4E749A340BAAEFEF091B", "bankcard.png"},
    {"/file/5A2C3E1B7D9F4A6B8C0D2E4F6A8B0C1D", "table.png"},
};

SamplePictures::SamplePictures(const std::filesystem::path& folder) {
  for (const SamplePicture& sample : kSamplePictures) {
    std::ifstream file(folder / sample.file, std::ios::binary);
    if (!file) continue;
    bytes_[sample.path].assign(std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>());
  }
}

const std::string* SamplePictures::Find(const std::string& path) const {
  const auto found = bytes_.find(path);
  return found == bytes_.end() ? nullptr : &found->second;
}

}  // namespace tarnwick::service
