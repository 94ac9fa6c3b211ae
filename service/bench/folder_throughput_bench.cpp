// Throughput of the program's folder recognition (按钮_文件夹识别, png ticked, the pause off) on
// a folder of 100 pictures, against the service program started with one and with two
// workers; also two programs at once on 50 pictures each, which is what a second worker can
// serve, since one program sends a picture at a time. Reports the service's peak memory (VmHWM).

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <thread>

#include "bench_support.h"
#include "running_service.h"
#include "support/sim_program.h"
#include "support/temp_folder.h"

namespace {

using namespace tarnwick;

struct ServiceProcess {
  pid_t pid = 0;
  int port = 0;
};

ServiceProcess StartService(int workers, const std::filesystem::path& state) {
  const std::filesystem::path portFile = state / "port";
  std::filesystem::remove(portFile);
  ServiceProcess process;
  process.pid = fork();
  if (process.pid == 0) {
    const std::string count = std::to_string(workers);
    execl(TARNWICK_SERVICE_PROGRAM, TARNWICK_SERVICE_PROGRAM, "--port", "0", "--workers",
          count.c_str(), "--state-folder", state.c_str(), "--port-file", portFile.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 600 && !std::filesystem::exists(portFile); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::ifstream(portFile) >> process.port;
  return process;
}

long PeakKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

double RecognizeFolder(const ServiceEndpoints& endpoints, const std::filesystem::path& folder) {
  testing::SimProgram sim(endpoints);
  MainWindow& window = sim.Start().window();
  window.选择框_png.Click();
  window.选择框_延迟.Click();  // the pause off
  sim.desktop().AnswerText(folder.string());
  return service::bench::Seconds([&] { window.按钮_文件夹识别.Click(); });
}

}  // namespace

int main(int, char** argv) {
  service::bench::LimitEngineThreads(argv);
  // The whole folder, and the same pictures split into two folders for two programs.
  testing::TempFolder whole, firstHalf, secondHalf;
  constexpr int kPictures = 100;
  for (int i = 0; i < kPictures; ++i) {
    const char* sample = service::bench::TextSamples()[i % service::bench::TextSamples().size()];
    const std::string name = std::to_string(i) + "_" + sample;
    const std::filesystem::path source = service::testing::SampleFolder() / sample;
    std::filesystem::copy_file(source, whole.path() / name);
    std::filesystem::copy_file(source, (i < kPictures / 2 ? firstHalf : secondHalf).path() / name);
  }

  std::printf("%-8s %22s %26s %16s\n", "workers", "one program, pictures/s",
              "two programs, pictures/s", "peak memory MB");
  for (int workers : {1, 2}) {
    testing::TempFolder state;
    const ServiceProcess service = StartService(workers, state.path());
    if (service.port == 0) {
      std::cerr << "the service did not start\n";
      return 1;
    }
    ServiceEndpoints endpoints;
    endpoints.apiHost = endpoints.demoHost = endpoints.sampleHost =
        "127.0.0.1:" + std::to_string(service.port);
    endpoints.transport.caFile = (state.path() / "service-certificate.pem").string();

    const double one = RecognizeFolder(endpoints, whole.path());
    const double two = service::bench::Seconds([&] {
      std::thread other([&] { RecognizeFolder(endpoints, secondHalf.path()); });
      RecognizeFolder(endpoints, firstHalf.path());
      other.join();
    });
    const long peak = PeakKilobytes(service.pid);
    kill(service.pid, SIGTERM);
    waitpid(service.pid, nullptr, 0);
    std::printf("%-8d %22.2f %26.2f %16.1f\n", workers, kPictures / one, kPictures / two,
                peak / 1024.0);
  }
}
