#pragma once
// One Tesseract engine with its language data loaded, and the pool of them that the workers
// share. An engine serves one picture at a time; the pool hands each request an engine of its
// own and makes the others wait, so the number of engines is the number of recognitions that run
// at once.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct Pix;
namespace tesseract {
class TessBaseAPI;
}

namespace tarnwick::service {

enum class PageLayout { Auto, SingleBlock };

class OcrEngine {
 public:
  explicit OcrEngine(const std::string& languages);  // throws std::runtime_error
  ~OcrEngine();
  OcrEngine(const OcrEngine&) = delete;
  OcrEngine& operator=(const OcrEngine&) = delete;

  // The picture's text, one entry per printed line, tidied (TidyLine) and without empty lines.
  std::vector<std::string> RecognizeLines(Pix* picture, PageLayout layout = PageLayout::Auto);

  struct Upright {
    std::vector<std::string> lines;
    int direction = 0;  // quarter turns the picture lay rotated counter-clockwise (0 to 3)
  };
  // As RecognizeLines, but a picture that reads poorly is also tried turned by each quarter,
  // and the reading the engine is surest of wins.
  Upright RecognizeUpright(Pix* picture);

 private:
  // `confidence` is the engine's mean (0 to 100); `quarters` the counter-clockwise quarter
  // turns of the page that its layout analysis found (and read through).
  std::vector<std::string> Recognize(Pix* picture, PageLayout layout, int& confidence,
                                     int& quarters);

  std::unique_ptr<tesseract::TessBaseAPI> api_;
};

class EnginePool {
 public:
  EnginePool(int engines, const std::string& languages);

  class Lease {
   public:
    Lease(EnginePool& pool, std::unique_ptr<OcrEngine> engine)
        : pool_(&pool), engine_(std::move(engine)) {}
    Lease(Lease&&) = default;
    ~Lease() {
      if (engine_) pool_->Return(std::move(engine_));
    }
    OcrEngine& operator*() { return *engine_; }
    OcrEngine* operator->() { return engine_.get(); }

   private:
    EnginePool* pool_;
    std::unique_ptr<OcrEngine> engine_;
  };

  // Waits until an engine is free.
  Lease Acquire();
  int size() const { return size_; }

 private:
  void Return(std::unique_ptr<OcrEngine> engine);

  int size_;
  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<std::unique_ptr<OcrEngine>> idle_;
};

// Tesseract writes the spaces it sees between Chinese characters; Chinese text has none, so they
// go (also around full-width punctuation, and an ASCII colon or comma after a Chinese character
// becomes full-width), while spaces between words of Latin script stay. Trims the line's ends.
std::string TidyLine(const std::string& line);

}  // namespace tarnwick::service
