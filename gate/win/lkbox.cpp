#include "gate/win/lkbox.h"

#include <algorithm>
#include <exception>
#include <random>

#include "base/locale.h"
#include "base/stringlist.h"
#include "controls/win/lkurl.h"
#include "forms/win/application.h"
#include "base/win/lazy_dll.h"
#include "gate/core/gateoptions.h"
#include "gate/core/logfile.h"
#include "gate/core/messagetext.h"
#include "gate/core/watchrule.h"
#include "gate/win/htlabel.h"
#include "gate/win/iconhide.h"
#include "gate/win/logmutex.h"
#include "gate/win/processlist.h"
#include "gate/win/reboot.h"
#include "gate/win/sysroutines.h"
#include "gate/win/systemcalls.h"
#include "gate/win/threadtimer.h"
#include "shared/core/gatearg.h"
#include "shared/core/streamcol.h"
#include "shared/win/installpaths.h"
#include "shared/win/settings.h"
#include "shared/win/shellops.h"
#include "shared/win/users.h"
#include "skins/lmskins.h"
#include "skins/skinrules.h"

const char* const kDefaultGateMessage =
    "Dear <uname>,\r\n"
    " \r\n"
    "In order to use this program, you must first enter the correct password, and then press <b>RETURN</b> or "
    "click the <b>OK</b> button.\r\n"
    "\r\n"
    "Thank you.  (<date> - <time>)";

namespace {

const char* const kMakerAddress = "http://www.velmora.example/lockmere";
const char* const kMakerNotice = "Copyright (c) Velmora. All rights reserved.";

// How long the log may hold up the end of a run: the end-of-run action
// waits for it, and a user can hold the log open for ever.
constexpr DWORD kLogSaveMs = 3000;
constexpr DWORD kLogRetryMs = 250;

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

// What the gate refuses of a skin; the application's handler shows it.
class ESkinError : public Exception {
 public:
  using Exception::Exception;
};

// A picture of the skin (`what`: "background", "button"): only a file
// inside the skin's own folder.
std::string SkinPicture(const std::string& skinFolder, const std::string& name, const char* what) {
  if (name.empty()) throw ESkinError(std::string("The skin names no ") + what + " picture.");
  const std::string path = SkinFilePath(skinFolder, name);
  if (path.empty())
    throw ESkinError(std::string("The skin's ") + what + " picture \"" + name + "\" is not a file of the skin's folder.");
  return path;
}

std::string TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(MAX_PATH, buffer);
  return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string();
}

void LoadDesignedPicture(TImage* image, const char* resource) {
  image->Picture()->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), resource);
}

}  // namespace

