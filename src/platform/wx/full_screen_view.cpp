#include "platform/wx/full_screen_view.h"
#include "platform/wx/timer_mirror.h"

#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/settings.h>

#include <algorithm>

#include "platform/wx/wx_text.h"

namespace tarnwick {
namespace {

const wxColour kFrameColour(0, 120, 215);
const wxColour kCrosshairColour(230, 0, 0);

wxRect ToWxRect(const Rect& r) {
  return {r.left, r.top, r.width, r.height};
}

// BMP bytes as the program keeps them, as a bitmap; an invalid bitmap for none.
wxImage DecodeBmp(const std::string& bytes) {
  if (bytes.empty()) return {};
  wxLogNull quiet;  // bytes that are no picture simply show nothing
  wxMemoryInputStream stream(bytes.data(), bytes.size());
  return wxImage(stream, wxBITMAP_TYPE_BMP);
}

}  // namespace

FullScreenView::FullScreenView(Form& form)
    : wxDialog(nullptr, wxID_ANY, ToWx(form.caption()), wxPoint(0, 0),
               wxSize(form.width(), form.height()),
               wxBORDER_NONE | wxSTAY_ON_TOP | wxDIALOG_NO_PARENT),
      form_(form) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  BuildTimers();
  for (Control* control : form_.controls()) {
    if (control->kind() == ControlKind::Timer) continue;
    control->Observe([this, alive = alive_](const Control& c, ControlChange change) {
      if (*alive) Mirror(c, change);
    });
  }
  form_.Observe([this, alive = alive_](const Form&, FormChange change) {
    if (*alive) MirrorForm(change);
  });
  background_ = wxBitmap(DecodeBmp(form_.background()));
  Bind(wxEVT_PAINT, &FullScreenView::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &FullScreenView::OnMouse, this);
  Bind(wxEVT_LEFT_UP, &FullScreenView::OnMouse, this);
  Bind(wxEVT_LEFT_DCLICK, &FullScreenView::OnMouse, this);
  Bind(wxEVT_RIGHT_DOWN, &FullScreenView::OnMouse, this);
  Bind(wxEVT_MOTION, &FullScreenView::OnMouse, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { drag_.End(); });
}

FullScreenView::~FullScreenView() {
  *alive_ = false;
  for (auto& timer : timers_) timer->Stop();
  if (HasCapture()) ReleaseMouse();
}

void FullScreenView::BuildTimers() {
  for (Control* control : form_.controls()) {
    if (control->kind() != ControlKind::Timer) continue;
    timers_.push_back(MirrorTimer(*control, alive_));
  }
}

void FullScreenView::RunModal() {
  if (form_.closed()) return;
  ShowModal();
}

void FullScreenView::DragControl(Control& control) {
  const wxPoint pointer = ScreenToClient(wxGetMousePosition());
  drag_.Start(control, pointer.x, pointer.y);
  if (!HasCapture()) CaptureMouse();
}

void FullScreenView::RefreshControl(const Control& control) {
  for (const Rect& stale : painting_.AreasToRepaint(control)) RefreshRect(ToWxRect(stale), false);
}

void FullScreenView::Mirror(const Control& control, ControlChange change) {
  if (change == ControlChange::Picture) pictures_.erase(&control);
  if (ChangeIsSeen(change)) RefreshControl(control);
}

void FullScreenView::MirrorForm(FormChange change) {
  switch (change) {
    case FormChange::Caption:
      SetTitle(ToWx(form_.caption()));
      break;
    case FormChange::Size:
      SetSize(0, 0, form_.width(), form_.height());
      break;
    case FormChange::Background:
      background_ = wxBitmap(DecodeBmp(form_.background()));
      Refresh(false);
      break;
    case FormChange::Closed:
      if (IsModal()) EndModal(wxID_OK);
      break;
  }
}

void FullScreenView::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  if (background_.IsOk()) {
    dc.DrawBitmap(background_, 0, 0);
  } else {
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
  }
  for (const Control* control : painting_.PaintOrder()) DrawControl(dc, *control);
}

void FullScreenView::DrawControl(wxDC& dc, const Control& control) {
  const Rect place = form_.PlaceInClientArea(control);
  if (place.width <= 0 || place.height <= 0) return;
  switch (control.kind()) {
    case ControlKind::Shape:
    case ControlKind::Line:
      dc.SetPen(*wxTRANSPARENT_PEN);
      dc.SetBrush(wxBrush(control.kind() == ControlKind::Shape ? kFrameColour : kCrosshairColour));
      dc.DrawRectangle(ToWxRect(place));
      break;
    case ControlKind::PictureBox: {
      auto found = pictures_.find(&control);
      const bool stale = found == pictures_.end() || found->second.GetWidth() != place.width ||
                         found->second.GetHeight() != place.height;
      if (stale) {
        // The picture is scaled to fill the box, each pixel kept sharp.
        wxImage image = DecodeBmp(control.picture());
        if (image.IsOk()) image.Rescale(place.width, place.height, wxIMAGE_QUALITY_NEAREST);
        found = pictures_.insert_or_assign(&control, wxBitmap(image)).first;
      }
      if (found->second.IsOk()) dc.DrawBitmap(found->second, place.left, place.top);
      break;
    }
    case ControlKind::Label:
      DrawLabel(dc, control, place);
      break;
    default:
      break;
  }
}

void FullScreenView::DrawLabel(wxDC& dc, const Control& label, const Rect& place) {
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
  dc.DrawRectangle(ToWxRect(place));
  dc.SetTextForeground(*wxBLACK);
  std::vector<TextSpan> spans = label.textSpans();
  if (spans.empty()) spans.push_back({label.text(), 0, place.width});
  // The largest font in which every piece fits its span and the label's height.
  wxFont font(wxFontInfo(wxSize(0, place.height)));
  for (int pixels = place.height; pixels > 6; --pixels) {
    font = wxFont(wxFontInfo(wxSize(0, pixels)));
    dc.SetFont(font);
    bool fits = true;
    for (const TextSpan& span : spans) {
      const wxSize extent = dc.GetTextExtent(ToWx(WithNewlines(span.text)));
      fits = fits && extent.x <= span.right - span.left && extent.y <= place.height;
    }
    if (fits) break;
  }
  dc.SetFont(font);
  wxDCClipper clip(dc, ToWxRect(place));
  for (const TextSpan& span : spans) {
    const wxString text = ToWx(WithNewlines(span.text));
    const wxSize extent = dc.GetTextExtent(text);
    dc.DrawText(text, place.left + span.left + (span.right - span.left - extent.x) / 2,
                place.top + (place.height - extent.y) / 2);
  }
}

void FullScreenView::OnMouse(wxMouseEvent& event) {
  const wxPoint at = event.GetPosition();
  if (drag_.active()) {
    drag_.Follow(at.x, at.y);
    if (event.LeftUp()) {
      drag_.End();
      if (HasCapture()) ReleaseMouse();
    }
    return;
  }
  PointerAction action;
  if (event.LeftDown()) {
    action = PointerAction::LeftPress;
  } else if (event.LeftUp()) {
    action = PointerAction::LeftRelease;
  } else if (event.LeftDClick()) {
    action = PointerAction::LeftDoubleClick;
  } else if (event.RightDown()) {
    action = PointerAction::RightPress;
  } else {
    event.Skip();
    return;
  }
  form_.DeliverPointer({action, at.x, at.y});
}

}  // namespace tarnwick
