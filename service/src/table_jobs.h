#pragma once
// The asynchronous table jobs: a submitted picture is recognised on a thread of its own, cell by
// cell with an engine from the shared pool, while clients ask for the job's state; a finished
// job keeps its spreadsheet until it is among the oldest beyond the store's capacity.

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "ocr_engine.h"
#include "picture_input.h"

namespace tarnwick::service {

enum class TableJobState { Waiting, Running, Done };

struct TableJobStatus {
  TableJobState state = TableJobState::Waiting;
  int percent = 0;
};

class TableJobs {
 public:
  explicit TableJobs(EnginePool& engines, std::size_t capacity = 200);
  ~TableJobs();
  TableJobs(const TableJobs&) = delete;
  TableJobs& operator=(const TableJobs&) = delete;

  // Queues the picture and returns the new job's request id.
  std::string Submit(PixPtr picture);
  std::optional<TableJobStatus> Status(const std::string& requestId) const;
  // The finished job's .xlsx bytes.
  std::optional<std::string> Spreadsheet(const std::string& requestId) const;

 private:
  struct Job {
    PixPtr picture;
    TableJobStatus status;
    std::string spreadsheet;
  };
  void Work();
  void Forget();

  EnginePool& engines_;
  std::size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable queued_;
  std::map<std::string, Job> jobs_;
  std::deque<std::string> order_;  // ids, oldest first
  std::deque<std::string> waiting_;
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace tarnwick::service
