#pragma once
// The form bodies every recognition request is made of, built in one buffer each: a picture
// may be several megabytes, so its base64 is percent-encoded straight into the body.

#include <string>
#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

inline constexpr char kPngDataUrlHead[] = "image=data%3Aimage%2Fpng%3Bbase64%2C";

// head + the picture's base64, percent-encoded + tail; the base64 is kept as the last picture
// sent.
std::string PictureForm(AppContext& app, std::string_view head, std::string_view pictureBytes,
                        std::string_view tail);
// head + the web address, percent-encoded + tail.
std::string AddressForm(std::string_view head, std::string_view address, std::string_view tail);
// A web picture the program fetches itself to send it on; nothing when it cannot be had or is
// far larger than any picture the service takes.
std::string DownloadPicture(const AppContext& app, std::string_view address);

}  // namespace tarnwick
