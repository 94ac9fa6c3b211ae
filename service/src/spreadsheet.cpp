#include "spreadsheet.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarnwick::service {

std::optional<std::string> SpreadsheetBytes(const Cells& cells) {
  // libxlsxwriter writes to a file only; a private temporary one, removed at once.
  std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-table-XXXXXX").string();
  const int descriptor = mkstemp(pattern.data());
  if (descriptor < 0) return std::nullopt;
  close(descriptor);
  std::optional<std::string> bytes;
  lxw_workbook* workbook = workbook_new(pattern.c_str());
  if (workbook) {
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Sheet1");
    lxw_format* wrap = workbook_add_format(workbook);
    format_set_text_wrap(wrap);
    for (std::size_t r = 0; r < cells.size(); ++r) {
      for (std::size_t c = 0; c < cells[r].size(); ++c) {
        if (cells[r][c].empty()) continue;
        worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                               cells[r][c].c_str(), wrap);
      }
    }
    if (workbook_close(workbook) == LXW_NO_ERROR) {
      std::ifstream file(pattern, std::ios::binary);
      bytes.emplace(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
  }
  std::filesystem::remove(pattern);
  return bytes;
}

}  // namespace tarnwick::service
