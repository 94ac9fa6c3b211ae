#pragma once
// A plain-TCP listener on 127.0.0.1 that answers every request with a scripted misbehaviour:
// pieces of a reply with pauses between them, then either a closed connection or silence until
// the client gives up. It shows how the request routine copes with servers that break off,
// stall, trickle or send malformed replies.

#include <string>
#include <vector>

#include "support/loopback_acceptor.h"

namespace tarnwick::testing {

struct ReplyPiece {
  std::string bytes;
  int pauseAfterMs = 0;
};

enum class AfterReply { Close, StaySilent };

class MisbehavingServer {
 public:
  MisbehavingServer(std::vector<ReplyPiece> pieces, AfterReply after);
  MisbehavingServer(const MisbehavingServer&) = delete;
  MisbehavingServer& operator=(const MisbehavingServer&) = delete;

  std::string base() const { return "http://127.0.0.1:" + std::to_string(acceptor_.port()); }

 private:
  void Answer(Socket connection);
  // Waits up to `ms`, or until the server stops or the client hangs up; false on the latter two.
  bool Wait(Socket connection, int ms);

  std::vector<ReplyPiece> pieces_;
  AfterReply after_;
  LoopbackAcceptor acceptor_{[this](Socket connection) { Answer(connection); }};
};

// A reply piece by piece: `count` pieces of `piece`, `pauseMs` apart.
std::vector<ReplyPiece> Trickle(const std::string& head, const std::string& piece, int count,
                                int pauseMs);

}  // namespace tarnwick::testing
