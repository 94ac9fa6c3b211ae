#pragma once
// Turns a recognition reply into lines at the end of the output box and, when the user asks
// for it, into a .txt file in "文字识别结果" beside the program. Every recognition kind follows
// its pattern: a header naming the picture, one line per recognised item, the save step and a
// closing empty line, or a notice when nothing was recognised. RenderWordsResult reads the two
// reply layouts of general recognition; the other kinds parse their own replies and use the
// rest.

#include <string>
#include <string_view>

#include "app/app_context.h"

namespace tarnwick {

inline constexpr char kLocalSource[] = "本地";
inline constexpr char kWebSource[] = "网络";
inline constexpr char kResultFolderName[] = "文字识别结果";

enum class ReplyLayout { Key, Demo };

class ResultWriter {
 public:
  explicit ResultWriter(AppContext& app) : app_(app) {}

  // Begins one picture's output. Only general recognition may keep adding to the text waiting
  // to be saved from picture to picture.
  void StartResultOutput(std::string_view prefix, bool mayAccumulate);
  void DeriveSaveBaseName(std::string_view sourceKind, std::string_view sourceText);
  void WriteSourceHeader(std::string_view sourceText);
  void AppendResultLine(std::string_view line);
  void SaveResultFile();
  void WriteEmptyResultNotice(std::string_view sourceText);
  void RenderWordsResult(std::string_view reply, std::string_view sourceKind, ReplyLayout layout);

 private:
  bool Separated() const { return app_.window.选择框_是否分割.ticked(); }

  AppContext& app_;
};

// The base name of a result file for a picture at a web address: the host, the symbol and the
// end of the address (the extension, its dot and the two bytes before it), counted in GBK bytes,
// with characters a file name cannot hold removed.
std::string WebSaveBaseName(std::string_view address, std::string_view symbol);

}  // namespace tarnwick
