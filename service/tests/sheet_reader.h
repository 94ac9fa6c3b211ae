#pragma once
// Reads a spreadsheet back with a real reader (openpyxl, Debian's python3-openpyxl): the cells
// of the first sheet, one tab-separated line per row.

#include <cstdio>
#include <string>

#include "running_service.h"
#include "support/temp_folder.h"

namespace tarnwick::service::testing {

inline std::string SheetCells(const std::string& xlsx) {
  tarnwick::testing::TempFolder folder;
  const std::filesystem::path file = folder.path() / "table.xlsx";
  tarnwick::testing::WriteFileBytes(file, xlsx);
  const std::string command =
      "/usr/bin/python3 -c \"import openpyxl,sys; ws=openpyxl.load_workbook(sys.argv[1]).active; "
      "print('\\n'.join('\\t'.join('' if c is None else str(c) for c in r) for r in "
      "ws.iter_rows(values_only=True)))\" " +
      file.string();
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

// The known cells of the table sample, in the same form.
inline std::string KnownTable() {
  std::string known;
  for (const std::string& row : SampleLines("table")) known += row + "\n";
  return known;
}

}  // namespace tarnwick::service::testing
