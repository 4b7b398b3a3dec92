// The wininet fetcher against a loopback HTTP server, and the whole road of
// an external identifier through it (Windows only: runs under Wine).
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "tests/xml_model/fake_parser.h"
#include "xml/entities.h"
#include "xml/inputbuffer.h"
#include "xml/win/xmlwin.h"

namespace {

// Serves "/skin.dtd" and the public-identifier path; anything else is 404.
class LoopbackServer {
 public:
  LoopbackServer() {
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
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    closesocket(listener_);
    thread_.join();
    WSACleanup();
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> g(m_);
    return requests_;
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
      std::string line = request.substr(0, request.find("\r\n"));
      {
        std::lock_guard<std::mutex> g(m_);
        requests_.push_back(line);
      }
      std::string body, status = "200 OK";
      if (line.find(" /skin.dtd ") != std::string::npos)
        body = std::string(3000, 'x') + "<!ELEMENT skin ANY>";  // more than one block
      else if (line.find(" /cgi-bin/PUBLIC?") != std::string::npos)
        body = "public";
      else
        status = "404 Not Found", body = "no such thing";
      std::string reply = "HTTP/1.0 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\nConnection: close\r\n\r\n" + body;
      send(c, reply.data(), static_cast<int>(reply.size()), 0);
      shutdown(c, SD_SEND);
      closesocket(c);
    }
  }
  SOCKET listener_;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex m_;
  std::vector<std::string> requests_;
};

TEST(WinInetFetcherTest, FetchesOverHttpAndRefusesErrors) {
  LoopbackServer server;
  TWinInetFetcher f;
  TMemoryStream m;
  ASSERT_TRUE(f.Fetch(server.Base() + "/skin.dtd", m));
  EXPECT_EQ(m.AsString(), std::string(3000, 'x') + "<!ELEMENT skin ANY>");
  TMemoryStream missing;
  EXPECT_FALSE(f.Fetch(server.Base() + "/missing.dtd", missing));
  TMemoryStream refused;
  EXPECT_FALSE(f.Fetch("http://127.0.0.1:1/none.dtd", refused));
  ASSERT_GE(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[0].rfind("GET /skin.dtd HTTP/1.", 0), 0u) << server.Requests()[0];
}

TEST(WinInetFetcherTest, ExternalIdentifiersGoThroughTheInstalledFetcher) {
  LoopbackServer server;
  InstallWinXMLServices();
  EXPECT_FALSE(IsWindows95());
  std::string savedService = XMLPlatform().PublicIdService;
  XMLPlatform().PublicIdService = server.Base();
  FakeDoc f;
  TLkNotation n(u"n", &f.doc);
  n.SystemId = Latin1ToWide("HTTP://127.0.0.1:" + server.Base().substr(17) + "/skin.dtd");
  TMemoryStream m;
  EXPECT_TRUE(n.LoadResource(m));
  EXPECT_NE(m.AsString().find("<!ELEMENT skin ANY>"), std::string::npos);
  TLkNotation p(u"p", &f.doc);
  p.PublicId = u"-//Velmora//Skin";
  TMemoryStream pm;
  EXPECT_TRUE(p.LoadResource(pm));
  EXPECT_EQ(pm.AsString(), "public");
  std::vector<std::string> r = server.Requests();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_NE(r[1].find("/cgi-bin/PUBLIC?"), std::string::npos) << r[1];
  XMLPlatform().PublicIdService = savedService;
  XMLPlatform().Fetcher = nullptr;
}

}  // namespace
