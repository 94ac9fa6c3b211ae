#pragma once
// Table recognition: an asynchronous job at the service. Submitting sends a picture of a
// bordered table and keeps the job's request id; fetching asks how far the job is and, once it
// is done, offers the address of the spreadsheet. Key mode only. It writes nothing to the
// output box or to result files.

#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

// The click handler of 按钮_识别_表格文字识别.
void SubmitTable(AppContext& app);
// Sends the picture (source "本地" or "网络", its path or address; mode always "key") and keeps
// the request id the reply carries.
void SendTableRequest(AppContext& app, std::string_view source, std::string_view picture,
                      std::string_view mode);
// The click handler of 按钮_识别_取回识别结果.
void FetchTableResult(AppContext& app);

}  // namespace tarnwick
