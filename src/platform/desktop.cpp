#include "platform/desktop.h"

namespace tarnwick {

std::string_view SystemButtonCaption(int answer) {
  switch (answer) {
    case kAnswerOk:
      return "确定";
    case kAnswerCancel:
      return "取消";
    case kAnswerAbort:
      return "中止(&A)";
    case kAnswerRetry:
      return "重试(&R)";
    case kAnswerIgnore:
      return "忽略(&I)";
    case kAnswerYes:
      return "是(&Y)";
    case kAnswerNo:
      return "否(&N)";
    default:
      return "";
  }
}

std::span<const int> ButtonAnswersFor(int flags) {
  static constexpr int kOk[] = {kAnswerOk};
  static constexpr int kOkCancel[] = {kAnswerOk, kAnswerCancel};
  static constexpr int kAbortRetryIgnore[] = {kAnswerAbort, kAnswerRetry, kAnswerIgnore};
  static constexpr int kYesNoCancel[] = {kAnswerYes, kAnswerNo, kAnswerCancel};
  static constexpr int kYesNo[] = {kAnswerYes, kAnswerNo};
  static constexpr int kRetryCancel[] = {kAnswerRetry, kAnswerCancel};
  switch (flags & kBoxButtonsMask) {
    case kBoxOkCancel:
      return kOkCancel;
    case kBoxAbortRetryIgnore:
      return kAbortRetryIgnore;
    case kBoxYesNoCancel:
      return kYesNoCancel;
    case kBoxYesNo:
      return kYesNo;
    case kBoxRetryCancel:
      return kRetryCancel;
    default:
      return kOk;
  }
}

}  // namespace tarnwick
