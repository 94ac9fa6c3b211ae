// Encoding a picture for a form body, and reading every line of a large reply the way the
// result writer does.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "support/base64.h"
#include "support/json_object.h"
#include "support/text_helpers.h"

namespace {

using tarnwick::JsonObject;

std::string RandomBytes(std::size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

void EncodePicture(benchmark::State& state) {
  const std::string picture = RandomBytes(4 << 20);
  for (auto _ : state) {
    std::string encoded = tarnwick::UrlEncode(tarnwick::Base64Encode(picture));
    benchmark::DoNotOptimize(encoded);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(picture.size()));
}
BENCHMARK(EncodePicture)->Unit(benchmark::kMillisecond);

// What the recognition does: both texts in one pass.
void EncodePictureForForm(benchmark::State& state) {
  const std::string picture = RandomBytes(4 << 20);
  for (auto _ : state) {
    std::string form = "image=";
    benchmark::DoNotOptimize(tarnwick::Base64EncodeForForm(picture, form));
    benchmark::DoNotOptimize(form);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(picture.size()));
}
BENCHMARK(EncodePictureForForm)->Unit(benchmark::kMillisecond)->UseRealTime();

std::string ReplyWithItems(int count) {
  std::string reply = R"({"log_id":1234567890123456789,"words_result_num":)" +
                      std::to_string(count) + R"(,"words_result":[)";
  for (int i = 0; i < count; ++i) {
    if (i > 0) reply += ',';
    reply += R"({"words":"第)" + std::to_string(i) + R"(行 recognised text line"})";
  }
  return reply + "]}";
}

// Parse, then for each item: the list as an object, the item's JSON text, parsed again, and
// its "words" read.
void ReadEveryWords(benchmark::State& state) {
  const std::string reply = ReplyWithItems(static_cast<int>(state.range(0)));
  JsonObject replyDocument;
  JsonObject itemDocument;
  for (auto _ : state) {
    replyDocument.Parse(reply);
    const int count = std::atoi(replyDocument.GetObject("words_result_num").ToJson().c_str());
    std::size_t total = 0;
    for (int i = 0; i < count; ++i) {
      itemDocument.Parse(replyDocument.GetObject("words_result").GetElementText(i, "", true));
      total += itemDocument.GetText("words").size();
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(ReadEveryWords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
