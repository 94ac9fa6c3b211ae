#include "table_grid.h"

#include <leptonica/allheaders.h>

#include <algorithm>

#include "picture_input.h"

namespace tarnwick::service {
namespace {

// Centres of the runs of positions whose count reaches `threshold`.
std::vector<int> RulePositions(NUMA* counts, float threshold) {
  std::vector<int> positions;
  const int n = numaGetCount(counts);
  int runStart = -1;
  for (int i = 0; i <= n; ++i) {
    float value = 0;
    if (i < n) numaGetFValue(counts, i, &value);
    const bool inRule = i < n && value >= threshold;
    if (inRule && runStart < 0) runStart = i;
    if (!inRule && runStart >= 0) {
      positions.push_back((runStart + i - 1) / 2);
      runStart = -1;
    }
  }
  return positions;
}

struct NumaDeleter {
  void operator()(NUMA* numa) const { numaDestroy(&numa); }
};

}  // namespace

TableGrid FindTableGrid(Pix* picture) {
  TableGrid grid;
  PixPtr gray(pixConvertTo8(picture, 0));
  if (!gray) return grid;
  PixPtr binary(pixThresholdToBinary(gray.get(), 160));
  if (!binary) return grid;
  const int width = pixGetWidth(binary.get());
  const int height = pixGetHeight(binary.get());
  PixPtr horizontal(pixOpenBrick(nullptr, binary.get(), std::max(20, width / 8), 1));
  PixPtr vertical(pixOpenBrick(nullptr, binary.get(), 1, std::max(20, height / 8)));
  if (!horizontal || !vertical) return grid;
  std::unique_ptr<NUMA, NumaDeleter> rowCounts(pixCountPixelsByRow(horizontal.get(), nullptr));
  std::unique_ptr<NUMA, NumaDeleter> columnCounts(pixCountPixelsByColumn(vertical.get()));
  if (!rowCounts || !columnCounts) return grid;
  grid.rows = RulePositions(rowCounts.get(), width / 4.0f);
  grid.columns = RulePositions(columnCounts.get(), height / 4.0f);
  return grid;
}

Cells RecognizeTable(Pix* picture, OcrEngine& engine, const std::function<void(int)>& progress) {
  const TableGrid grid = FindTableGrid(picture);
  Cells cells;
  if (!grid.HasCells()) {
    for (std::string& line : engine.RecognizeLines(picture)) cells.push_back({std::move(line)});
    progress(100);
    return cells;
  }
  PixPtr gray(pixConvertTo8(picture, 0));
  const std::size_t rows = grid.rows.size() - 1;
  const std::size_t columns = grid.columns.size() - 1;
  const int inset = 4;  // keeps the rules themselves out of the cell
  for (std::size_t r = 0; r < rows; ++r) {
    cells.emplace_back();
    for (std::size_t c = 0; c < columns; ++c) {
      const int x = grid.columns[c] + inset;
      const int y = grid.rows[r] + inset;
      const int w = grid.columns[c + 1] - grid.columns[c] - 2 * inset;
      const int h = grid.rows[r + 1] - grid.rows[r] - 2 * inset;
      std::string text;
      if (w > 4 && h > 4) {
        BOX* box = boxCreate(x, y, w, h);
        PixPtr cell(pixClipRectangle(gray.get(), box, nullptr));
        boxDestroy(&box);
        // A white margin: the engine reads text poorly when it touches the picture's edge.
        PixPtr framed(cell ? pixAddBorder(cell.get(), 16, 255) : nullptr);
        if (framed) {
          for (const std::string& line :
               engine.RecognizeLines(framed.get(), PageLayout::SingleBlock)) {
            if (!text.empty()) text += '\n';
            text += line;
          }
        }
      }
      cells.back().push_back(std::move(text));
      progress(static_cast<int>((r * columns + c + 1) * 100 / (rows * columns)));
    }
  }
  return cells;
}

}  // namespace tarnwick::service
