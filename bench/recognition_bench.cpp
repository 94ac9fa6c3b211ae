// Rendering large replies, and a whole local-picture recognition against a service on this
// machine compared with libcurl alone posting the same body to it (the program's own overhead
// on top of the transfer). Before those, the peak memory that recognising one 4 MiB picture
// takes above the program's idle size.

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>

#include "platform/sim/sim_desktop.h"
#include "recognition/general_recognition.h"
#include "recognition/result_writer.h"
#include "support/base64.h"
#include "support/fake_ocr_service.h"
#include "support/sim_program.h"
#include "support/text_helpers.h"

namespace {

using namespace tarnwick;

std::string ReplyWithItems(int count) {
  std::string reply =
      R"({"log_id":1,"words_result_num":)" + std::to_string(count) + R"(,"words_result":[)";
  for (int i = 0; i < count; ++i) {
    if (i > 0) reply += ',';
    reply += R"({"words":"第)" + std::to_string(i) + R"(行 recognised text"})";
  }
  return reply + "]}";
}

void RenderWords(benchmark::State& state) {
  const std::string reply = ReplyWithItems(static_cast<int>(state.range(0)));
  testing::SimProgram sim;
  Program& program = sim.Start();
  program.state().ImagePath = "/p/page.png";
  for (auto _ : state) {
    ResultWriter(program.context()).RenderWordsResult(reply, kLocalSource, ReplyLayout::Key);
    state.PauseTiming();
    program.window().编辑框1.SetText("");
    state.ResumeTiming();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(RenderWords)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

std::string RandomBytes(std::size_t size) {
  std::mt19937 random(11);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

struct LoopbackService {
  LoopbackService() {
    service.Reply(testing::kGeneralBasicPath,
                  R"({"words_result_num":1,"words_result":[{"words":"ok"}]})");
    picture = sim.folder() / "page.png";
    testing::WriteFileBytes(picture, RandomBytes(4 << 20));
    Program& program = sim.Start();
    program.state().AccessToken = "tok";
    program.window().选择框_我自己有key.SetTicked(true);
    program.window().选择框_功能演示.SetTicked(false);
    body = "image=" + UrlEncode(Base64Encode(testing::ReadFileBytes(picture))) +
           "&language_type=CHN_ENG&detect_direction=false";
    url = service.base() + testing::kGeneralBasicPath + "?access_token=tok";
  }
  testing::FakeOcrService service;
  testing::SimProgram sim{service.endpoints()};
  std::filesystem::path picture;
  // What the recognition posts, and where.
  std::string body;
  std::string url;
};

LoopbackService& Service() {
  static LoopbackService service;
  return service;
}

void RecognizeFourMebibytePicture(benchmark::State& state) {
  LoopbackService& loopback = Service();
  for (auto _ : state) {
    RecognizeImageFile(loopback.sim.context(), loopback.picture.string());
    state.PauseTiming();
    loopback.sim.window().编辑框1.SetText("");
    state.ResumeTiming();
  }
}
BENCHMARK(RecognizeFourMebibytePicture)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program's request routine alone, posting the body the recognition would build.
void HttpRequestPostsTheSameBody(benchmark::State& state) {
  LoopbackService& loopback = Service();
  const std::string& body = loopback.body;
  const std::string& url = loopback.url;
  const HttpTransport transport{.caFile = testing::ThrowawayCertificate().certificateFile};
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        HttpRequest({.url = url, .method = kHttpPost, .postText = body}, transport));
  }
}
BENCHMARK(HttpRequestPostsTheSameBody)->Unit(benchmark::kMillisecond)->UseRealTime();

size_t Discard(char*, size_t size, size_t count, void*) {
  return size * count;
}

void CurlAlonePostsTheSameBody(benchmark::State& state) {
  LoopbackService& loopback = Service();
  const std::string& body = loopback.body;
  const std::string& url = loopback.url;
  const std::string caFile = testing::ThrowawayCertificate().certificateFile;
  // Like the program, send the body at once rather than wait for "100 Continue".
  curl_slist* headers = curl_slist_append(nullptr, "Expect:");
  for (auto _ : state) {
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Discard);
    curl_easy_perform(curl);
    curl_easy_cleanup(curl);
  }
  curl_slist_free_all(headers);
}
BENCHMARK(CurlAlonePostsTheSameBody)->Unit(benchmark::kMillisecond)->UseRealTime();

// Prints what the console reporter prints, then the figures the targets are stated in.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With --benchmark_repetitions the median stands for a benchmark; otherwise its one run.
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      if (run.run_type == Run::RT_Iteration && !medians_.contains(run.run_name.str())) {
        times_[run.run_name.str()] = run.GetAdjustedRealTime();
      } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians_.insert(run.run_name.str());
        times_[run.run_name.str()] = run.GetAdjustedRealTime();
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    PrintRatio("RenderWords 10,000 / 1,000 items (linear: at most 12)", "RenderWords/10000",
               "RenderWords/1000");
    PrintRatio("whole recognition / libcurl alone, 4 MiB picture (target below 1.5)",
               "RecognizeFourMebibytePicture/real_time", "CurlAlonePostsTheSameBody/real_time");
  }

 private:
  void PrintRatio(const char* what, const std::string& a, const std::string& b) {
    if (times_.contains(a) && times_.contains(b) && times_[b] > 0) {
      std::printf("%s: %.2f\n", what, times_[a] / times_[b]);
    }
  }
  std::map<std::string, double> times_;
  std::set<std::string> medians_;
};

