#pragma once
// A plain-TCP listener on 127.0.0.1 that answers every request with a scripted misbehaviour:
// pieces of a reply with pauses between them, then either a closed connection or silence until
// the client gives up. It shows how the request routine copes with servers that break off,
// stall, trickle or send malformed replies.

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::testing {

struct ReplyPiece {
  std::string bytes;
  int pauseAfterMs = 0;
};

enum class AfterReply { Close, StaySilent };

class MisbehavingServer {
 public:
  MisbehavingServer(std::vector<ReplyPiece> pieces, AfterReply after);
  ~MisbehavingServer();
  MisbehavingServer(const MisbehavingServer&) = delete;
  MisbehavingServer& operator=(const MisbehavingServer&) = delete;

  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  void Serve();
  void Answer(int connection);
  // Waits up to `ms`, or until the server stops or the client hangs up; false on the latter two.
  bool Wait(int connection, int ms);

  std::vector<ReplyPiece> pieces_;
  AfterReply after_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

// A reply piece by piece: `count` pieces of `piece`, `pauseMs` apart.
std::vector<ReplyPiece> Trickle(const std::string& head, const std::string& piece, int count,
                                int pauseMs);

}  // namespace tarnwick::testing
