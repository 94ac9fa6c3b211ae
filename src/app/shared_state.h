#pragma once
// The one record through which commands, option handlers and the result writer hand texts to
// each other for the whole run. It is never saved as a whole; the access token alone is also
// kept in the settings file.

#include <string>
#include <vector>

#include "platform/desktop.h"
#include "support/json_object.h"

namespace tarnwick {

struct SharedState {
  std::string ImagePath;        // full path of the local picture being recognised
  std::string ImageUrl;         // web address of the picture being recognised
  std::string RequestBody;      // form body of the last request
  std::string GeneralEndpoint;  // full address of the general recognition endpoint
  std::string DetectDirection = "false";
  std::string ReplyText;        // the last reply, narrowed to what GBK can hold
  std::string AccessToken;      // empty: none held
  std::string ImageBase64;      // base64 of the last picture sent
  std::string PendingSaveText;  // text waiting to be saved to a .txt file
  std::string SaveTypePrefix;
  std::string SaveBaseName;
  std::string SaveSymbol = "：";
  std::string SaveTimestamp;
  bool SymbolConfirmed = false;
  std::string TableRequestId;
  std::string SeenClipboardText;

  // The capture window's state. The selection outlives each window, so that the next capture
  // window starts with the previous selection in force.
  ScreenRect CaptureSelection;
  bool IsDragging = false;
  ScreenPoint DragAnchor;
  std::string ScreenSnapshot;    // the whole screen as the capture window opened, BMP bytes
  std::string MagnifierPicture;  // the strip the magnifier took last, BMP bytes

  // Long-lived readers of service replies: the latest reply, and one element of a result list.
  JsonObject replyDocument;
  JsonObject itemDocument;
  std::vector<std::string> memberNames;
};

}  // namespace tarnwick
