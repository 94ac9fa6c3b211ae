#pragma once
// Reads the fields of an ID card, a bank card or a business licence out of the lines that the
// engine recognised on it, the way a person would: a field's value follows its printed label,
// and a bank card's number is the long run of digit groups. It knows nothing of replies.

#include <string>
#include <utility>
#include <vector>

namespace tarnwick::service {

using Fields = std::vector<std::pair<std::string, std::string>>;  // name, value; in reply order

struct Label {
  const char* printed;  // as on the document
  const char* field;    // the reply's member name
};

// The text after each printed label up to the next label or the end of its line; lines without
// a label continue the last field. Spaces are dropped (these documents are Chinese). Every field
// of `labels` appears in the result in the given order, empty when its label was not found;
// `found` counts the labels that were.
Fields ReadLabelledFields(const std::vector<std::string>& lines, const std::vector<Label>& labels,
                          int& found);

// Front side of a resident ID card; the birth date as YYYYMMDD, the number as 18 characters.
// Empty when neither a label nor an ID number was found.
Fields ReadIdCard(const std::vector<std::string>& lines);

struct BankCard {
  std::string number;  // digit groups as printed, joined by single spaces
  std::string validDate;
  int type = 0;  // 0 unknown, 1 debit, 2 credit
  std::string bankName;
};
// A card without a number of 13 to 19 digits gives an empty number.
BankCard ReadBankCard(const std::vector<std::string>& lines);

Fields ReadBusinessLicence(const std::vector<std::string>& lines, int& found);

}  // namespace tarnwick::service
