#include "support/misbehaving_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace tarnwick::testing {

MisbehavingServer::MisbehavingServer(std::vector<ReplyPiece> pieces, AfterReply after)
    : pieces_(std::move(pieces)), after_(after) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("the server could not listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

MisbehavingServer::~MisbehavingServer() {
  stopping_ = true;
  thread_.join();
  close(listener_);
}

void MisbehavingServer::Serve() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (poll(&waiting, 1, 20) <= 0) continue;
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) continue;
    Answer(connection);
    close(connection);
  }
}

bool MisbehavingServer::Wait(int connection, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stopping_) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return true;
    pollfd readable{connection, POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(std::min<long>(left.count(), 20))) > 0) {
      char byte;
      if (recv(connection, &byte, 1, MSG_DONTWAIT) <= 0) return false;  // the client hung up
    }
  }
  return false;
}

void MisbehavingServer::Answer(int connection) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    pollfd readable{connection, POLLIN, 0};
    if (poll(&readable, 1, 2000) <= 0) return;
    const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  for (const ReplyPiece& piece : pieces_) {
    if (send(connection, piece.bytes.data(), piece.bytes.size(), MSG_NOSIGNAL) < 0) return;
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
