// External subsets and entities over HTTP and FTP from loopback servers, through
// the wininet fetcher (Windows only: runs under Wine).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>

#include "tests/support/testthread.h"
#include "tests/xml_model/loopback_http.h"
#include "tests/xml_parser/parser_test_util.h"
#include "xml/platform.h"
#include "xml/win/xmlwin.h"

namespace {

// Serves fixed bodies by path; anything else is 404.
using TBodies = std::map<std::string, std::string>;

class HttpServer : public TLoopbackHttp {
 public:
  explicit HttpServer(TBodies bodies)
      : TLoopbackHttp([this](const std::string& line) { return Answer(line); }), bodies_(std::move(bodies)) {}

 private:
  TReply Answer(const std::string& line) const {
    auto it = bodies_.find(PathOf(line));
    if (it == bodies_.end()) return {"404 Not Found", ""};
    return {"200 OK", it->second};
  }
  TBodies bodies_;
};

class OverTheNetwork : public testing::Test {
 protected:
  void SetUp() override { InstallWinXMLServices(); }
  void TearDown() override { XMLPlatform().Fetcher = nullptr; }
};

TEST_F(OverTheNetwork, ExternalSubsetAndEntity) {
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

TEST_F(OverTheNetwork, MissingResourceAndForbiddenNetwork) {
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

// A one-file FTP server: login, TYPE, PORT or PASV, RETR; every command
// it receives is kept.
class FtpServer {
 public:
  FtpServer(std::string path, std::string body) : path_(std::move(path)), body_(std::move(body)) {
    WSADATA w;
    WSAStartup(MAKEWORD(2, 2), &w);
    listener_ = Listen(port_);
    thread_ = std::make_unique<TTestThread>([this] { Serve(); });
  }
  ~FtpServer() {
    closesocket(listener_);
    thread_.reset();
    WSACleanup();
  }
  std::string Base() const { return "ftp://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> Commands() {
    std::lock_guard<TTestLock> g(m_);
    return commands_;
  }

 private:
  static SOCKET Listen(int& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    int len = sizeof(a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    listen(s, 4);
    return s;
  }
  static void Say(SOCKET c, const std::string& line) {
    std::string l = line + "\r\n";
    send(c, l.data(), static_cast<int>(l.size()), 0);
  }
  void Serve() {
    SOCKET c = accept(listener_, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    Say(c, "220 ready");
    std::string pending;
    SOCKET passive = INVALID_SOCKET;
    sockaddr_in active{};
    bool haveActive = false;
    char buf[512];
    for (;;) {
      std::size_t eol;
      while ((eol = pending.find("\r\n")) == std::string::npos) {
        int n = recv(c, buf, sizeof(buf), 0);
        if (n <= 0) {
          closesocket(c);
          return;
        }
        pending.append(buf, static_cast<std::size_t>(n));
      }
      std::string line = pending.substr(0, eol);
      pending.erase(0, eol + 2);
      {
        std::lock_guard<TTestLock> g(m_);
        commands_.push_back(line);
      }
      std::string verb = line.substr(0, line.find(' '));
      if (verb == "USER") {
        Say(c, "331 password");
      } else if (verb == "PASS") {
        Say(c, "230 in");
      } else if (verb == "TYPE") {
        Say(c, "200 type");
      } else if (verb == "PWD") {
        Say(c, "257 \"/\"");
      } else if (verb == "PASV") {
        int port = 0;
        passive = Listen(port);
        Say(c, "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256) + ")");
      } else if (verb == "PORT") {
        int h[6] = {};
        std::sscanf(line.c_str() + 5, "%d,%d,%d,%d,%d,%d", &h[0], &h[1], &h[2], &h[3], &h[4], &h[5]);
        active.sin_family = AF_INET;
        active.sin_addr.s_addr = htonl(static_cast<u_long>((h[0] << 24) | (h[1] << 16) | (h[2] << 8) | h[3]));
        active.sin_port = htons(static_cast<u_short>(h[4] * 256 + h[5]));
        haveActive = true;
        Say(c, "200 port");
      } else if (verb == "RETR") {
        if (line.substr(5) != path_) {
          Say(c, "550 no such file");
          continue;
        }
        Say(c, "150 sending");
        SOCKET data = INVALID_SOCKET;
        if (passive != INVALID_SOCKET) {
          data = accept(passive, nullptr, nullptr);
          closesocket(passive);
          passive = INVALID_SOCKET;
        } else if (haveActive) {
          data = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
          connect(data, reinterpret_cast<sockaddr*>(&active), sizeof(active));
        }
        send(data, body_.data(), static_cast<int>(body_.size()), 0);
        shutdown(data, SD_SEND);
        closesocket(data);
        Say(c, "226 done");
      } else if (verb == "QUIT") {
        Say(c, "221 bye");
        closesocket(c);
        return;
      } else {
        Say(c, "502 not implemented");
      }
    }
  }
  std::string path_, body_;
  SOCKET listener_;
  int port_ = 0;
  std::unique_ptr<TTestThread> thread_;
  TTestLock m_;
  std::vector<std::string> commands_;
};

TEST_F(OverTheNetwork, ExternalSubsetOverFtp) {
  FtpServer server("/dtd/Gate.dtd", "<!ELEMENT r ANY><!ENTITY e 'over ftp'>");
  auto p = Parse("<!DOCTYPE r SYSTEM '" + server.Base() + "/dtd/Gate.dtd'><r>&e;</r>");
  ASSERT_FALSE(p->failed) << p->error;
  std::string all;
  for (const auto& c : server.Commands()) all += c + "\n";
  EXPECT_NE(std::string::npos, p->dump.find("TEXT \"over ftp\"")) << p->dump << all;
  EXPECT_NE(std::string::npos, all.find("RETR /dtd/Gate.dtd")) << all;
}

}  // namespace
