#include "platform/wx/text_wrap.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>

namespace tarnwick {
namespace {

void WrapParagraph(const wxString& paragraph, wxDC& dc, int width, wxString& out) {
  wxArrayInt ends;  // ends[i]: the width of the paragraph's first i + 1 characters
  if (paragraph.empty() || !dc.GetPartialTextExtents(paragraph, ends)) {
    out += paragraph;
    return;
  }
  const auto lineWidth = [&ends](std::size_t from, std::size_t to) {
    return ends[to] - (from == 0 ? 0 : ends[from - 1]);
  };
  std::size_t start = 0;
  std::size_t lastSpace = wxString::npos;  // in the current line
  for (std::size_t i = 0; i < paragraph.size(); ++i) {
    if (paragraph[i] == ' ') {
      lastSpace = i;  // spaces may hang past the edge
      continue;
    }
    while (i > start && lineWidth(start, i) > width) {
      const std::size_t breakAt = lastSpace != wxString::npos ? lastSpace + 1 : i;
      out += paragraph.Mid(start, breakAt - start);
      out += '\n';
      start = breakAt;
      lastSpace = wxString::npos;
    }
  }
  out += paragraph.Mid(start);
}

}  // namespace

wxString WrapToWidth(const wxString& text, const wxFont& font, int width) {
  wxBitmap canvas(1, 1);
  wxMemoryDC dc(canvas);
  dc.SetFont(font);
  wxString out;
  out.reserve(text.size() + text.size() / 16);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    WrapParagraph(text.Mid(start, end == wxString::npos ? wxString::npos : end - start), dc, width,
                  out);
    if (end == wxString::npos) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace tarnwick
