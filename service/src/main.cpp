// tarnwick-service: the local OCR service. Prints where it listens and which certificate to
// trust, writes the port file when asked, and stops cleanly on SIGINT or SIGTERM.

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "ocr_service.h"
#include "sample_pictures.h"

int main(int argc, char** argv) {
  using namespace tarnwick::service;
  // Each engine recognises on one thread: the workers already keep every core busy, and
  // Tesseract's own OpenMP threads on top of them only fight for the cores (half the speed on
  // two cores). The OpenMP runtime reads its limit when it loads, so the limit is set and the
  // program started again.
  if (!std::getenv("OMP_THREAD_LIMIT")) {
    setenv("OMP_THREAD_LIMIT", "1", 1);
    std::error_code unknown;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", unknown);
    if (!unknown) execv(self.c_str(), argv);
  }
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
      std::cout << kServiceUsage;
      return 0;
    }
  }
  std::string problem;
  const std::optional<ServiceOptions> options =
      ParseServiceOptions(std::vector<std::string>(argv + 1, argv + argc), problem);
  if (!options) {
    std::cerr << "tarnwick-service: " << problem << "\n" << kServiceUsage;
    return 2;
  }

  // Signals are taken by a thread of their own, which may safely stop the server.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  try {
    OcrService service(*options);
    if (service.Bind() == 0) {
      std::cerr << "tarnwick-service: cannot listen on " << options->address << ":" << options->port
                << "\n";
      return 1;
    }
    std::thread stopper([&] {
      int received = 0;
      sigwait(&stopSignals, &received);
      service.Stop();
    });
    std::cout << "Tarnwick OCR service on " << service.BaseAddress() << " with " << options->workers
              << " workers\n";
    if (!service.certificateFile().empty()) {
      std::cout << "certificate: " << service.certificateFile() << "\n";
    }
    std::cout << "sample pictures: " << service.sampleCount() << " of "
              << std::size(kSamplePictures) << " in " << options->sampleFolder.string() << "\n";
    std::cout.flush();
    if (!options->portFile.empty()) {
      const std::string partial = options->portFile.string() + ".partial";
      std::ofstream(partial) << service.port() << "\n";
      std::filesystem::rename(partial, options->portFile);
    }
    service.Serve();
    // Serve returned on its own (not by a signal): let the stopper go.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
  } catch (const std::exception& error) {
    std::cerr << "tarnwick-service: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
