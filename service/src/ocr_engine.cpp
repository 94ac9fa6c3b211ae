#include "ocr_engine.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <stdexcept>
#include <thread>

namespace tarnwick::service {
namespace {

// The code point of the UTF-8 sequence that ends just before `end` (0 when none).
char32_t CodePointBefore(const std::string& text, std::size_t end) {
  std::size_t start = end;
  while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
  if (start == 0) return 0;
  --start;
  char32_t value = static_cast<unsigned char>(text[start]);
  const std::size_t length = end - start;
  if (length == 1) return value;
  value &= 0xFF >> (length + 1);
  for (std::size_t i = start + 1; i < end; ++i) {
    value = (value << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  }
  return value;
}

char32_t CodePointAt(const std::string& text, std::size_t start) {
  if (start >= text.size()) return 0;
  std::size_t end = start + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return CodePointBefore(text, end);
}

// Han characters, CJK punctuation and full-width forms: script written without spaces.
bool WrittenWithoutSpaces(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x2FA1F);
}

// CJK and full-width punctuation carries its own spacing.
bool WideMark(char32_t c) {
  return (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF20);
}

// The engine often reads a full-width colon or comma in Chinese text as its ASCII twin; after a
// Chinese character it is the full-width one.
std::string WidenPunctuation(const std::string& line) {
  static const std::pair<char, const char*> marks[] = {
      {':', "："}, {',', "，"}, {';', "；"}, {'!', "！"}, {'?', "？"}};
  std::string wide;
  for (char c : line) {
    const char* replacement = nullptr;
    for (const auto& [ascii, full] : marks) {
      if (c == ascii) replacement = full;
    }
    std::size_t end = wide.size();
    while (end > 0 && wide[end - 1] == ' ') --end;
    if (replacement && WrittenWithoutSpaces(CodePointBefore(wide, end))) {
      wide += replacement;
    } else {
      wide += c;
    }
  }
  return wide;
}

}  // namespace

std::string TidyLine(const std::string& rawLine) {
  const std::string line = WidenPunctuation(rawLine);
  std::string tidy;
  tidy.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\n' || c == '\r' || c == '\t') {
      if (!tidy.empty() && tidy.back() != ' ') tidy += ' ';
      continue;
    }
    if (c == ' ') {
      std::size_t next = i;
      while (next < line.size() && line[next] == ' ') ++next;
      const char32_t before = CodePointBefore(tidy, tidy.size());
      const char32_t after = CodePointAt(line, next);
      if ((WrittenWithoutSpaces(before) && WrittenWithoutSpaces(after)) || WideMark(before) ||
          WideMark(after)) {
        i = next - 1;
        continue;
      }
      if (!tidy.empty() && tidy.back() == ' ') continue;
    }
    tidy += c;
  }
  const std::size_t first = tidy.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return tidy.substr(first, tidy.find_last_not_of(' ') - first + 1);
}

OcrEngine::OcrEngine(const std::string& languages) : api_(new tesseract::TessBaseAPI) {
  if (api_->Init(nullptr, languages.c_str(), tesseract::OEM_LSTM_ONLY) != 0) {
    throw std::runtime_error("Tesseract could not load the language data " + languages);
  }
  // The engine's notes on estimated resolutions and the like are of no use to a client.
  api_->SetVariable("debug_file", "/dev/null");
}

OcrEngine::~OcrEngine() {
  api_->End();
}

std::vector<std::string> OcrEngine::RecognizeLines(Pix* picture, PageLayout layout) {
  int confidence = 0, quarters = 0;
  return Recognize(picture, layout, confidence, quarters);
}

OcrEngine::Upright OcrEngine::RecognizeUpright(Pix* picture) {
  // Upright text of a clean picture reads above this; sideways text rarely does.
  constexpr int kSure = 80;
  Upright best;
  int bestConfidence = -1;
  for (int quarters = 0; quarters < 4 && bestConfidence < kSure; ++quarters) {
    Pix* turned = quarters == 0 ? pixClone(picture) : pixRotateOrth(picture, quarters);
    if (!turned) continue;
    int confidence = 0, found = 0;
    std::vector<std::string> lines = Recognize(turned, PageLayout::Auto, confidence, found);
    pixDestroy(&turned);
    if (confidence > bestConfidence) {
      bestConfidence = confidence;
      best = {std::move(lines), (quarters + found) % 4};
    }
  }
  return best;
}

std::vector<std::string> OcrEngine::Recognize(Pix* picture, PageLayout layout, int& confidence,
                                              int& quarters) {
  api_->SetPageSegMode(layout == PageLayout::Auto ? tesseract::PSM_AUTO
                                                  : tesseract::PSM_SINGLE_BLOCK);
  api_->SetImage(picture);
  if (pixGetXRes(picture) <= 0) api_->SetSourceResolution(300);
  std::vector<std::string> lines;
  confidence = 0;
  quarters = 0;
  if (api_->Recognize(nullptr) == 0) {
    confidence = api_->MeanTextConf();
    std::unique_ptr<tesseract::ResultIterator> it(api_->GetIterator());
    if (it) {
      tesseract::Orientation orientation = tesseract::ORIENTATION_PAGE_UP;
      tesseract::WritingDirection writing;
      tesseract::TextlineOrder order;
      float deskew = 0;
      it->Orientation(&orientation, &writing, &order, &deskew);
      // Where the page's top points: right means the page lies a quarter turned clockwise.
      quarters = (4 - static_cast<int>(orientation)) % 4;
      do {
        std::unique_ptr<char[]> text(it->GetUTF8Text(tesseract::RIL_TEXTLINE));
        if (!text) continue;
        std::string line = TidyLine(text.get());
        if (!line.empty()) lines.push_back(std::move(line));
      } while (it->Next(tesseract::RIL_TEXTLINE));
    }
  }
  api_->Clear();
  return lines;
}

EnginePool::EnginePool(int engines, const std::string& languages) : size_(engines) {
  // Loading the language data takes most of a second per engine; load them side by side.
  std::vector<std::unique_ptr<OcrEngine>> made(engines);
  std::vector<std::thread> loaders;
  std::exception_ptr failure;
  std::mutex failureMutex;
  for (int i = 0; i < engines; ++i) {
    loaders.emplace_back([&, i] {
      try {
        made[i] = std::make_unique<OcrEngine>(languages);
      } catch (...) {
        std::lock_guard lock(failureMutex);
        failure = std::current_exception();
      }
    });
  }
  for (std::thread& loader : loaders) loader.join();
  if (failure) std::rethrow_exception(failure);
  idle_ = std::move(made);
}

EnginePool::Lease EnginePool::Acquire() {
  std::unique_lock lock(mutex_);
  returned_.wait(lock, [this] { return !idle_.empty(); });
  std::unique_ptr<OcrEngine> engine = std::move(idle_.back());
  idle_.pop_back();
  return Lease(*this, std::move(engine));
}

void EnginePool::Return(std::unique_ptr<OcrEngine> engine) {
  {
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(engine));
  }
  returned_.notify_one();
}

}  // namespace tarnwick::service
