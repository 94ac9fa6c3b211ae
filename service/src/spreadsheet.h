#pragma once
// Writes recognised table cells as an .xlsx workbook with libxlsxwriter.

#include <optional>
#include <string>

#include "table_grid.h"

namespace tarnwick::service {

// The workbook's bytes: one sheet, one spreadsheet cell per table cell. Nothing on failure.
std::optional<std::string> SpreadsheetBytes(const Cells& cells);

}  // namespace tarnwick::service
