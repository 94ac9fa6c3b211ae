#include "support/misbehaving_server.h"

#include <chrono>

namespace tarnwick::testing {

MisbehavingServer::MisbehavingServer(std::vector<ReplyPiece> pieces, AfterReply after)
    : pieces_(std::move(pieces)), after_(after) {}

bool MisbehavingServer::Wait(Socket connection, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!acceptor_.stopping()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return true;
    if (WaitReadable(connection, static_cast<int>(std::min<long long>(left.count(), 20)))) {
      char byte;
      if (ReceiveSome(connection, &byte, 1) <= 0) return false;  // the client hung up
    }
  }
  return false;
}

void MisbehavingServer::Answer(Socket connection) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    if (!WaitReadable(connection, 2000)) return;
    const long n = ReceiveSome(connection, buffer, sizeof buffer);
    if (n <= 0) return;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  for (const ReplyPiece& piece : pieces_) {
    if (!SendAll(connection, piece.bytes.data(), piece.bytes.size())) return;
    if (piece.pauseAfterMs > 0 && !Wait(connection, piece.pauseAfterMs)) return;
  }
  if (after_ == AfterReply::StaySilent) {
    while (Wait(connection, 100)) {
    }
  }
}

std::vector<ReplyPiece> Trickle(const std::string& head, const std::string& piece, int count,
                                int pauseMs) {
  std::vector<ReplyPiece> pieces{{head, pauseMs}};
  for (int i = 0; i < count; ++i) pieces.push_back({piece, pauseMs});
  return pieces;
}

}  // namespace tarnwick::testing
