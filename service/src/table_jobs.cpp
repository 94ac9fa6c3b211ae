#include "table_jobs.h"

#include <openssl/rand.h>

#include <cstdio>

#include "spreadsheet.h"

namespace tarnwick::service {
namespace {

std::string NewRequestId() {
  unsigned char random[8];
  RAND_bytes(random, sizeof random);
  char text[32];
  std::snprintf(text, sizeof text, "%02x%02x%02x%02x%02x%02x%02x%02x", random[0], random[1],
                random[2], random[3], random[4], random[5], random[6], random[7]);
  return "tw_" + std::string(text);
}

}  // namespace

TableJobs::TableJobs(EnginePool& engines, std::size_t capacity)
    : engines_(engines), capacity_(capacity), worker_([this] { Work(); }) {}

TableJobs::~TableJobs() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queued_.notify_all();
  worker_.join();
}

std::string TableJobs::Submit(PixPtr picture) {
  std::string id = NewRequestId();
  {
    std::lock_guard lock(mutex_);
    jobs_[id].picture = std::move(picture);
    order_.push_back(id);
    waiting_.push_back(id);
    Forget();
  }
  queued_.notify_one();
  return id;
}

std::optional<TableJobStatus> TableJobs::Status(const std::string& requestId) const {
  std::lock_guard lock(mutex_);
  const auto job = jobs_.find(requestId);
  if (job == jobs_.end()) return std::nullopt;
  return job->second.status;
}

std::optional<std::string> TableJobs::Spreadsheet(const std::string& requestId) const {
  std::lock_guard lock(mutex_);
  const auto job = jobs_.find(requestId);
  if (job == jobs_.end() || job->second.status.state != TableJobState::Done) return std::nullopt;
  return job->second.spreadsheet;
}

void TableJobs::Forget() {
  // Oldest first; a job still waiting or running is kept.
  for (auto id = order_.begin(); order_.size() > capacity_ && id != order_.end();) {
    if (jobs_[*id].status.state == TableJobState::Done) {
      jobs_.erase(*id);
      id = order_.erase(id);
    } else {
      ++id;
    }
  }
}

void TableJobs::Work() {
  for (;;) {
    std::string id;
    PixPtr picture;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
      if (stopping_) return;
      id = waiting_.front();
      waiting_.pop_front();
      Job& job = jobs_[id];
      picture = std::move(job.picture);
      job.status.state = TableJobState::Running;
    }
    const auto report = [&](int percent) {
      std::lock_guard lock(mutex_);
      jobs_[id].status.percent = std::min(percent, 99);
    };
    Cells cells;
    {
      EnginePool::Lease engine = engines_.Acquire();
      cells = RecognizeTable(picture.get(), *engine, report);
    }
    std::string spreadsheet = SpreadsheetBytes(cells).value_or("");
    std::lock_guard lock(mutex_);
    Job& job = jobs_[id];
    job.spreadsheet = std::move(spreadsheet);
    job.status = {TableJobState::Done, 100};
  }
}

}  // namespace tarnwick::service
