#pragma once
// The program's message box on wx: the text, an icon from the flags, and one button per answer
// with the captions of a Simplified-Chinese system, as real widgets that can be found by their
// captions and retitled while the box is open. The whole text is shown as typed ("&" included),
// wrapped to a readable width; a text taller than the screen scrolls inside the box.

#include <wx/dialog.h>

#include <string_view>

namespace tarnwick {

class MessageDialog : public wxDialog {
 public:
  MessageDialog(std::string_view text, int flags, std::string_view title);
  // The BoxAnswer of the button that closed the box.
  int ShowAndAnswer();

 private:
  int flags_;
};

}  // namespace tarnwick
