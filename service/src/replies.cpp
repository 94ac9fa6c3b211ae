#include "replies.h"

#include <atomic>
#include <chrono>

#include "card_fields.h"

namespace tarnwick::service {
namespace {

std::uint64_t NextLogId() {
  static std::atomic<std::uint64_t> next = static_cast<std::uint64_t>(
      std::chrono::system_clock::now().time_since_epoch().count() / 1000);
  return next++;
}

Json WordsList(const std::vector<std::string>& lines) {
  Json list = Json::array();
  for (const std::string& line : lines) list.push_back({{"words", line}});
  return list;
}

Json FieldObject(const Fields& fields) {
  Json object = Json::object();
  for (const auto& [name, value] : fields) object[name] = {{"words", value}};
  return object;
}

Json KindBody(Kind kind, const std::vector<std::string>& lines) {
  Json body = Json::object();
  switch (kind) {
    case Kind::General:
    case Kind::Accurate:
    case Kind::Handwriting:
      body["words_result"] = WordsList(lines);
      body["words_result_num"] = lines.size();
      break;
    case Kind::Office: {
      Json results = Json::array();
      for (const std::string& line : lines) {
        results.push_back({{"words_type", "print"}, {"words", {{"word", line}}}});
      }
      body["results_num"] = lines.size();
      body["results"] = std::move(results);
      break;
    }
    case Kind::Licence: {
      int found = 0;
      const Fields fields = ReadBusinessLicence(lines, found);
      body["words_result"] = found > 0 ? FieldObject(fields) : Json::object();
      body["words_result_num"] = found > 0 ? fields.size() : 0;
      break;
    }
    case Kind::IdCard: {
      const Fields fields = ReadIdCard(lines);
      std::string number;
      for (const auto& [name, value] : fields) {
        if (name == "公民身份号码") number = value;
      }
      body["words_result"] = FieldObject(fields);
      body["words_result_num"] = fields.size();
      body["idcard_number_type"] = number.empty() ? -1 : 1;
      body["image_status"] = fields.empty() ? "non_idcard" : "normal";
      break;
    }
    case Kind::BankCard: {
      const BankCard card = ReadBankCard(lines);
      body["result"] = {{"bank_card_number", card.number},
                        {"valid_date", card.validDate},
                        {"bank_card_type", card.number.empty() ? 0 : card.type},
                        {"bank_name", card.bankName}};
      // The program looks for these two members to tell the user that no card was found.
      if (card.number.empty()) {
        body["words_result_num"] = 0;
        body["image_status"] = "non_idcard";
      }
      break;
    }
  }
  return body;
}

}  // namespace

bool KindFromName(const std::string& name, Kind& kind) {
  const std::string last = name.substr(name.find_last_of('/') + 1);
  static const std::pair<const char*, Kind> names[] = {
      {"general_basic", Kind::General},
      {"general", Kind::General},
      {"accurate_basic", Kind::Accurate},
      {"handwriting", Kind::Handwriting},
      {"doc_analysis_office", Kind::Office},
      {"business_license", Kind::Licence},
      {"idcard", Kind::IdCard},
      {"bankcard", Kind::BankCard},
  };
  for (const auto& [text, value] : names) {
    if (last == text) {
      kind = value;
      return true;
    }
  }
  return false;
}

Json ErrorReply(const ServiceError& error, Layout layout) {
  if (layout == Layout::Demo)
    return {{"errno", error.code}, {"msg", error.message}, {"data", Json::object()}};
  return {{"error_code", error.code}, {"error_msg", error.message}, {"log_id", NextLogId()}};
}

Json RecognitionReply(Kind kind, Layout layout, const std::vector<std::string>& lines,
                      int direction) {
  Json body = KindBody(kind, lines);
  if (direction >= 0) body["direction"] = direction;
  body["log_id"] = NextLogId();
  if (layout == Layout::Key) return body;
  return {{"errno", 0}, {"msg", "success"}, {"data", std::move(body)}};
}

Json TokenReply(const std::string& token) {
  return {{"refresh_token", "25." + token.substr(3)},
          {"expires_in", 2592000},
          {"session_key", "local"},
          {"access_token", token},
          {"scope", "public brain_all_scope"},
          {"session_secret", ""}};
}

Json TokenError(const char* error, const char* description) {
  return {{"error", error}, {"error_description", description}};
}

Json TableSubmitted(const std::string& requestId) {
  const std::uint64_t logId = NextLogId();
  return {{"result", Json::array({{{"request_id", requestId}, {"log_id", logId}}})},
          {"log_id", logId}};
}

Json TableStatus(const std::string& requestId, int retCode, int percent,
                 const std::string& downloadAddress) {
  static const char* const words[] = {"", "未开始", "进行中", "已完成"};
  return {{"result",
           {{"result_data", downloadAddress},
            {"ret_msg", words[retCode]},
            {"request_id", requestId},
            {"percent", percent},
            {"ret_code", retCode}}},
          {"log_id", NextLogId()}};
}

}  // namespace tarnwick::service
