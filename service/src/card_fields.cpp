#include "card_fields.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace tarnwick::service {
namespace {

std::string WithoutSpaces(std::string text) {
  std::erase(text, ' ');
  return text;
}

// Drops the colons and spaces that may stand between a label and its value.
std::string ValueText(std::string text) {
  for (const std::string colon : {"：", ":"}) {
    while (text.rfind(colon, 0) == 0) text.erase(0, colon.size());
  }
  return text;
}

}  // namespace

Fields ReadLabelledFields(const std::vector<std::string>& lines, const std::vector<Label>& labels,
                          int& found) {
  Fields fields;
  for (const Label& label : labels) fields.emplace_back(label.field, "");
  found = 0;
  std::vector<bool> seen(labels.size(), false);
  int current = -1;
  for (const std::string& rawLine : lines) {
    const std::string line = WithoutSpaces(rawLine);
    std::size_t position = 0;
    std::size_t valueStart = 0;
    while (position <= line.size()) {
      // The longest label starting here, so that "法定代表人" is not read as a shorter label.
      int match = -1;
      for (std::size_t i = 0; i < labels.size(); ++i) {
        const std::string printed = labels[i].printed;
        if (line.compare(position, printed.size(), printed) == 0 &&
            (match < 0 || printed.size() > std::string(labels[match].printed).size())) {
          match = static_cast<int>(i);
        }
      }
      if (match < 0 || seen[match]) {
        if (position == line.size()) break;
        ++position;
        continue;
      }
      if (current >= 0)
        fields[current].second += ValueText(line.substr(valueStart, position - valueStart));
      seen[match] = true;
      ++found;
      current = match;
      position += std::string(labels[match].printed).size();
      valueStart = position;
    }
    if (current >= 0) fields[current].second += ValueText(line.substr(valueStart));
  }
  return fields;
}

Fields ReadIdCard(const std::vector<std::string>& lines) {
  static const std::vector<Label> labels = {
      {"住址", "住址"}, {"公民身份号码", "公民身份号码"},
      {"出生", "出生"}, {"姓名", "姓名"},
      {"性别", "性别"}, {"民族", "民族"},
  };
  int found = 0;
  Fields fields = ReadLabelledFields(lines, labels, found);
  static const std::regex number(R"(\d{17}[\dXx])");
  static const std::regex date(R"((\d{4})\D{0,4}?(\d{1,2})\D{0,4}?(\d{1,2}))");
  std::smatch match;
  for (auto& [name, value] : fields) {
    if (name == "公民身份号码") {
      std::string all;
      for (const std::string& line : lines) all += WithoutSpaces(line) + "\n";
      value = std::regex_search(all, match, number) ? match.str() : "";
      if (!value.empty()) ++found;
      if (!value.empty() && value.back() == 'x') value.back() = 'X';
    } else if (name == "出生" && std::regex_search(value, match, date)) {
      const auto two = [](const std::string& s) { return s.size() == 1 ? "0" + s : s; };
      value = match.str(1) + two(match.str(2)) + two(match.str(3));
    }
  }
  if (found == 0) return {};
  return fields;
}

BankCard ReadBankCard(const std::vector<std::string>& lines) {
  BankCard card;
  static const std::regex groups(R"(\d{4,6}(?: ?\d{2,6}){2,4})");
  static const std::regex validDate(R"((0[1-9]|1[0-2]) ?/ ?(\d{2}))");
  std::smatch match;
  std::size_t bestDigits = 0;
  for (const std::string& line : lines) {
    for (auto it = std::sregex_iterator(line.begin(), line.end(), groups);
         it != std::sregex_iterator(); ++it) {
      std::string digits = WithoutSpaces(it->str());
      if (digits.size() < 13 || digits.size() > 19 || digits.size() <= bestDigits) continue;
      bestDigits = digits.size();
      card.number = it->str();
    }
    if (card.validDate.empty() && std::regex_search(line, match, validDate)) {
      card.validDate = match.str(1) + "/" + match.str(2);
    }
    const std::string compact = WithoutSpaces(line);
    if (card.bankName.empty()) {
      if (const std::size_t bank = compact.find("银行"); bank != std::string::npos) {
        card.bankName = compact.substr(0, bank + std::string("银行").size());
      }
    }
    std::string upper = compact;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    if (card.type == 0 &&
        (compact.find("借记") != std::string::npos || upper.find("DEBIT") != std::string::npos)) {
      card.type = 1;
    } else if (card.type == 0 && (compact.find("信用") != std::string::npos ||
                                  compact.find("贷记") != std::string::npos ||
                                  upper.find("CREDIT") != std::string::npos)) {
      card.type = 2;
    }
  }
  return card;
}

Fields ReadBusinessLicence(const std::vector<std::string>& lines, int& found) {
  static const std::vector<Label> labels = {
      {"社会信用代码", "社会信用代码"},
      {"统一社会信用代码", "社会信用代码"},
      {"名称", "单位名称"},
      {"类型", "类型"},
      {"法定代表人", "法人"},
      {"负责人", "法人"},
      {"经营者", "法人"},
      {"注册资本", "注册资本"},
      {"成立日期", "成立日期"},
      {"营业期限", "有效期"},
      {"住所", "地址"},
      {"经营场所", "地址"},
      {"经营范围", "经营范围"},
      {"登记机关", "登记机关"},
  };
  Fields raw = ReadLabelledFields(lines, labels, found);
  // Several printed labels name one field; keep the first value found for each.
  Fields fields;
  for (auto& [name, value] : raw) {
    auto same = std::find_if(fields.begin(), fields.end(),
                             [&](const auto& field) { return field.first == name; });
    if (same == fields.end()) {
      fields.emplace_back(name, value);
    } else if (same->second.empty()) {
      same->second = value;
    }
  }
  return fields;
}

}  // namespace tarnwick::service
