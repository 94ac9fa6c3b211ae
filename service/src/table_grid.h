#pragma once
// Finds the ruled lines of a table picture with Leptonica's morphology (long thin horizontal
// and vertical strokes survive an opening, text does not) and cuts the picture into its cells.

#include <functional>
#include <string>
#include <vector>

#include "ocr_engine.h"

struct Pix;

namespace tarnwick::service {

struct TableGrid {
  std::vector<int> rows;     // y of each horizontal rule, top to bottom
  std::vector<int> columns;  // x of each vertical rule, left to right
  bool HasCells() const { return rows.size() >= 2 && columns.size() >= 2; }
};

TableGrid FindTableGrid(Pix* picture);

using Cells = std::vector<std::vector<std::string>>;  // rows of cell texts

// The text of every cell, read with the engine; `progress` hears the share done (0 to 100)
// after each cell. A picture without ruled cells gives one row per recognised line.
Cells RecognizeTable(Pix* picture, OcrEngine& engine, const std::function<void(int)>& progress);

}  // namespace tarnwick::service
