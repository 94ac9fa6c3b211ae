#include "recognition/result_writer.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/message_boxes.h"
#include "recognition/access_token.h"
#include "support/gbk_text.h"
#include "support/paths.h"
#include "support/text_helpers.h"

namespace tarnwick {
namespace {

// A reply cannot make the box grow without end: a count beyond the list gives empty lines, but
// never more lines than this, whatever number the reply claims.
constexpr long kMostLinesPerReply = 100000;

long LeadingInteger(const std::string& text) {
  return std::strtol(text.c_str(), nullptr, 10);
}

}  // namespace

std::string WebSaveBaseName(std::string_view address, std::string_view symbol) {
  const std::string gbk = Utf8ToGbk(address);
  const std::string host = TextBetween(gbk, "//", "/");
  const std::size_t lastDot = gbk.rfind('.');
  // The extension with its dot and the two bytes before it; the whole text without a dot.
  const std::size_t tailStart = lastDot == std::string::npos ? 0 : (lastDot >= 2 ? lastDot - 2 : 0);
  std::string name = host + Utf8ToGbk(symbol) + gbk.substr(tailStart);
  name = ReplaceAll(name, "/", "-");
  for (const char* banned : {"\\", ":", "?", "*", "<", ">", "\"", "'"}) {
    name = ReplaceAll(name, banned, "");
  }
  return GbkToUtf8(name);
}

void ResultWriter::StartResultOutput(std::string_view prefix, bool mayAccumulate) {
  MainWindow& window = app_.window;
  if (!mayAccumulate || !window.选择框_保存_识别文件夹的结果递增保存.ticked()) {
    app_.state.PendingSaveText.clear();
  }
  app_.state.SaveTypePrefix = window.选择框_保存_类型.ticked() ? std::string(prefix) : "";
}

void ResultWriter::DeriveSaveBaseName(std::string_view sourceKind, std::string_view sourceText) {
  if (sourceKind == kLocalSource) {
    const std::size_t slash = sourceText.rfind('/');
    app_.state.SaveBaseName =
        std::string(slash == std::string_view::npos ? sourceText : sourceText.substr(slash + 1));
  } else if (sourceKind == kWebSource) {
    app_.state.SaveBaseName = WebSaveBaseName(sourceText, app_.state.SaveSymbol);
  }
}

void ResultWriter::WriteSourceHeader(std::string_view sourceText) {
  if (Separated())
    app_.window.AppendOutput("--------识别文件：" + std::string(sourceText) + "\r\n");
}

void ResultWriter::AppendResultLine(std::string_view line) {
  const std::string text = std::string(line) + "\r\n";
  if (app_.window.选择框_保存识别结果txt.ticked()) app_.state.PendingSaveText += text;
  app_.window.AppendOutput(text);
}

void ResultWriter::SaveResultFile() {
  MainWindow& window = app_.window;
  SharedState& state = app_.state;
  if (state.PendingSaveText.empty() || !window.选择框_保存识别结果txt.ticked()) return;
  if (!window.选择框_编码_utf8.ticked() && !window.选择框_编码_ansi.ticked()) {
    window.选择框_编码_ansi.SetTicked(true);
  }
  const std::filesystem::path folder = app_.runDirectory / Utf8Path(kResultFolderName);
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  state.SaveTimestamp = window.选择框_保存_是否加时间戳.ticked() ? UnixTimestamp() : "";
  if (!window.选择框_保存_符号.ticked()) state.SaveSymbol.clear();
  const std::filesystem::path file =
      folder / Utf8Path(state.SaveTypePrefix + state.SaveBaseName + state.SaveSymbol +
                        state.SaveTimestamp + ".txt");
  // Failures are not reported: the text stays in the box.
  if (window.选择框_编码_ansi.ticked()) WriteTextFileInEncoding(file, state.PendingSaveText, "GBK");
  if (window.选择框_编码_utf8.ticked()) {
    WriteTextFileInEncoding(file, state.PendingSaveText, "UTF-8");
  }
}

void ResultWriter::WriteEmptyResultNotice(std::string_view sourceText) {
  WriteSourceHeader(sourceText);
  if (Separated()) {
    app_.window.AppendOutput("--------返回内容为空,请更换模式后重试或更换图片后重试\r\n\r\n");
  }
}

void ResultWriter::RenderWordsResult(std::string_view reply, std::string_view sourceKind,
                                     ReplyLayout layout) {
  StartResultOutput("普通识别_", true);
  if (layout == ReplyLayout::Key &&
      reply.find("Access token invalid or no longer valid") != std::string_view::npos) {
    AccessTokenStore(app_).InvalidateAccessToken();
    TopmostAwareMessageBox(app_, kTokenInvalidMessage, kBoxIconError);
    return;
  }
  SharedState& state = app_.state;
  const std::string sourceText = sourceKind == kLocalSource ? state.ImagePath : state.ImageUrl;
  DeriveSaveBaseName(sourceKind, sourceText);
  state.replyDocument.Parse(reply);
  // The list object is fetched afresh for every item; fetching shares the parsed reply rather
  // than copying it, so a reply of n items costs time linear in n.
  const auto listObject = [&state, layout] {
    return layout == ReplyLayout::Key ? state.replyDocument : state.replyDocument.GetObject("data");
  };
  long count = LeadingInteger(listObject().GetObject("words_result_num").ToJson());
  if (count == 0) {
    WriteEmptyResultNotice(sourceText);
    return;
  }
  count = std::min(count, std::max<long>(kMostLinesPerReply,
                                         listObject().GetObject("words_result").MemberCount()));
  WriteSourceHeader(sourceText);
  for (long i = 0; i < count; ++i) {
    state.itemDocument.Parse(
        listObject().GetObject("words_result").GetElementText(static_cast<int>(i), "", true));
    AppendResultLine(state.itemDocument.GetText("words"));
  }
  SaveResultFile();
  if (Separated()) app_.window.AppendOutput("\r\n");
  if (layout == ReplyLayout::Demo && state.PendingSaveText.empty() &&
      app_.window.选择框_返回信息提示.ticked()) {
    PlainMessageBox(app_, "返回识别结果为：" + std::string(reply), kBoxOk);
  }
}

}  // namespace tarnwick