// A figure of /proc/self/status in KiB ("VmRSS", "VmHWM").
long StatusKib(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(field + ":")) return std::atol(line.c_str() + field.size() + 1);
  }
  return -1;
}

// The service runs in a process of its own, started before this one has any thread, so that
// only the program's memory is counted. It reads the picture's form as it streams in (the
// test stand-in's server refuses form bodies above 8 KiB) and answers one recognised line.
// Returns the service's addresses; the service ends when `stop` is closed.
ServiceEndpoints StartServiceProcess(int& stop, pid_t& child) {
  int ready[2];
  int hold[2];
  if (pipe(ready) != 0 || pipe(hold) != 0) std::exit(1);
  child = fork();
  if (child == 0) {
    close(ready[0]);
    close(hold[1]);
    testing::LocalServer service(testing::Scheme::Https);
    service.server().Post(
        testing::kGeneralBasicPath, [](const httplib::Request&, httplib::Response& response,
                                       const httplib::ContentReader& reader) {
          std::size_t received = 0;
          reader([&received](const char*, std::size_t length) {
            received += length;
            return true;
          });
          response.set_content(received > (4 << 20)
                                   ? R"({"words_result_num":1,"words_result":[{"words":"ok"}]})"
                                   : R"({"error_code":216201})",
                               "application/json");
        });
    service.Start();
    const std::string message = "localhost:" + std::to_string(service.port()) + "\n" +
                                testing::ThrowawayCertificate().certificateFile + "\n";
    if (write(ready[1], message.data(), message.size()) < 0) _exit(1);
    close(ready[1]);
    char byte;
    while (read(hold[0], &byte, 1) > 0) {
    }
    _exit(0);
  }
  close(ready[1]);
  close(hold[0]);
  stop = hold[1];
  std::string message;
  char buffer[512];
  for (ssize_t n; (n = read(ready[0], buffer, sizeof buffer)) > 0;) message.append(buffer, n);
  close(ready[0]);
  ServiceEndpoints endpoints;
  const std::size_t line = message.find('\n');
  endpoints.apiHost = endpoints.demoHost = message.substr(0, line);
  endpoints.transport.caFile = message.substr(line + 1, message.find('\n', line + 1) - line - 1);
  return endpoints;
}

// Peak resident memory of one recognition of a 4 MiB picture in key mode, above the size of
// the started program. The kernel's high-water mark is reset once the program is idle.
void PrintPeakMemoryOfOneRecognition() {
  int stop = -1;
  pid_t child = 0;
  const ServiceEndpoints endpoints = StartServiceProcess(stop, child);
  {
    testing::SimProgram sim(endpoints);
    const std::filesystem::path picture = sim.folder() / "page.png";
    testing::WriteFileBytes(picture, RandomBytes(4 << 20));
    Program& program = sim.Start();
    program.state().AccessToken = "tok";
    program.window().选择框_我自己有key.SetTicked(true);
    program.window().选择框_功能演示.SetTicked(false);

    const long idle = StatusKib("VmRSS");
    const bool reset = static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5");
    RecognizeImageFile(sim.context(), picture.string());
    const long peak = StatusKib("VmHWM");
    const bool recognised = program.state().ReplyText.find("\"ok\"") != std::string::npos;
    std::printf(
        "peak memory of one 4 MiB recognition above idle (target below 64 MiB): %.1f MiB"
        "%s%s\n",
        (peak - idle) / 1024.0, reset ? "" : " (peak since start: no reset)",
        recognised ? "" : " (the recognition failed)");
    std::fflush(stdout);
  }
  close(stop);
  waitpid(child, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
  PrintPeakMemoryOfOneRecognition();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