TLKBox::TLKBox(TComponent* owner) : TForm(owner) {
  SetName("LKBox");
  SetBorderIcons(0);
  SetBorderStyle(TFormBorderStyle::bsNone);
  SetFormStyle(TFormStyle::fsStayOnTop);
  SetKeyPreview(true);
  SetPosition(TPosition::poDesktopCenter);
  SetCaption("Lockmere");
  SetClientSize(463, 416);
  Font()->SetName("MS Sans Serif");
  Font()->SetHeight(-11);

  // The button goes first: its owner's components are created in order.
  IconHide1 = new TIconHide(this);

  PopupMenu1 = new TPopupMenu(this);
  Exit1 = new TMenuItem(this);
  Exit1->SetCaption("Exit");
  Exit1->OnClick = TNotifyEvent(this, &TLKBox::Exit1Click);
  About1 = new TMenuItem(this);
  About1->SetCaption("About...");
  About1->OnClick = TNotifyEvent(this, &TLKBox::About1Click);
  PopupMenu1->Items()->Add(Exit1);
  PopupMenu1->Items()->Add(About1);

  ImageMain = new TImage(this);
  ImageMain->SetParent(this);
  ImageMain->SetBounds(0, 0, 300, 196);
  ImageMain->SetAutoSize(true);
  LoadDesignedPicture(ImageMain, "GATE_BACKGROUND");
  ImageMain->SetPopupMenu(PopupMenu1);

  BotonUp = new TImage(this);
  BotonUp->SetParent(this);
  BotonUp->SetBounds(243, 167, 43, 15);
  BotonUp->SetAutoSize(true);
  LoadDesignedPicture(BotonUp, "GATE_OK_UP");
  BotonUp->SetCursor(crHandPoint);
  BotonUp->OnMouseDown = TMouseEvent(this, &TLKBox::BotonUpMouseDown);
  BotonUp->OnMouseUp = TMouseEvent(this, &TLKBox::BotonUpMouseUp);

  BotonDown = new TImage(this);
  BotonDown->SetParent(this);
  BotonDown->SetBounds(243, 167, 43, 15);
  BotonDown->SetAutoSize(true);
  LoadDesignedPicture(BotonDown, "GATE_OK_DOWN");
  BotonDown->SetCursor(crHandPoint);
  BotonDown->SetVisible(false);
  // The pressed picture is the one under the mouse when it is released.
  BotonDown->OnMouseUp = TMouseEvent(this, &TLKBox::BotonUpMouseUp);

  LabelTexto = new TLkHtLabel(this);
  LabelTexto->SetParent(this);
  LabelTexto->SetAutoSize(false);
  LabelTexto->SetBounds(8, 56, 281, 97);
  LabelTexto->SetTransparent(true);
  LabelTexto->SetColor(clBlack);
  LabelTexto->SetParentFont(false);
  LabelTexto->Font()->SetName("Tahoma");
  LabelTexto->Font()->SetColor(clWhite);
  LabelTexto->Font()->SetHeight(-11);
  LabelTexto->SetPopupMenu(PopupMenu1);
  LabelTexto->SetCaption(kDefaultGateMessage);

  LabelLink = new TLkUrlLabel(this);
  LabelLink->SetParent(this);
  LabelLink->SetLeft(286);
  LabelLink->SetTop(8);
  LabelLink->SetParentFont(false);
  LabelLink->Font()->SetName("MS Sans Serif");
  LabelLink->Font()->SetHeight(-11);
  LabelLink->Font()->SetColor(clBlue);
  LabelLink->Font()->SetStyle(fsUnderline);
  LabelLink->SetTransparent(true);
  LabelLink->SetCaption("?");
  LabelLink->SetURL(kMakerAddress);
  LabelLink->SetVisitedColor(clBlue);

  EditAuth = new TEdit(this);
  EditAuth->SetParent(this);
  EditAuth->SetBorderStyle(TEditBorderStyle::bsNone);
  EditAuth->SetAutoSize(false);
  EditAuth->SetBounds(19, 158, 110, 17);
  EditAuth->SetColor(16776176);
  EditAuth->SetPasswordChar('*');
  EditAuth->SetTabOrder(0);
  SetActiveControl(EditAuth);

  EncryptStream = new TLkStreams(this);
  EncryptStream->SetCompressed(true);
  EncryptStream->SetEncrypted(true);
  EncryptStream->SetKey(kDataFileKey);

  Reboot = new TLkWinReboot(this);
  Reboot->SetOperation(TRebootOperation::roLogOff);

  ThreadTimer = new TLkThreadTimer(this);
  ThreadTimer->SetDelay(1000);
  ThreadTimer->OnTimer = TNotifyEvent(this, &TLKBox::ThreadTimerTimer);

  OnCreate = TNotifyEvent(this, &TLKBox::FormCreate);
  OnDestroy = TNotifyEvent(this, &TLKBox::FormDestroy);
  OnKeyDown = TKeyEvent(this, &TLKBox::FormKeyDown);
}

// The watch ends before the run state it reads goes (it would go first).
TLKBox::~TLKBox() { ThreadTimer->Stop(); }

void TLKBox::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  if (TaskbarButtonHidden()) params.ex_style |= WS_EX_TOOLWINDOW;
}

void TLKBox::FormCreate(TObject*) {
  run_.AboutSkinName = "Default";
  run_.AboutSkinAuthor = "Velmora";
  // The form takes the size of its content once.
  SetAutoSize(true);
  FitClientToContent();
  SetAutoSize(false);
  run_.WrapColumn = DefaultWrapColumn;
  // A failing skin still leaves a working gate: the remaining steps run, and
  // the skin's error is reported after them.
  std::exception_ptr skinError;
  try {
    ApplySkin();
  } catch (...) {
    skinError = std::current_exception();
  }

  const TGateArgument argument = DecodeGateArgument(__argc > 1 ? __argv[1] : "");
  run_.TargetPath = argument.Target;
  run_.TargetParams = argument.Arguments;
  run_.ModeIndex = argument.Mode;

  if (!ReadUserData(run_.ModeIndex, run_.StoredPassword, run_.MessageText, run_.OptionText)) {
    run_.UserDataUnreadable = true;
    Application->MessageBox("Unable to read user data.", Application->Title(), MB_OK);
  }
  ApplyOptions(run_.OptionText);
  if (run_.MessageText.empty()) run_.MessageText = kDefaultGateMessage;
  run_.MessageText = ExpandMessageTags(run_.MessageText, CurrentTagValues());
  LabelTexto->SetCaption(run_.MessageText);
  LabelTexto->SetCaption(
      WrapMessageText(LabelTexto->Caption(), GateBreakText, GateBreakChars, run_.WrapColumn, IsLeadByte));
  RecordShownMessage(LabelTexto->Caption());
  // The application's handler shows the skin's error; the window opens.
  if (skinError) {
    try {
      std::rethrow_exception(skinError);
    } catch (...) {
      Application->HandleException(this);
    }
  }
}

