// External subsets and entities over HTTP from a loopback server, through
// the wininet fetcher (Windows only: runs under Wine).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "tests/xml_parser/parser_test_util.h"
#include "xml/platform.h"
#include "xml/win/xmlwin.h"

namespace {

// Serves fixed bodies by path; "/silent" accepts and never answers (Wine's
// wininet does not apply the fetcher's receive timeout, so no test uses it).
using TBodies = std::map<std::string, std::string>;

class HttpServer {
 public:
  explicit HttpServer(TBodies bodies) : bodies_(std::move(bodies)) {
    WSADATA w;
    WSAStartup(MAKEWORD(2, 2), &w);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    int len = sizeof(a);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~HttpServer() {
    stop_ = true;
    closesocket(listener_);
    thread_.join();
    for (SOCKET s : held_) closesocket(s);
    WSACleanup();
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> Paths() {
    std::lock_guard<std::mutex> g(m_);
    return paths_;
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
      std::size_t from = request.find(' ') + 1;
      std::string path = request.substr(from, request.find(' ', from) - from);
      {
        std::lock_guard<std::mutex> g(m_);
        paths_.push_back(path);
      }
      if (path == "/silent") {
        held_.push_back(c);
        continue;
      }
      auto it = bodies_.find(path);
      std::string status = it == bodies_.end() ? "404 Not Found" : "200 OK";
      std::string body = it == bodies_.end() ? "" : it->second;
      std::string reply = "HTTP/1.0 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body;
      send(c, reply.data(), static_cast<int>(reply.size()), 0);
      shutdown(c, SD_SEND);
      closesocket(c);
    }
  }
  TBodies bodies_;
  SOCKET listener_;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex m_;
  std::vector<std::string> paths_;
  std::vector<SOCKET> held_;
};

class OverHttp : public testing::Test {
 protected:
  void SetUp() override { InstallWinXMLServices(); }
  void TearDown() override { XMLPlatform().Fetcher = nullptr; }
};

TEST_F(OverHttp, ExternalSubsetAndEntity) {
  HttpServer parts(TBodies{{"/Part.ent", "<?xml version='1.0' encoding='UTF-8'?><i>from the net</i>"}});
  HttpServer dtds(TBodies{{"/Skins/Gate.DTD", "<!ELEMENT r ANY><!ENTITY part SYSTEM '" + parts.Base() + "/Part.ent'>"}});
  auto p = Parse("<!DOCTYPE r SYSTEM 'HTTP://127.0.0.1:" + dtds.Base().substr(17) + "/Skins/Gate.DTD'><r>&part;</r>");
  ASSERT_FALSE(p->failed) << p->error;
  EXPECT_NE(std::string::npos, p->dump.find("<i>\n    TEXT \"from the net\"")) << p->dump;
  // The path kept its case; only the scheme was lower-cased.
  ASSERT_EQ(1u, dtds.Paths().size());
  EXPECT_EQ("/Skins/Gate.DTD", dtds.Paths()[0]);
  EXPECT_EQ(1u, parts.Paths().size());
}

TEST_F(OverHttp, MissingResourceAndForbiddenNetwork) {
  HttpServer server(TBodies{});
  std::string reported;
  auto p = Parse("<!DOCTYPE r SYSTEM '" + server.Base() + "/none.dtd'><r/>", [&](TLkXMLParser& x) {
    x.OnFileNotFound = TFileNotFoundEvent([&](TObject*, const std::string& name) { reported = name; });
  });
  ASSERT_FALSE(p->failed) << p->error;
  EXPECT_EQ(server.Base() + "/none.dtd", reported);
  auto q = Parse("<!DOCTYPE r SYSTEM '" + server.Base() + "/none.dtd'><r/>",
                 [&](TLkXMLParser& x) { x.ForbidNetwork = true; });
  ASSERT_FALSE(q->failed);
  EXPECT_EQ(1u, server.Paths().size());  // the forbidden parse asked nothing
}

}  // namespace
