// A whole folder of 1,000 small pictures through folder recognition, pause off, against a local
// https service that answers at once. Prints the pictures recognised per second (target: at
// least 100) and the program's memory after the first 100 pictures and after all 1,000, less
// the output box's text, which is meant to grow (target: no larger after the walk).

#include <malloc.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include "support/local_server.h"
#include "support/sim_program.h"
#include "support/test_certificate.h"

namespace {

using namespace tarnwick;

constexpr int kPictures = 1000;
constexpr int kEarlyMark = 100;

struct Memory {
  double heapKiB = 0;  // bytes handed out by malloc and not yet freed
  double residentKiB = 0;
};

Memory MemoryNow() {
  Memory memory;
  const struct mallinfo2 heap = mallinfo2();
  // Large blocks (the output box's text, soon) are mapped apart from the heap's arena.
  memory.heapKiB = static_cast<double>(heap.uordblks + heap.hblkhd) / 1024;
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  memory.residentKiB = static_cast<double>(resident) * sysconf(_SC_PAGESIZE) / 1024;
  return memory;
}

// The service runs in a process of its own, so that the program's memory is measured alone.
// Returns the child's id and its port.
std::pair<pid_t, int> StartService() {
  int portPipe[2];
  if (pipe(portPipe) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    testing::LocalServer service(testing::Scheme::Https);
    // An instant service answers without waiting for the client's delayed acknowledgement.
    service.server().set_tcp_nodelay(true);
    service.server().Post(
        "/rest/2.0/ocr/v1/general_basic", [](const httplib::Request&, httplib::Response& response) {
          response.set_content(R"({"words_result_num":1,"words_result":[{"words":"ok"}]})",
                               "application/json");
        });
    service.Start();
    const int port = service.port();
    if (write(portPipe[1], &port, sizeof port) != sizeof port) _exit(1);
    pause();
    _exit(0);
  }
  int port = 0;
  if (read(portPipe[0], &port, sizeof port) != sizeof port) std::exit(1);
  return {child, port};
}

}  // namespace

int main() {
  // The certificate is made before the service starts, so both processes share its files.
  const std::string caFile = testing::ThrowawayCertificate().certificateFile;
  const auto [service, port] = StartService();
  ServiceEndpoints endpoints;
  endpoints.apiHost = "localhost:" + std::to_string(port);
  endpoints.transport.caFile = caFile;

  testing::SimProgram sim(endpoints);
  const std::filesystem::path folder = sim.folder() / "pictures";
  std::filesystem::create_directory(folder);
  std::mt19937 random(5);
  for (int i = 0; i < kPictures; ++i) {
    std::string bytes(2048, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    testing::WriteFileBytes(folder / ("p" + std::to_string(i) + ".png"), bytes);
  }

  Program& program = sim.Start();
  MainWindow& window = program.window();
  program.state().AccessToken = "tok";
  window.选择框_我自己有key.SetTicked(true);
  window.选择框_功能演示.SetTicked(false);
  window.选择框_延迟.SetTicked(false);
  window.选择框_png.SetTicked(true);

  // The progress label changes once as the walk starts and once after every file.
  int changes = 0;
  Memory early;
  Memory late;
  std::size_t earlyOutput = 0;
  std::size_t lateOutput = 0;
  window.标签_进度.Observe([&](const Control&, ControlChange) {
    const int done = changes++;
    if (done == kEarlyMark) {
      early = MemoryNow();
      earlyOutput = window.编辑框1.text().capacity();
    } else if (done == kPictures) {
      late = MemoryNow();
      lateOutput = window.编辑框1.text().capacity();
    }
  });

  sim.desktop().AnswerText(folder.string());
  const auto start = std::chrono::steady_clock::now();
  window.按钮_文件夹识别.Click();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::printf("pictures recognised: %d of %d\n", changes - 1, kPictures);
  std::printf("pictures per second (target at least 100): %.0f\n", kPictures / seconds);
  const double outputGrowthKiB = static_cast<double>(lateOutput - earlyOutput) / 1024;
  std::printf("output box's buffer grew by %.1f KiB from picture %d to %d\n", outputGrowthKiB,
              kEarlyMark, kPictures);
  std::printf("heap in use after %d pictures: %.0f KiB, after %d: %.0f KiB\n", kEarlyMark,
              early.heapKiB, kPictures, late.heapKiB);
  std::printf("resident after %d pictures: %.0f KiB, after %d: %.0f KiB\n", kEarlyMark,
              early.residentKiB, kPictures, late.residentKiB);
  std::printf("heap growth beyond the output box's buffer (target: none per picture): %.1f KiB\n",
              late.heapKiB - early.heapKiB - outputGrowthKiB);
  kill(service, SIGTERM);
  waitpid(service, nullptr, 0);
  return 0;
}
