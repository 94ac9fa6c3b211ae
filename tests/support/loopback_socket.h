#pragma once
// The few socket calls the raw test servers make, on POSIX sockets and on Winsock alike.

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstddef>
#include <cstdint>

namespace tarnwick::testing {

#ifdef _WIN32
using Socket = SOCKET;
inline constexpr Socket kNoSocket = INVALID_SOCKET;
#else
using Socket = int;
inline constexpr Socket kNoSocket = -1;
#endif

// Winsock must be started before the first socket of the process; a no-op elsewhere.
inline void StartSockets() {
#ifdef _WIN32
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
#endif
}

inline void CloseSocket(Socket socket) {
#ifdef _WIN32
  closesocket(socket);
#else
  close(socket);
#endif
}

// True when the socket has something to read (or has been closed) within `ms`.
inline bool WaitReadable(Socket socket, int ms) {
  pollfd readable{socket, POLLIN, 0};
#ifdef _WIN32
  return WSAPoll(&readable, 1, ms) > 0;
#else
  return poll(&readable, 1, ms) > 0;
#endif
}

// Bytes read, 0 when the peer hung up, negative on failure.
inline long ReceiveSome(Socket socket, char* buffer, std::size_t size) {
  return static_cast<long>(recv(socket, buffer, static_cast<int>(size), 0));
}

// A peer that has gone away is a failed send, never a signal that ends the test process.
inline bool SendAll(Socket socket, const char* data, std::size_t size) {
#ifdef _WIN32
  constexpr int kFlags = 0;
#else
  constexpr int kFlags = MSG_NOSIGNAL;
#endif
  while (size > 0) {
    const long sent = static_cast<long>(send(socket, data, static_cast<int>(size), kFlags));
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

}  // namespace tarnwick::testing
