#pragma once
// The program's compact JSON form: no blanks, members in document order, integral numbers
// without a decimal point, non-finite numbers as null, and a fixed set of characters escaped.

#include <nlohmann/json.hpp>

#include <string>

namespace tarnwick {

std::string WriteCompactJson(const nlohmann::ordered_json& value);
// A number as the program shows it in text: integral values without point or exponent.
std::string FormatJsonNumber(const nlohmann::ordered_json& number);

}  // namespace tarnwick
