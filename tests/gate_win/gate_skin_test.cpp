// The gate with a skin: what a broken or hostile skin leads to. (Its look,
// by pixels, is checked on a screen: gate_skin_screen_test.cpp.)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "base/locale.h"
#include "base/sysutils.h"
#include "gate_fixture.h"
#include "tests/xml_model/loopback_http.h"

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

const char* const kWindowParts =
    R"(<text x="10" y="20" width="200" height="100" color="#FFFF00"/>)"
    R"(<inputbox x="20" y="150" width="100" height="17" color="#FFC0CB"/>)"
    R"(<button x="200" y="170" width="43" height="15" buttonup="up.bmp" buttondown="down.bmp"/>)";

class GateSkinTest : public GateTest {
 protected:
  // A skin folder with a 320 x 200 background and 43 x 15 buttons, and the
  // given "skin.xml"; selected in the settings.
  std::string InstallSkin(const std::string& name, const std::string& xml) {
    const std::string folder = SkinFolder(name);
    lkfix::WriteSolidBmp(folder + "back.bmp", 320, 200, RGB(20, 40, 90));
    lkfix::WriteSolidBmp(folder + "up.bmp", 43, 15, RGB(30, 160, 60));
    lkfix::WriteSolidBmp(folder + "down.bmp", 43, 15, RGB(20, 110, 40));
    WriteFile(folder + "skin.xml", xml);
    SelectSkin(name);
    return folder;
  }
  static std::string Skin(const std::string& attrs, const std::string& window) {
    return "<skin " + attrs + R"(><window background="back.bmp">)" + window + "</window></skin>";
  }
  // Opens a protected link to the stand-in target; the gate's window.
  HWND OpenGate(const std::string& options = "") {
    WriteUserData({{commonEntry_, Record("pw", options)}});
    OpenThroughShell(ProtectLink("Skinned", target_, "", 0));
    return WaitGateWindow();
  }
  void EndGate(HWND gate) {
    PressKey(gate, VK_ESCAPE);
    EXPECT_TRUE(Ended(gates_.back(), 3000));
  }
};

TEST_F(GateSkinTest, SkinWithoutButtonIsReportedAndTheWindowStillOpens) {
  InstallSkin("NoButton", Skin(R"(version="1" name="NoButton")",
                               R"(<text x="10" y="20" width="200" height="100"/>)"
                               R"(<inputbox x="20" y="150" width="100" height="17"/>)"));
  WriteUserData({{commonEntry_, Record("pw", "")}});
  OpenThroughShell(ProtectLink("Skinned", target_, "", 0));
  const std::string box = TakeMessageBox();
  EXPECT_NE(box.find("Error parsing XML. Expected nodes [button]."), std::string::npos) << box;
  // Then the values that could be read are used, up to the button's pictures,
  // which it does not name.
  const std::string picture = TakeMessageBox();
  EXPECT_NE(picture.find("The skin names no button picture."), std::string::npos) << picture;
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  // The values that could be read are used: the background sets the size.
  EXPECT_EQ(ClientSize(gate).cx, 320);
  EXPECT_EQ(ClientSize(gate).cy, 200);
  Type(gate, "pw");
  PressKey(gate, VK_RETURN);
  EXPECT_TRUE(WaitTargetRun(1)) << "the gate works with what the skin gave";
}

TEST_F(GateSkinTest, SkinThatDoesNotParseGivesOneMessageAndTheDesignedLook) {
  InstallSkin("Broken", "<skin version=\"1\" name=\"Broken\">\r\n<window background=\"back.bmp\">\r\n</skin>");
  WriteUserData({{commonEntry_, Record("pw", "")}});
  OpenThroughShell(ProtectLink("Skinned", target_, "", 0));
  const std::string box = TakeMessageBox();
  EXPECT_NE(box.find("Error parsing XML. Line 3: Start-tag name \"window\" does not match end-tag name \"skin\""),
            std::string::npos)
      << box;
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  EXPECT_EQ(ClientSize(gate).cx, 300);
  EXPECT_EQ(ClientSize(gate).cy, 196);
  EXPECT_EQ(TakeMessageBox(500), "") << "one message only";
  EXPECT_NE(AboutBoxText(gate).find("Skin name: Default\nSkin author: Velmora"), std::string::npos);
  EndGate(gate);
}

