// The wininet fetcher against a loopback HTTP server, and the whole road of
// an external identifier through it (Windows only: runs under Wine).
#include <gtest/gtest.h>

#include "tests/xml_model/fake_parser.h"
#include "tests/xml_model/loopback_http.h"
#include "xml/entities.h"
#include "xml/inputbuffer.h"
#include "xml/win/xmlwin.h"

namespace {

// Serves "/skin.dtd" and the public-identifier path; anything else is 404.
class LoopbackServer : public TLoopbackHttp {
 public:
  LoopbackServer() : TLoopbackHttp(Answer) {}
  std::vector<std::string> Requests() { return RequestLines(); }

 private:
  static TReply Answer(const std::string& line) {
    if (line.find(" /skin.dtd ") != std::string::npos)
      return {"200 OK", std::string(3000, 'x') + "<!ELEMENT skin ANY>"};  // more than one block
    if (line.find(" /cgi-bin/PUBLIC?") != std::string::npos) return {"200 OK", "public"};
    return {"404 Not Found", "no such thing"};
  }
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
