// A one-thread HTTP/1.0 server on a loopback port for the Windows XML tests.
// Each request's first line is recorded and answered by the test's responder.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/testthread.h"

class TLoopbackHttp {
 public:
  struct TReply {
    std::string status;  // "200 OK", "404 Not Found", ...
    std::string body;
  };
  // Gets the request line ("GET /path HTTP/1.1").
  using TResponder = std::function<TReply(const std::string& requestLine)>;

  explicit TLoopbackHttp(TResponder responder) : responder_(std::move(responder)) {
    WSADATA w;
    WSAStartup(MAKEWORD(2, 2), &w);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    int len = sizeof(a);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    listen(listener_, 8);
    thread_ = std::make_unique<TTestThread>([this] { Serve(); });
  }
  ~TLoopbackHttp() {
    stop_ = true;
    closesocket(listener_);
    thread_.reset();
    WSACleanup();
  }
  TLoopbackHttp(const TLoopbackHttp&) = delete;
  TLoopbackHttp& operator=(const TLoopbackHttp&) = delete;

  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> RequestLines() {
    std::lock_guard<TTestLock> g(m_);
    return lines_;
  }
  // The path of each request, in order.
  std::vector<std::string> Paths() {
    std::vector<std::string> paths;
    for (const std::string& line : RequestLines()) paths.push_back(PathOf(line));
    return paths;
  }
  static std::string PathOf(const std::string& line) {
    const std::size_t from = line.find(' ') + 1;
    return line.substr(from, line.find(' ', from) - from);
  }

 private:
  void Serve() {
    while (!stop_) {
      SOCKET c = accept(listener_, nullptr, nullptr);
      if (c == INVALID_SOCKET) return;
      std::string request;
      char buf[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        int n = recv(c, buf, sizeof(buf), 0);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
      }
      const std::string line = request.substr(0, request.find("\r\n"));
      {
        std::lock_guard<TTestLock> g(m_);
        lines_.push_back(line);
      }
      const TReply r = responder_(line);
      const std::string reply = "HTTP/1.0 " + r.status + "\r\nContent-Length: " + std::to_string(r.body.size()) +
                                "\r\nConnection: close\r\n\r\n" + r.body;
      send(c, reply.data(), static_cast<int>(reply.size()), 0);
      shutdown(c, SD_SEND);
      closesocket(c);
    }
  }
  TResponder responder_;
  SOCKET listener_;
  int port_ = 0;
  std::unique_ptr<TTestThread> thread_;
  std::atomic<bool> stop_{false};
  TTestLock m_;
  std::vector<std::string> lines_;
};
