#include "card_fields.h"

#include <algorithm>
#include <cctype>

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

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The runs of ASCII digits in a text, as (start, length).
std::vector<std::pair<std::size_t, std::size_t>> DigitRuns(const std::string& text) {
  std::vector<std::pair<std::size_t, std::size_t>> runs;
  for (std::size_t i = 0; i < text.size();) {
    if (!IsDigit(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && IsDigit(text[end])) ++end;
    runs.emplace_back(i, end - i);
    i = end;
  }
  return runs;
}

// 18 characters: 17 digits and a digit or X.
std::string IdNumber(const std::string& text) {
  for (const auto& [start, length] : DigitRuns(text)) {
    if (length == 18) return text.substr(start, 18);
    if (length == 17 && start + 17 < text.size() &&
        (text[start + 17] == 'X' || text[start + 17] == 'x')) {
      return text.substr(start, 17) + "X";
    }
  }
  return "";
}

// A date written as year, month and day in digits (with anything between them), as YYYYMMDD.
std::string CompactDate(const std::string& text) {
  const auto runs = DigitRuns(text);
  const auto two = [](const std::string& s) { return s.size() == 1 ? "0" + s : s; };
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (runs[i].second == 8) return text.substr(runs[i].first, 8);
    if (runs[i].second == 4 && i + 2 < runs.size() && runs[i + 1].second <= 2 &&
        runs[i + 2].second <= 2) {
      return text.substr(runs[i].first, 4) +
             two(text.substr(runs[i + 1].first, runs[i + 1].second)) +
             two(text.substr(runs[i + 2].first, runs[i + 2].second));
    }
  }
  return text;
}

// The longest chain of digit groups joined by single spaces that holds 13 to 19 digits, as
// written; empty when there is none.
std::string CardNumber(const std::string& line) {
  std::string best;
  std::size_t bestDigits = 0;
  const auto runs = DigitRuns(line);
  for (std::size_t first = 0; first < runs.size(); ++first) {
    std::size_t digits = 0;
    for (std::size_t last = first; last < runs.size(); ++last) {
      if (last > first) {
        const std::size_t gapStart = runs[last - 1].first + runs[last - 1].second;
        if (runs[last].first - gapStart != 1 || line[gapStart] != ' ') break;
      }
      digits += runs[last].second;
      if (digits >= 13 && digits <= 19 && digits > bestDigits) {
        bestDigits = digits;
        best = line.substr(runs[first].first,
                           runs[last].first + runs[last].second - runs[first].first);
      }
    }
  }
  return best;
}

// "MM/YY", also with spaces around the slash.
std::string ValidDate(const std::string& line) {
  for (std::size_t slash = line.find('/'); slash != std::string::npos;
       slash = line.find('/', slash + 1)) {
    std::size_t before = slash;
    while (before > 0 && line[before - 1] == ' ') --before;
    std::size_t after = slash + 1;
    while (after < line.size() && line[after] == ' ') ++after;
    if (before < 2 || after + 2 > line.size()) continue;
    const std::string month = line.substr(before - 2, 2);
    const std::string year = line.substr(after, 2);
    if (!IsDigit(month[0]) || !IsDigit(month[1]) || !IsDigit(year[0]) || !IsDigit(year[1]))
      continue;
    if (before > 2 && IsDigit(line[before - 3])) continue;
    if (after + 2 < line.size() && IsDigit(line[after + 2])) continue;
    const int m = std::stoi(month);
    if (m >= 1 && m <= 12) return month + "/" + year;
  }
  return "";
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
  for (auto& [name, value] : fields) {
    if (name == "公民身份号码") {
      std::string all;
      for (const std::string& line : lines) all += WithoutSpaces(line) + "\n";
      value = IdNumber(all);
      if (!value.empty()) ++found;
    } else if (name == "出生") {
      value = CompactDate(value);
    }
  }
  if (found == 0) return {};
  return fields;
}

BankCard ReadBankCard(const std::vector<std::string>& lines) {
  BankCard card;
  for (const std::string& line : lines) {
    const std::string number = CardNumber(line);
    if (WithoutSpaces(number).size() > WithoutSpaces(card.number).size()) card.number = number;
    if (card.validDate.empty()) card.validDate = ValidDate(line);
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