void TLKBox::FitClientToContent() {
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    const TControl* c = Controls(i);
    if (!c->Visible()) continue;
    right = std::max(right, c->Left() + c->Width());
    bottom = std::max(bottom, c->Top() + c->Height());
  }
  if (right > 0 && bottom > 0) SetClientSize(right, bottom);
}

// The chosen skin's pictures, places and colours replace the designed look.
// Its pictures are loaded by their full path in the skin's folder: the
// current directory stays as the shell gave it, for the target to inherit.
void TLKBox::ApplySkin() {
  std::string path;
  if (!ChooseSkinFile(path)) return;
  TLMSkin skin;
  if (!skin.LoadSkin(path)) {
    if (!skin.Errors()) {
      // Nothing could be read: the designed look stays.
      Application->MessageBox(skin.ParseErrorText(), Application->Title(), MB_OK);
      return;
    }
    if (!skin.Errors()->empty()) Application->MessageBox(skin.Errors()->front(), Application->Title(), MB_OK);
  }
  run_.AboutSkinAuthor = skin.Author();
  run_.AboutSkinName = skin.Name();
  const std::string folder = ExtractFilePath(path);

  ImageMain->Picture()->LoadFromFile(SkinPicture(folder, skin.Background(), "background"));
  SetHeight(ImageMain->Height());
  SetWidth(ImageMain->Width());

  // The button's width and height are not used: the images take their pictures' size.
  const TSkinArea& button = skin.ButtonArea();
  BotonUp->Picture()->LoadFromFile(SkinPicture(folder, skin.ButtonUp(), "button"));
  BotonUp->SetLeft(button.X);
  BotonUp->SetTop(button.Y);
  BotonDown->Picture()->LoadFromFile(SkinPicture(folder, skin.ButtonDown(), "button"));
  BotonDown->SetLeft(button.X);
  BotonDown->SetTop(button.Y);

  const TSkinArea& text = skin.TextArea();
  LabelTexto->SetBounds(text.X, text.Y, text.Width, text.Height);
  LabelTexto->Font()->SetColor(skin.TextColor());
  run_.WrapColumn = skin.MaxLength();

  const TSkinArea& input = skin.InputBoxArea();
  EditAuth->SetBounds(input.X, input.Y, input.Width, input.Height);
  EditAuth->SetColor(skin.InputBoxColor());

  // The link opens before any password: nothing but a web or mail address.
  const bool hasLink = !skin.LinkURL().empty() || !skin.LinkText().empty();
  if (hasLink && !IsWebAddress(skin.LinkURL()))
    throw ESkinError("The skin's link \"" + skin.LinkURL() +
                     "\" is no web address: only http, https, ftp and mailto addresses are opened.");
  const TSkinArea& link = skin.LinkArea();
  LabelLink->SetBounds(link.X, link.Y, link.Width, link.Height);
  LabelLink->SetVisitedColor(skin.LinkColor());
  LabelLink->SetUnvisitedColor(LabelLink->VisitedColor());
  LabelLink->SetURL(skin.LinkURL());
  LabelLink->SetCaption(skin.LinkText());
}

// The skin named in the settings, or a random one of the skins folder.
// False, and no message, when none is configured or its "skin.xml" is
// missing; a name that could leave the skins folder raises.
bool TLKBox::ChooseSkinFile(std::string& path) {
  std::string name = ReadSetting(LKData::SkinName);
  if (ReadSetting(LKData::SkinRandom)) {
    TStringList names;
    ListSkinNames(names);
    std::minstd_rand generator(GetTickCount() ^ GetCurrentProcessId());
    name = names[static_cast<int>(generator() % static_cast<unsigned>(names.Count()))];
  }
  if (name.empty()) return false;
  if (!IsNameInsideFolder(name))
    throw ESkinError("The skin \"" + name + "\" is not a folder of the skins folder.");
  const std::string file = SkinsFolder() + name + "\\skin.xml";
  if (!PathExists(file)) return false;
  path = file;
  return true;
}