TEST_F(GateSkinTest, RandomSkinWithAnEmptySkinsFolderKeepsTheDesignedLook) {
  SkinFolder("x");
  RemoveDirectoryA((install_ + "skins\\x").c_str());
  SelectSkin("", true);
  HWND gate = OpenGate();
  ASSERT_NE(gate, nullptr);
  EXPECT_EQ(ClientSize(gate).cx, 300);
  EXPECT_EQ(ClientSize(gate).cy, 196);
  EXPECT_EQ(TakeMessageBox(500), "");
  EndGate(gate);
}

TEST_F(GateSkinTest, AboutBoxShowsTheSkinsNameAndAuthor) {
  InstallSkin("Night", Skin(R"(version="1" name="Night Sky" author="Velmora Art")", kWindowParts));
  HWND gate = OpenGate();
  ASSERT_NE(gate, nullptr);
  const std::string about = AboutBoxText(gate);
  EXPECT_NE(about.find("About Lockmere\n"), std::string::npos) << about;
  EXPECT_NE(about.find("Skin name: Night Sky\nSkin author: Velmora Art"), std::string::npos) << about;
  EndGate(gate);
}

TEST_F(GateSkinTest, AboutBoxSaysUnknownForAnEmptyAuthor) {
  InstallSkin("Anon", Skin(R"(version="1" name="Anon")", kWindowParts));
  HWND gate = OpenGate();
  ASSERT_NE(gate, nullptr);
  const std::string about = AboutBoxText(gate);
  EXPECT_NE(about.find("Skin name: Anon\nSkin author: Unknown"), std::string::npos) << about;
  EndGate(gate);
}

// A document type reaches neither the network nor a file outside the
// skin's folder, so its text can show nowhere.
TEST_F(GateSkinTest, DocumentTypeReachesNoNetworkAndNoOutsideFile) {
  TLoopbackHttp server([](const std::string&) { return TLoopbackHttp::TReply{"200 OK", "<!ENTITY who 'NETWORK'>"}; });
  WriteFile(install_ + "outside.dtd", "<!ENTITY who 'OUTSIDE TEXT'>");
  WriteFile(install_ + "outside.txt", "OUTSIDE TEXT");
  const std::string doctypes[] = {
      "<!DOCTYPE skin SYSTEM '" + server.Base() + "/skin.dtd'>",
      "<!DOCTYPE skin PUBLIC '-//Velmora//Skin//EN' '" + server.Base() + "/skin.dtd'>",
      "<!DOCTYPE skin SYSTEM '..\\..\\outside.dtd'>",
      "<!DOCTYPE skin SYSTEM '" + install_ + "outside.dtd'>",
      "<!DOCTYPE skin [<!ENTITY who SYSTEM '..\\..\\outside.txt'>]>",
  };
  for (const std::string& doctype : doctypes) {
    InstallSkin("Hostile", doctype + Skin(R"(version="1" name="&who;" author="&who;")", kWindowParts));
    HWND gate = OpenGate();
    std::string seen = TakeMessageBox(1500);
    if (!gate) gate = WaitGateWindow();
    ASSERT_NE(gate, nullptr) << doctype;
    seen += AboutBoxText(gate);
    EXPECT_EQ(seen.find("OUTSIDE"), std::string::npos) << doctype << "\n" << seen;
    EXPECT_EQ(seen.find("NETWORK"), std::string::npos) << doctype << "\n" << seen;
    EndGate(gate);
  }
  EXPECT_TRUE(server.RequestLines().empty()) << server.RequestLines()[0];
}

