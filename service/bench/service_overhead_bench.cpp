// Per picture: the service (an https request with the base64 picture, as the program sends it)
// against the `tesseract` command-line program on the same picture, in the same run, and
// against the engine called in-process (what the service adds around the engine). Medians of
// repeated runs; prints the ratios the target is stated in (service overhead below 10 %).

#include <httplib.h>

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "bench_support.h"
#include "ocr_engine.h"
#include "picture_input.h"
#include "running_service.h"
#include "support/base64.h"
#include "support/text_helpers.h"

int main(int, char** argv) {
  using namespace tarnwick::service;
  bench::LimitEngineThreads(argv);
  constexpr int kRuns = 5;
  testing::RunningService running([](ServiceOptions& options) { options.workers = 1; });
  OcrEngine engine("chi_sim+eng");
  httplib::Client probe(running.base());
  probe.set_ca_cert_path(running.certificate().c_str());
  const std::string token = nlohmann::json::parse(
      probe.Get("/oauth/2.0/token?grant_type=client_credentials&client_id=a&client_secret=b&")
          ->body)["access_token"];

  std::printf("%-16s %10s %10s %10s %14s %14s\n", "picture", "CLI s", "service s", "engine s",
              "service/CLI", "service/engine");
  double totalCli = 0, totalService = 0, totalEngine = 0;
  for (const char* name : bench::TextSamples()) {
    const std::filesystem::path path = testing::SampleFolder() / name;
    const std::string bytes = testing::SampleBytes(name);
    const std::string body = "image=" + tarnwick::UrlEncode(tarnwick::Base64Encode(bytes)) +
                             "&language_type=CHN_ENG&detect_direction=false";
    const std::string command =
        "tesseract '" + path.string() + "' stdout -l chi_sim+eng >/dev/null 2>&1";
    const double cli = bench::MedianSeconds(kRuns, [&] {
      if (std::system(command.c_str()) != 0) std::cerr << "tesseract failed\n";
    });
    const double service = bench::MedianSeconds(kRuns, [&] {
      // A connection per picture, as the program makes them.
      httplib::Client client(running.base());
      client.set_ca_cert_path(running.certificate().c_str());
      client.set_read_timeout(60);
      const auto reply = client.Post("/rest/2.0/ocr/v1/general_basic?access_token=" + token, body,
                                     "application/x-www-form-urlencoded");
      if (!reply || reply->body.find("words_result") == std::string::npos) std::cerr << "failed\n";
    });
    const double inProcess = bench::MedianSeconds(kRuns, [&] {
      PictureProblem problem;
      PixPtr picture = ReadPicture(bytes, problem);
      engine.RecognizeLines(picture.get());
    });
    totalCli += cli;
    totalService += service;
    totalEngine += inProcess;
    std::printf("%-16s %10.3f %10.3f %10.3f %13.1f%% %13.1f%%\n", name, cli, service, inProcess,
                (service / cli - 1) * 100, (service / inProcess - 1) * 100);
  }
  std::printf("%-16s %10.3f %10.3f %10.3f %13.1f%% %13.1f%%\n", "all", totalCli, totalService,
              totalEngine, (totalService / totalCli - 1) * 100,
              (totalService / totalEngine - 1) * 100);
  std::printf("(negative: the service is faster; the CLI loads the language data every time)\n");
}