bool TLKBox::ReadUserData(int mode, std::string& password, std::string& message, std::string& options) {
  TUserRecord record;
  TUserDataStatus status;
  if (mode == 1) {
    const std::string login = CurrentUserName();
    status = ::ReadUserData(*EncryptStream, UserDataPath(), login, record);
    // The console names per-user entries by the profile's folder, which may
    // differ from the login name ("john.PC" for "john"). On the 9x line it
    // names them by the login (the 9x profile list's keys), and the folder
    // would be asked of the NT profile list through the process token, a
    // call that line does not carry out.
    if (status == TUserDataStatus::Missing && RunningOnNT()) {
      const std::string folder = CurrentProfileFolderName();
      if (!folder.empty() && !AnsiSameText(folder, login))
        status = ::ReadUserData(*EncryptStream, UserDataPath(), folder, record);
    }
  } else {
    status = ::ReadUserData(*EncryptStream, UserDataPath(), CommonEntryName(), record);
  }
  if (status == TUserDataStatus::Unreadable) return false;
  if (record.LineCount > 0) password = record.Password;
  if (record.LineCount > 1) message = record.MessageText();
  if (record.LineCount > 2) options = record.OptionText;
  return true;
}

void TLKBox::ApplyOptions(const std::string& optionText) {
  const TGateOptions o = ParseOptionCodes(optionText);
  if (o.UseLog) StartLogging();
  if (o.MessageOnly) EditAuth->SetVisible(false);
  if (o.Stealth) Application->SetShowMainForm(false);
  if (o.ExitAction) run_.ExitAction = o.ExitAction;
  if (o.WatchAfterLaunch) run_.WatchAfterLaunch = true;
  if (o.Stealth) LaunchTarget(run_.WatchAfterLaunch);
}

void TLKBox::StartLogging() {
  run_.WatchAfterLaunch = true;
  run_.TargetLongPath = LongPathOf(run_.TargetPath);
  run_.LogLines = std::make_unique<TLogRecord>();
}

void TLKBox::FormKeyDown(TObject*, WORD& key, TShiftState) {
  if (key == VK_ESCAPE) {
    key = 0;
    Application->Terminate();
  } else if (key == VK_RETURN) {
    key = 0;
    CheckPassword();
  }
}

void TLKBox::BotonUpMouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
  if (button != TMouseButton::mbLeft) return;
  BotonDown->SetVisible(true);
  BotonUp->SetVisible(false);
}

void TLKBox::BotonUpMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  BotonDown->SetVisible(false);
  BotonUp->SetVisible(true);
  CheckPassword();
}

void TLKBox::Exit1Click(TObject*) { Application->Terminate(); }

void TLKBox::About1Click(TObject*) {
  if (run_.AboutSkinAuthor.empty()) run_.AboutSkinAuthor = "Unknown";
  if (run_.AboutSkinName.empty()) run_.AboutSkinName = "Unknown";
  const std::string text = "Skin name: " + run_.AboutSkinName + "\r\n" + "Skin author: " + run_.AboutSkinAuthor +
                           "\r\n\r\n< " + kMakerAddress + " >\r\n\r\nLockmere v1.01 \r\n" + kMakerNotice;
  Application->MessageBox(text, "About Lockmere", MB_OK | MB_ICONINFORMATION);
}

void TLKBox::CheckPassword() {
  if (run_.Launched || run_.UserDataUnreadable) return;
  if (EditAuth->Visible() && !PasswordAccepted(EditAuth->Text(), run_.StoredPassword)) return;
  LaunchTarget(run_.WatchAfterLaunch);
}

