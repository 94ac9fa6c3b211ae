// Throughput of the program's recognition of a folder of 100 pictures with no pause between
// them (RecognizeImageFile, file after file, as folder recognition calls it) against the
// service program started with one and with two workers; also two programs at once, which is
// what a second worker can serve. Reports the service's peak memory (VmHWM) for each.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <thread>

#include "bench_support.h"
#include "recognition/general_recognition.h"
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

double RecognizeAll(const ServiceEndpoints& endpoints, const std::vector<std::string>& pictures) {
  testing::SimProgram sim(endpoints);
  sim.Start();
  return service::bench::Seconds([&] {
    for (const std::string& picture : pictures) RecognizeImageFile(sim.context(), picture);
  });
}

}  // namespace

int main(int, char** argv) {
  service::bench::LimitEngineThreads(argv);
  testing::TempFolder folder;
  std::vector<std::string> pictures;
  for (int i = 0; i < 100; ++i) {
    const char* sample = service::bench::TextSamples()[i % service::bench::TextSamples().size()];
    const std::filesystem::path path = folder.path() / (std::to_string(i) + "_" + sample);
    std::filesystem::copy_file(service::testing::SampleFolder() / sample, path);
    pictures.push_back(path.string());
  }
  const std::vector<std::string> firstHalf(pictures.begin(), pictures.begin() + 50);
  const std::vector<std::string> secondHalf(pictures.begin() + 50, pictures.end());

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

    const double one = RecognizeAll(endpoints, pictures);
    double two = 0;
    {
      double a = 0, b = 0;
      two = service::bench::Seconds([&] {
        std::thread other([&] { b = RecognizeAll(endpoints, secondHalf); });
        a = RecognizeAll(endpoints, firstHalf);
        other.join();
      });
      (void)a;
      (void)b;
    }
    const long peak = PeakKilobytes(service.pid);
    kill(service.pid, SIGTERM);
    waitpid(service.pid, nullptr, 0);
    std::printf("%-8d %22.2f %26.2f %16.1f\n", workers, pictures.size() / one,
                pictures.size() / two, peak / 1024.0);
  }
}
