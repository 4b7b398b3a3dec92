// TLKBox: the gate's only window. It reads the protected link's argument and
// the user's record, shows the message and the password box, and once the
// password matches starts the real target, watches it when asked, performs
// the end-of-run action and leaves the run's record in the log.
#pragma once

#include <memory>
#include <string>

#include "forms/win/extctrls.h"
#include "forms/win/forms.h"
#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"
#include "shared/core/logrecord.h"

class TLkHtLabel;
class TLkUrlLabel;
class TLkStreams;
class TLkWinReboot;
class TLkThreadTimer;
class TIconHide;

// Closes a handle the run state owns.
struct THandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// What one run of the gate knows, set during creation and used by the
// launch, the watch and the log.
struct TGateRunState {
  std::string TargetPath;
  std::string TargetParams;
  int ModeIndex = 0;
  std::string StoredPassword;
  std::string MessageText;
  std::string OptionText;
  bool WatchAfterLaunch = false;
  uint8_t ExitAction = 0;
  std::unique_ptr<TLogRecord> LogLines;  // only with "Use log"
  bool LogHasLines = false;  // lines 1 to 3 were added at the launch
  bool LogSaved = false;      // the record is in the log file
  std::string LogKeptAside;   // else the file that keeps it, when one does
  std::string TargetLongPath;
  std::string FoundProgram, FoundProgramLong, FoundProgramShort;
  // The watched start's process, where the shell handed one back: it decides
  // where the running programs cannot be listed.
  std::unique_ptr<void, THandleCloser> StartedProcess;
  int32_t WrapColumn = 55;
  std::string AboutSkinName = "Default";
  std::string AboutSkinAuthor = "Velmora";
  bool UserDataUnreadable = false;  // then no password opens the gate
  bool Launched = false;            // a second Enter or click does nothing
};

class TLKBox : public TForm {
 public:
  explicit TLKBox(TComponent* owner);
  ~TLKBox() override;

  TImage* ImageMain;
  TImage* BotonUp;
  TImage* BotonDown;
  TLkHtLabel* LabelTexto;
  TLkUrlLabel* LabelLink;
  TEdit* EditAuth;
  TLkStreams* EncryptStream;
  TPopupMenu* PopupMenu1;
  TMenuItem* Exit1;
  TMenuItem* About1;
  TLkWinReboot* Reboot;
  TLkThreadTimer* ThreadTimer;
  TIconHide* IconHide1;

  const TGateRunState& RunState() const { return run_; }

  void FormCreate(TObject* sender);
  void FormDestroy(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void BotonUpMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void BotonUpMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void Exit1Click(TObject* sender);
  void About1Click(TObject* sender);
  void ThreadTimerTimer(TObject* sender);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  void FitClientToContent();
  void ApplySkin();
  bool ChooseSkinFile(std::string& path);
  bool ReadUserData(int mode, std::string& password, std::string& message, std::string& options);
  void ApplyOptions(const std::string& optionText);
  void StartLogging();
  void CheckPassword();
  void LaunchTarget(bool watch);
  bool WatchedRunEnded() const;
  void PerformExitAction();
  void SaveLogRecord();

  TGateRunState run_;
};

// The designed message, shown when the user's record holds none.
extern const char* const kDefaultGateMessage;