void TLKBox::LaunchTarget(bool watch) {
  run_.Launched = true;
  Hide();
  Repaint();
  // The shell needs COM for some targets; started only now, off the path
  // from process start to the window.
  ole::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (!watch) {
    ExecuteViaShell(run_.TargetPath, run_.TargetParams, "open", SW_SHOWNORMAL);
    Application->Terminate();
    return;
  }
  if (run_.LogLines) {
    run_.LogLines->UserName = DisplayUserName();
    run_.LogLines->TargetPath = run_.TargetLongPath;
    run_.LogLines->StartTime = NowLogText();
    run_.LogHasLines = true;
  }
  run_.FoundProgram = FindAssociatedProgram(run_.TargetPath);
  // What the shell answers is not looked at: it may report a failure while
  // the program runs (a DDE conversation that timed out). A start that did
  // fail is seen at the first tick that lists the running programs, and the
  // end time and action follow. The process handle is asked for where the
  // list cannot be read.
  HANDLE started = nullptr;
  ExecuteViaShell(run_.TargetPath, run_.TargetParams, "open", SW_SHOWNORMAL, &started);
  run_.StartedProcess.reset(started);
  if (run_.FoundProgram.empty() || AnsiUpperCase(ExtractFileExt(run_.FoundProgram)) == ".DLL") {
    Application->Terminate();
    return;
  }
  run_.FoundProgramShort = AnsiUpperCase(ShortPathOf(run_.FoundProgram));
  run_.FoundProgramLong = AnsiUpperCase(LongPathOf(run_.FoundProgram));
  ThreadTimer->SetActive(true);
}

// One look at the running programs and at the started process.
bool TLKBox::WatchedRunEnded() const {
  TWatchSight sight;
  TStringList running;
  sight.ListRead = SystemListRunningProcesses(running);
  sight.ProgramListed =
      sight.ListRead && ProgramListed(running, run_.FoundProgram, run_.FoundProgramLong, run_.FoundProgramShort);
  sight.Started = StartedProcessState(run_.StartedProcess.get());
  return WatchedRunHasEnded(sight);
}

void TLKBox::ThreadTimerTimer(TObject*) {
  ThreadTimer->SetActive(false);
  if (!WatchedRunEnded()) {
    ThreadTimer->SetActive(true);
    return;
  }
  run_.StartedProcess.reset();
  if (run_.LogLines) {
    run_.LogLines->EndTime = NowLogText();
    if (run_.ExitAction >= 6 && run_.ExitAction <= 10) run_.LogLines->Action = IntToStr(run_.ExitAction);
  }
  // The action may end the session: the record goes to disk first, as well
  // as it can within a few seconds, and nothing that befalls it keeps the
  // action from running.
  try {
    SaveLogRecord();
  } catch (...) {
  }
  try {
    PerformExitAction();
  } catch (...) {
    Application->Terminate();
    throw;
  }
  Application->Terminate();
}

void TLKBox::PerformExitAction() {
  const TEndOfRunPlan plan = PlanEndOfRun(run_.ExitAction, RunningOnNT());
  switch (plan.Call) {
    case TEndOfRunCall::ExitWindows:
      Reboot->SetOperation(plan.Operation);
      if (plan.PowerOff) Reboot->SetPowerOff(true);
      Reboot->Execute();
      break;
    case TEndOfRunCall::ScreenSaver: StartScreenSaver(); break;
    case TEndOfRunCall::LockWorkstation: LockWorkstationNow(); break;
    case TEndOfRunCall::None: break;
  }
}

// The record goes into the log only under the log mutex, tried again for a
// few seconds while the log is held open or the mutex taken; after that it
// is kept in a file of its own beside the log (or in the user's temporary
// folder, where the install folder takes no new file), never dropped.
void TLKBox::SaveLogRecord() {
  if (!run_.LogLines || !run_.LogHasLines || run_.LogSaved || !run_.LogKeptAside.empty()) return;
  const DWORD start = GetTickCount();
  for (DWORD spent = 0; spent < kLogSaveMs; spent = GetTickCount() - start) {
    {
      TLogFileLock lock(kLogSaveMs - spent);
      if (!lock.Owned()) break;
      try {
        AppendLogRecord(*EncryptStream, LogPath(), *run_.LogLines, {ExtractFilePath(LogPath()), TempFolder()});
        run_.LogSaved = true;
        return;
      } catch (...) {
        // Held open by another program, not writable now, or beyond what
        // memory holds: every failure ends in the kept-aside record.
      }
    }
    Sleep(kLogRetryMs);
  }
  const std::string tag = IntToStr(GetCurrentProcessId()) + "-" + IntToStr(GetTickCount());
  try {
    run_.LogKeptAside =
        KeepLogRecordAside(*EncryptStream, {ExtractFilePath(LogPath()), TempFolder()}, ExtractFileName(LogPath()), tag,
                           *run_.LogLines);
  } catch (...) {
  }
}

void TLKBox::FormDestroy(TObject*) {
  // The watch first: no tick may run on the state that goes below.
  ThreadTimer->Stop();
  try {
    SaveLogRecord();
  } catch (...) {
    Application->HandleException(this);
  }
  run_.LogLines.reset();
}
