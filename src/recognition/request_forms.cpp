#include "recognition/request_forms.h"

#include "support/base64.h"
#include "support/file_bytes.h"
#include "support/http_request.h"
#include "support/text_helpers.h"

namespace tarnwick {

std::string PictureForm(AppContext& app, std::string_view head, std::string_view pictureBytes,
                        std::string_view tail) {
  std::string body(head);
  app.state.ImageBase64 = Base64EncodeForForm(pictureBytes, body);
  body += tail;
  return body;
}

std::string AddressForm(std::string_view head, std::string_view address, std::string_view tail) {
  std::string body(head);
  AppendUrlEncoded(body, address);
  body += tail;
  return body;
}

std::string DownloadPicture(const AppContext& app, std::string_view address) {
  return HttpRequest({.url = address, .maxReplyBytes = kMaxPictureBytes}, app.services.transport);
}

}  // namespace tarnwick