TEST_F(GateSkinTest, PictureOutsideTheSkinsFolderIsRefused) {
  InstallSkin("Outside", Skin(R"(version="1" name="Outside")",
                                  R"(<text x="10" y="20" width="200" height="100"/><inputbox x="20" y="150" width="100" height="17"/>)"
                                  R"(<button x="200" y="170" width="43" height="15" buttonup="..\..\x.bmp" buttondown="down.bmp"/>)"));
  lkfix::WriteSolidBmp(install_ + "x.bmp", 43, 15, RGB(255, 0, 0));
  WriteUserData({{commonEntry_, Record("pw", "")}});
  OpenThroughShell(ProtectLink("Skinned", target_, "", 0));
  const std::string box = TakeMessageBox();
  EXPECT_NE(box.find("The skin's button picture \"..\\..\\x.bmp\" is not a file of the skin's folder."), std::string::npos)
      << box;
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  Type(gate, "pw");
  PressKey(gate, VK_RETURN);
  EXPECT_TRUE(WaitTargetRun(1));
}

TEST_F(GateSkinTest, SkinNameThatLeavesTheSkinsFolderIsRefused) {
  const std::string folder = SkinFolder("Real");
  lkfix::WriteSolidBmp(folder + "back.bmp", 320, 200, RGB(20, 40, 90));
  WriteFile(folder + "skin.xml", Skin(R"(version="1" name="Real")", kWindowParts));
  // "..\skins\Real" would reach the skin, but by way of the install folder.
  SelectSkin("..\\skins\\Real");
  HWND gate = OpenGate();
  const std::string box = TakeMessageBox();
  EXPECT_NE(box.find("The skin \"..\\skins\\Real\" is not a folder of the skins folder."), std::string::npos) << box;
  if (!gate) gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  EXPECT_EQ(ClientSize(gate).cx, 300);
  EndGate(gate);
}

// The link opens before any password: a program named there must not start.
TEST_F(GateSkinTest, LinkThatIsNoWebAddressIsRefused) {
  InstallSkin("Runner", Skin(R"(version="1" name="Runner")",
                             std::string(kWindowParts) + R"(<link x="250" y="10" width="60" height="20" url=")" +
                                 target_ + R"(" text="Run me" color="#00FFFF"/>)"));
  WriteUserData({{commonEntry_, Record("pw", "")}});
  OpenThroughShell(ProtectLink("Skinned", target_, "", 0));
  const std::string box = TakeMessageBox();
  EXPECT_NE(box.find("is no web address: only http, https, ftp and mailto addresses are opened."), std::string::npos)
      << box;
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  const LPARAM at = MAKELPARAM(260, 15);
  PostMessageA(gate, WM_MOUSEMOVE, 0, at);
  PostMessageA(gate, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(gate, WM_LBUTTONUP, 0, at);
  Pause(1500);
  EXPECT_TRUE(TargetRuns().empty());
  EndGate(gate);
}

// The target starts in its link's "Start in", not in the skin's folder.
TEST_F(GateSkinTest, WithASkinTheTargetStartsInItsLinksWorkingFolder) {
  InstallSkin("Night", Skin(R"(version="1" name="Night")", kWindowParts));
  const std::string work = install_ + "Work Folder";
  CreateDirectoryA(work.c_str(), nullptr);
  WriteUserData({{commonEntry_, Record("pw", "")}});
  OpenThroughShell(ProtectLink("Skinned", target_, "", 0, work));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  EXPECT_EQ(ClientSize(gate).cx, 320) << "the skin is applied";
  Type(gate, "pw");
  PressKey(gate, VK_RETURN);
  const auto run = WaitTargetRun(1);
  ASSERT_TRUE(run);
  EXPECT_TRUE(SameText(run->WorkingFolder, work)) << run->WorkingFolder;
}

}  // namespace
