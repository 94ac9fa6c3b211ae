#pragma once
// The flow that the handwriting, office-document, business-licence, ID-card and bank-card
// commands share: precondition, image-source prompt, file or address, mode, one request,
// optional reply box, interpretation into labelled lines and the save step. Each command is one
// PromptCommand row of constants plus the few functions where it really differs; the rows live
// in special_recognition.cpp and card_recognition.cpp. This file knows no command by name.

#include <string>
#include <string_view>
#include <vector>

#include "app/app_context.h"

namespace tarnwick {

enum class RecognitionMode { Key, Demo };

inline constexpr char kKeyModeWord[] = "key";
inline constexpr char kDemoModeWord[] = "演示";

// What the service says when it found nothing at all in the picture.
inline constexpr char kEmptyResultMarker[] = "words_result_num\":0";

// One picture on its way to the service.
struct ImageRequest {
  std::string_view sourceWord;  // kLocalSource or kWebSource
  std::string_view image;       // the file's path or the web address
  RecognitionMode mode;
};

// The status markers of a reply with nothing in it, in the order they are looked for, and the
// message each one gives. The last marker's message is followed by the whole reply.
struct ImageStatusMessages {
  const char* nonIdCard;
  const char* blurred;
  const char* otherTypeCard;
  const char* overExposure;
  const char* overDark;
  const char* allFieldsEmpty;
};

struct PromptCommand {
  const char* promptText;
  const char* samplePath;  // on the sample host, prefilled in the address box
  const char* savePrefix;  // of the result file's name
  // The key-mode endpoint; null for a command the service offers only in demo mode, which then
  // ticks demo mode itself once the prompt is answered.
  const char* keyPath;
  bool (*precondition)(AppContext& app);
  std::string (*body)(AppContext& app, const ImageRequest& request);
  // Turns the parsed reply (in replyDocument) into the output lines.
  std::vector<std::string> (*lines)(AppContext& app, RecognitionMode mode);
  // Applied to the reply before anything reads it; null: none.
  std::string (*rewriteReply)(std::string_view reply) = nullptr;
  // Shown when the reply holds the empty-result marker; null: silence.
  const ImageStatusMessages* statusMessages = nullptr;
};

// The click handler of a command's button.
void RunPromptCommand(AppContext& app, const PromptCommand& command);

// The request routine: sends one picture and puts what came back in the output box and the
// result file. `modeWord` is "key" or "演示".
void RecognizeWithCommand(AppContext& app, const PromptCommand& command,
                          std::string_view sourceWord, std::string_view image,
                          std::string_view modeWord);

// Helpers for the commands' body functions.
// head + the picture's base64, percent-encoded + tail; the base64 is kept as the last picture
// sent.
std::string PictureForm(AppContext& app, std::string_view head, std::string_view pictureBytes,
                        std::string_view tail);
// The picture's bytes: the local file's, or (for a web address) those downloaded from it.
std::string PictureBytes(AppContext& app, const ImageRequest& request);
// head + the web address, percent-encoded + tail.
std::string AddressForm(std::string_view head, std::string_view address, std::string_view tail);
// The full https address of an endpoint on the API host, percent-encoded for a form value: how
// the demo endpoint is told which service to stand in for.
std::string EncodedEndpoint(const AppContext& app, std::string_view path);

inline constexpr char kPngDataUrlHead[] = "image=data%3Aimage%2Fpng%3Bbase64%2C";

}  // namespace tarnwick
