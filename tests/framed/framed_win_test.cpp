// The framed controls and the tree view under them, on real windows under
// Wine: the check tree driven by real clicks and keys (SendInput), the tree
// view's nodes against the native control, the frame block shared by the
// list view, combo box and tree, and the list view's fixes.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/win/checktree.h"
#include "controls/win/framedcombo.h"
#include "controls/win/framedlistview.h"
#include "forms/win/application.h"
#include "forms/win/forms.h"
#include "forms/win/stdctrls.h"
#include "tests/forms/ui_test_util.h"

namespace {

// ---- input as a user gives it

void Pump(int rounds = 10) {
  for (int i = 0; i < rounds; ++i) {
    Application->ProcessMessages();
    Sleep(5);
  }
}

void MoveTo(POINT screen) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  SendInput(1, &in, sizeof in);
}

void Button(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

// Press at `down`, release at `up` (screen coordinates), on the way passing
// `via` when given: a pointer leaving a window does so through its edge, and
// the input goes to the window under the pointer at each step.
void Click(POINT down, POINT up, const POINT* via = nullptr) {
  SetCursorPos(down.x, down.y);
  MoveTo(down);
  Button(MOUSEEVENTF_LEFTDOWN);
  if (via) MoveTo(*via);
  if (up.x != down.x || up.y != down.y) MoveTo(up);
  Button(MOUSEEVENTF_LEFTUP);
  Pump();
}

void Click(POINT at) { Click(at, at); }

void Key(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
  Pump();
}

POINT OnScreen(TWinControl* c, int x, int y) {
  POINT p{x, y};
  ClientToScreen(c->Handle(), &p);
  return p;
}

class OnForm : public ::testing::Test {
 public:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 420, 360);
    form_->SetColor(clWhite);
  }
  void TearDown() override { TCustomForm::Free(form_); }
  void ShowAndFocus(TWinControl* c) {
    form_->Show();
    SetForegroundWindow(form_->Handle());
    c->SetFocus();
    Pump();
  }
  TForm* form_ = nullptr;
};

// ---- the check tree, as the User Settings page builds its flags tree

const char* const kFlags[][4] = {
    {"General", "Use log", nullptr, nullptr},
    {"Window type", "Message only", "Nothing (Stealth)", nullptr},
    {"On Exit", "Log Off", "Reboot", "Shutdown"},
};

class CheckTree : public OnForm {
 public:
  void SetUp() override {
    OnForm::SetUp();
    tree_ = new TLkCheckTree(form_);
    tree_->SetParent(form_);
    tree_->SetBounds(10, 10, 220, 300);
    tree_->SetFrameVisible(true);
    tree_->SetFrameFlatStyle(TFrameStyle::fsFlat);
    tree_->SetFrameFocusStyle(TFrameStyle::fsFlat);
    tree_->SetIndent(19);
    tree_->SetHideSelection(false);
    for (auto& group : kFlags) {
      TTreeNode* head = tree_->Items()->AddChild(nullptr, group[0]);
      head->SetStateIndex(ckNoBox);
      for (int i = 1; i < 4 && group[i]; ++i) tree_->Items()->AddChild(head, group[i])->SetStateIndex(ckUnchecked);
    }
    tree_->FullExpand();
    tree_->OnStateChanging = [this](TObject*, TTreeNode* n, TLkCheckState s, bool& allow) {
      log_ += "?" + std::to_string(n->AbsoluteIndex()) + ":" + std::to_string(s) + " ";
      if (n->AbsoluteIndex() == veto_) allow = false;
    };
    tree_->OnStateChange = [this](TObject*, TTreeNode* n, TLkCheckState s) {
      log_ += "=" + std::to_string(n->AbsoluteIndex()) + ":" + std::to_string(s) + " ";
    };
    tree_->OnUpdateChildren = [this](TObject*) { log_ += "U "; };
  }
  // The middle of node i's box, and of its text, on the screen.
  POINT Box(int i) {
    const TRect t = tree_->Items()->Item(i)->DisplayRect(true);
    return OnScreen(tree_, t.left - 8, (t.top + t.bottom) / 2);
  }
  POINT Text(int i) {
    const TRect t = tree_->Items()->Item(i)->DisplayRect(true);
    return OnScreen(tree_, t.left + 6, (t.top + t.bottom) / 2);
  }
  std::string States() {
    std::string s;
    for (int i = 0; i < tree_->Items()->Count(); ++i) s += static_cast<char>('0' + tree_->GetItemState(i));
    return s;
  }
  TLkCheckTree* tree_ = nullptr;
  std::string log_;
  int veto_ = -1;
};

// Node indices: 0 General, 1 Use log, 2 Window type, 3 Message only,
// 4 Nothing (Stealth), 5 On Exit, 6 Log Off, 7 Reboot, 8 Shutdown.
TEST_F(CheckTree, ClicksAndKeysAsAUserGivesThem) {
  struct Case {
    const char* name;
    bool cascade;
    int veto;
    int partial;  // a node set to 3 first, or -1
    std::function<void(CheckTree&)> act;
    const char* events;
    const char* states;
  };
  const Case cases[] = {
      {"where a head's box would be: nothing", false, -1, -1,
       [](CheckTree& t) {
         t.tree_->SetSelected(t.tree_->Items()->Item(2));
         const TRect r = t.tree_->Items()->Item(2)->DisplayRect(true);
         Click(OnScreen(t.tree_, r.left - 1, (r.top + r.bottom) / 2));
       },
       "", "010110111"},
      {"a box checks its node: one question, one change", false, -1, -1, [](CheckTree& t) { Click(t.Box(1)); },
       "?1:2 =1:2 ", "020110111"},
      {"a second click unchecks", false, -1, -1,
       [](CheckTree& t) {
         Click(t.Box(1));
         Click(t.Box(1));
       },
       "?1:2 =1:2 ?1:1 =1:1 ", "010110111"},
      {"partial becomes checked", false, -1, 3, [](CheckTree& t) { Click(t.Box(3)); }, "?3:2 =3:2 ",
       "010210111"},
      {"the text is no box", false, -1, -1, [](CheckTree& t) { Click(t.Text(6)); }, "", "010110111"},
      {"a veto leaves the node", false, 4, -1, [](CheckTree& t) { Click(t.Box(4)); }, "?4:2 ", "010110111"},
      {"released outside the window: no toggle", false, -1, -1,
       [](CheckTree& t) {
         RECT r;
         GetWindowRect(t.form_->Handle(), &r);
         const POINT edge = OnScreen(t.tree_, t.tree_->ClientWidth() - 2, t.tree_->ClientHeight() - 2);
         Click(t.Box(7), POINT{r.right + 40, r.bottom + 40}, &edge);
         EXPECT_EQ(t.tree_->Selected(), t.tree_->Items()->Item(7));  // the press landed
       },
       "", "010110111"},
      {"released outside, then a click on the text: still no toggle", false, -1, -1,
       [](CheckTree& t) {
         RECT r;
         GetWindowRect(t.form_->Handle(), &r);
         const POINT edge = OnScreen(t.tree_, t.tree_->ClientWidth() - 2, t.tree_->ClientHeight() - 2);
         Click(t.Box(7), POINT{r.right + 40, r.bottom + 40}, &edge);
         Click(t.Text(7));
       },
       "", "010110111"},
      {"space toggles the selected node", false, -1, -1,
       [](CheckTree& t) {
         t.tree_->SetSelected(t.tree_->Items()->Item(8));
         Key(VK_SPACE);
       },
       "?8:2 =8:2 ", "010110112"},
      {"space on a head does nothing", false, -1, -1,
       [](CheckTree& t) {
         t.tree_->SetSelected(t.tree_->Items()->Item(5));
         Key(VK_SPACE);
       },
       "", "010110111"},
      {"a cascade: the node, its children in order, then OnUpdateChildren", true, -1, -1,
       [](CheckTree& t) {
         t.tree_->SetNodeState(t.tree_->Items()->Item(5), ckUnchecked);  // a head with a box for once
         t.log_.clear();
         Click(t.Box(5));
       },
       "?5:2 =5:2 ?6:2 =6:2 ?7:2 =7:2 ?8:2 =8:2 U ", "010112222"},
      {"a cascade up leaves a head without a box alone", true, -1, -1, [](CheckTree& t) { Click(t.Box(7)); },
       "?7:2 =7:2 U ", "010110121"},
      {"a cascade up makes a boxed parent partial", true, -1, -1,
       [](CheckTree& t) {
         t.tree_->SetNodeState(t.tree_->Items()->Item(5), ckUnchecked);
         t.log_.clear();
         Click(t.Box(7));
       },
       "?7:2 =7:2 U ?5:3 =5:3 ", "010113121"},
      {"a vetoed click cascades nothing", true, 5, -1,
       [](CheckTree& t) {
         t.tree_->SetNodeState(t.tree_->Items()->Item(5), ckUnchecked);
         t.log_.clear();
         Click(t.Box(5));
       },
       "?5:2 ", "010111111"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 0; i < tree_->Items()->Count(); ++i) {
      TTreeNode* n = tree_->Items()->Item(i);
      n->SetStateIndex(n->Parent() ? ckUnchecked : ckNoBox);
    }
    tree_->SetCascadeChecks(c.cascade);
    tree_->FullExpand();
    veto_ = c.veto;
    if (c.partial >= 0) tree_->Items()->Item(c.partial)->SetStateIndex(ckPartial);
    ShowAndFocus(tree_);
    log_.clear();
    c.act(*this);
    EXPECT_EQ(log_, c.events);
    EXPECT_EQ(States(), c.states);
  }
}

TEST_F(CheckTree, APressOnAnUnselectedNodesBoxSelectsItAndTogglesIt) {
  ShowAndFocus(tree_);
  tree_->SetSelected(tree_->Items()->Item(1));
  Click(Box(7));
  EXPECT_EQ(tree_->Selected(), tree_->Items()->Item(7));
  EXPECT_EQ(tree_->GetItemState(7), ckChecked);
}

TEST_F(CheckTree, StatesByIndexWithTheirEdges) {
  tree_->SetCascadeChecks(false);
  tree_->SetItemState(3, ckChecked);
  EXPECT_EQ(log_, "?3:2 =3:2 ");
  log_.clear();
  tree_->SetItemState(3, ckChecked);  // the state it has: nothing
  tree_->SetItemState(99, ckChecked);  // out of range: ignored
  tree_->SetItemState(-1, ckChecked);
  EXPECT_EQ(log_, "");
  EXPECT_THROW(tree_->GetItemState(9), EListError);
  try {
    tree_->GetItemState(-1);
    ADD_FAILURE();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "Check tree node index -1 out of range (the tree has 9 nodes)");
  }
  // SetNodeState: no question, no cascade.
  tree_->SetCascadeChecks(true);
  veto_ = 6;
  tree_->SetNodeState(tree_->Items()->Item(6), ckChecked);
  EXPECT_EQ(log_, "=6:2 ");
  EXPECT_EQ(tree_->GetItemState(5), ckNoBox);
}

TEST_F(CheckTree, ANodeAddedLaterReadsAndShowsUnchecked) {
  TTreeNode* late = tree_->Items()->AddChild(tree_->Items()->Item(0), "Late");
  EXPECT_EQ(late->StateIndex(), -1);
  EXPECT_EQ(tree_->GetItemState(late->AbsoluteIndex()), ckUnchecked);
  form_->Show();
  WindowPixels px(tree_);  // a paint
  EXPECT_EQ(late->StateIndex(), ckUnchecked);
  TVITEMA it{};
  it.mask = TVIF_STATE | TVIF_HANDLE;
  it.hItem = late->ItemId();
  it.stateMask = TVIS_STATEIMAGEMASK;
  SendMessageA(tree_->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_EQ(it.state & TVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
  EXPECT_EQ(log_, "");  // no events for it
}

// The boxes as painted: grey outline and white inside for the options, a
// black mark in a checked one, nothing left of a head's text.
TEST_F(CheckTree, BoxesAreDrawnAndHeadsHaveNone) {
  tree_->SetItemState(7, ckChecked);
  form_->Show();
  WindowPixels px(tree_);
  const COLORREF grey = RGB(128, 128, 128), white = RGB(255, 255, 255), black = RGB(0, 0, 0);
  auto boxLeft = [&](int i) {
    const TRect t = tree_->Items()->Item(i)->DisplayRect(true);
    return std::pair<int, int>{t.left - 16, t.top + (t.Height() - 16) / 2};
  };
  for (int i : {1, 3, 6, 7}) {
    auto [x, y] = boxLeft(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(px.At(x + 2, y + 7), grey);   // the outline
    EXPECT_EQ(px.At(x + 12, y + 7), grey);
    EXPECT_EQ(px.At(x + 5, y + 4), white);  // the inside
  }
  auto [cx, cy] = boxLeft(7);
  int marks = 0;
  for (int y = cy + 3; y < cy + 12; ++y)
    for (int x = cx + 3; x < cx + 12; ++x) marks += px.At(x, y) == black;
  EXPECT_GT(marks, 10);
  for (int head : {0, 2, 5}) {
    auto [x, y] = boxLeft(head);
    int greys = 0;
    for (int dx = 0; dx < 16; ++dx) greys += px.At(x + dx, y + 7) == grey;
    EXPECT_LE(greys, 2) << head;  // at most the tree's own dotted line
  }
}

TEST_F(CheckTree, TheSelectedNodeIsOutlinedWhileTheTreeHasNoFocus) {
  tree_->SelectionPen()->SetColor(clRed);
  auto* other = new TEdit(form_);
  other->SetParent(form_);
  other->SetBounds(250, 10, 100, 20);
  form_->Show();
  tree_->SetSelected(tree_->Items()->Item(3));
  other->SetFocus();
  const TRect t = tree_->Items()->Item(3)->DisplayRect(true);
  WindowPixels px(tree_);
  EXPECT_EQ(px.At(t.left, (t.top + t.bottom) / 2), RGB(255, 0, 0));
  EXPECT_EQ(px.At(t.right - 1, (t.top + t.bottom) / 2), RGB(255, 0, 0));
  tree_->SetFocus();
  WindowPixels focused(tree_);
  EXPECT_NE(focused.At(t.left, (t.top + t.bottom) / 2), RGB(255, 0, 0));
}

TEST_F(CheckTree, TheWheelScrollsByLinesAndAddsUpFractions) {
  for (int i = 0; i < 40; ++i) tree_->Items()->AddChild(nullptr, "Extra " + std::to_string(i));
  form_->Show();
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  HWND h = tree_->Handle();
  auto wheel = [&](int delta) { SendMessageA(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0); };
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), static_cast<int>(lines));
  wheel(-40);
  wheel(-40);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), static_cast<int>(lines));
  wheel(-40);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), static_cast<int>(2 * lines));
  // Up from a position short of a whole step stops at the top.
  SendMessageA(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1), 0);
  wheel(WHEEL_DELTA);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 0);
}

// ---- the tree view itself

class TreeView : public OnForm {
 protected:
  void SetUp() override {
    OnForm::SetUp();
    tree_ = new TCustomTreeView(form_);
    tree_->SetParent(form_);
    tree_->SetBounds(10, 10, 200, 300);
    TTreeNodes* n = tree_->Items();
    a_ = n->AddChild(nullptr, "A");
    a1_ = n->AddChild(a_, "A1");
    a2_ = n->AddChild(a_, "A2");
    a2x_ = n->AddChild(a2_, "A2x");
    b_ = n->Add(a_, "B");
  }
  TCustomTreeView* tree_ = nullptr;
  TTreeNode *a_, *a1_, *a2_, *a2x_, *b_;
};

TEST_F(TreeView, NodesKnowTheirPlaceBeforeAndAfterTheWindowExists) {
  auto check = [&] {
    EXPECT_EQ(tree_->Items()->Count(), 5);
    const TTreeNode* order[] = {a_, a1_, a2_, a2x_, b_};
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(order[i]->AbsoluteIndex(), i);
      EXPECT_EQ(tree_->Items()->Item(i), order[i]);
    }
    EXPECT_EQ(tree_->Items()->Item(5), nullptr);
    EXPECT_EQ(tree_->Items()->Item(-1), nullptr);
    EXPECT_EQ(a2x_->Parent(), a2_);
    EXPECT_EQ(a_->Parent(), nullptr);
    EXPECT_EQ(a_->Count(), 2);
    EXPECT_EQ(a_->GetFirstChild(), a1_);
    EXPECT_EQ(a1_->GetNextSibling(), a2_);
    EXPECT_EQ(a2_->GetNextSibling(), nullptr);
    EXPECT_EQ(a_->GetNextSibling(), b_);
    EXPECT_EQ(a2x_->Level(), 2);
  };
  check();
  form_->Show();
  check();
  // Deleting renumbers what follows.
  a2_->Delete();
  EXPECT_EQ(tree_->Items()->Count(), 3);
  EXPECT_EQ(b_->AbsoluteIndex(), 2);
  EXPECT_EQ(SendMessageA(tree_->Handle(), TVM_GETCOUNT, 0, 0), 3);
}

TEST_F(TreeView, ExpansionStateImagesAndSelectionSurviveARecreatedWindow) {
  auto* states = new TImageList(form_, 16, 16);
  tree_->SetStateImages(states);
  a2_->SetStateIndex(2);
  form_->Show();
  tree_->FullExpand();
  EXPECT_TRUE(a_->Expanded());
  EXPECT_TRUE(a2_->Expanded());
  EXPECT_FALSE(a2x_->DisplayRect(true).Empty());
  tree_->SetSelected(a2x_);
  tree_->SetShowLines(false);  // a new window
  EXPECT_TRUE(a2_->Expanded());
  EXPECT_EQ(tree_->Selected(), a2x_);
  EXPECT_EQ(SendMessageA(tree_->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(a2_->ItemId()),
                         TVIS_STATEIMAGEMASK),
            static_cast<LRESULT>(INDEXTOSTATEIMAGEMASK(2)));
  EXPECT_EQ(SendMessageA(tree_->Handle(), TVM_GETIMAGELIST, TVSIL_STATE, 0),
            reinterpret_cast<LRESULT>(states->Handle()));
  tree_->FullCollapse();
  EXPECT_TRUE(a2x_->DisplayRect(true).Empty());
}

TEST_F(TreeView, HitTestsTextRectanglesAndClicks) {
  form_->Show();
  tree_->FullExpand();
  const TRect t = a1_->DisplayRect(true);
  ASSERT_FALSE(t.Empty());
  EXPECT_GT(t.left, a_->DisplayRect(true).left);  // indented under its parent
  const TTreeHitTest on = tree_->HitTest(t.left + 2, (t.top + t.bottom) / 2);
  EXPECT_EQ(on.Node, a1_);
  EXPECT_TRUE(on.Flags & TVHT_ONITEMLABEL);
  EXPECT_EQ(tree_->GetNodeAt(t.left + 2, t.top + 1), a1_);
  EXPECT_EQ(tree_->GetNodeAt(5, 290), nullptr);
  // A real click: selection, OnChange, then OnClick once.
  std::string events;
  tree_->OnChange = [&](TObject*, TTreeNode* n) { events += "change:" + n->Text() + " "; };
  tree_->OnClick = [&](TObject*) { events += "click "; };
  SetForegroundWindow(form_->Handle());
  Click(OnScreen(tree_, t.left + 4, (t.top + t.bottom) / 2));
  EXPECT_EQ(events, "change:A1 click ");
  EXPECT_EQ(tree_->Selected(), a1_);
  // A veto keeps the selection.
  tree_->OnChanging = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
  tree_->SetSelected(b_);
  EXPECT_EQ(tree_->Selected(), a1_);
}

// ---- the frame block: one set of properties, one setter rule

struct Framed {
  const char* name;
  std::function<TWinControl*(TForm*)> make;
};

TWinControl* MakeList(TForm* f) { return new TLkListView(f); }
TWinControl* MakeCombo(TForm* f) { return new TLkComboBox(f); }
TWinControl* MakeTree(TForm* f) { return new TLkCheckTree(f); }

TEST_F(OnForm, TheThreeFramedControlsShareOneFrameBlock) {
  const Framed kinds[] = {{"list view", MakeList}, {"combo box", MakeCombo}, {"check tree", MakeTree}};
  SetCursorPos(0, 0);  // the pointer over none of them
  for (const Framed& k : kinds) {
    SCOPED_TRACE(k.name);
    TWinControl* c = k.make(form_);
    c->SetParent(form_);
    c->SetBounds(10, 10, 200, 100);
    auto* f = dynamic_cast<TLkFramedControl*>(c);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->FrameColor(), clBtnShadow);
    EXPECT_FALSE(f->FrameFlat());
    EXPECT_EQ(f->FrameFlatStyle(), TFrameStyle::fsStatus);
    EXPECT_EQ(f->FrameFocusStyle(), TFrameStyle::fsLowered);
    EXPECT_EQ(f->FrameSides(), kAllSides);
    EXPECT_EQ(f->FrameStyle(), TFrameStyle::fsFlat);
    EXPECT_FALSE(f->FrameVisible());
    EXPECT_TRUE(f->UseFrameController());
    // FrameFlat shows the frame on all sides in the idle style.
    f->SetFrameSides(sdLeft);
    f->SetFrameFlatStyle(TFrameStyle::fsGroove);
    f->SetFrameFocusStyle(TFrameStyle::fsBump);
    f->SetFrameFlat(true);
    EXPECT_TRUE(f->FrameVisible());
    EXPECT_EQ(f->FrameSides(), kAllSides);
    EXPECT_EQ(f->FrameStyle(), TFrameStyle::fsGroove);
    // ... and then follows the focus.
    auto* other = new TEdit(form_);
    other->SetParent(form_);
    other->SetBounds(250, 10, 100, 20);
    form_->Show();
    c->SetFocus();
    Pump(2);
    EXPECT_EQ(f->FrameStyle(), TFrameStyle::fsBump);
    other->SetFocus();
    Pump(2);
    EXPECT_EQ(f->FrameStyle(), TFrameStyle::fsGroove);
    form_->Hide();
    // Taken off the form first: a windowed control freed while on its
    // parent stays in the parent's tab order.
    for (TWinControl* w : std::vector<TWinControl*>{other, c}) {
      w->SetParent(nullptr);
      Free(w);
    }
  }
}

// Counts the non-client paints a window gets.
class NcPaints {
 public:
  explicit NcPaints(HWND h) {
    target_ = h;
    count_ = 0;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  }
  ~NcPaints() { UnhookWindowsHookEx(hook_); }
  int Count() const { return count_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM w, LPARAM l) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(l);
    if (code == HC_ACTION && m->hwnd == target_ && m->message == WM_NCPAINT) ++count_;
    return CallNextHookEx(nullptr, code, w, l);
  }
  static inline HWND target_ = nullptr;
  static inline int count_ = 0;
  HHOOK hook_;
};

TEST_F(OnForm, ComboFrameSwitchesTheThreeDLookAndSettersRepaintOnlyOnChange) {
  auto* cb = new TLkComboBox(form_);
  cb->SetParent(form_);
  EXPECT_TRUE(cb->Ctl3D());
  EXPECT_TRUE(cb->ParentCtl3D());
  cb->SetFrameVisible(true);
  EXPECT_FALSE(cb->Ctl3D());
  EXPECT_FALSE(cb->ParentCtl3D());
  cb->SetFrameVisible(false);
  EXPECT_TRUE(cb->Ctl3D());
  EXPECT_TRUE(cb->ParentCtl3D());
  cb->SetFrameFlat(true);  // shows the frame through the same setter
  EXPECT_FALSE(cb->Ctl3D());
  // Ctl3D of its own: no longer the parent's.
  cb->SetCtl3D(true);
  EXPECT_FALSE(cb->ParentCtl3D());
  // One setter rule: an unchanged value repaints nothing.
  form_->Show();
  UpdateWindow(cb->Handle());
  cb->SetFrameColor(cb->FrameColor());
  cb->SetFrameStyle(cb->FrameStyle());
  EXPECT_FALSE(GetUpdateRect(cb->Handle(), nullptr, FALSE));
  cb->SetFrameColor(clRed);
  EXPECT_TRUE(GetUpdateRect(cb->Handle(), nullptr, FALSE));
}

// ---- the framed list view's fixes and additions

class ListView : public OnForm {
 protected:
  void SetUp() override {
    OnForm::SetUp();
    lv_ = new TLkListView(form_);
    lv_->SetParent(form_);
    lv_->SetViewStyle(TViewStyle::vsReport);
    lv_->SetBounds(10, 10, 330, 200);
    for (int i = 0; i < 3; ++i) lv_->AddColumn("C" + std::to_string(i), 100);
  }
  void AddRows(int n) {
    lv_->BeginUpdate();
    for (int i = 0; i < n; ++i) lv_->AddRow("Row " + std::to_string(i), {"x", "y"}, -1);
    lv_->EndUpdate();
  }
  TLkListView* lv_ = nullptr;
};

TEST_F(ListView, ItemUpdatesRefitTheLastColumn) {
  form_->Show();
  // Empty: room is kept for a scroll bar.
  EXPECT_EQ(lv_->ColumnWidth(2), lv_->ClientWidth() - 200 - GetSystemMetrics(SM_CXVSCROLL));
  AddRows(3);
  EXPECT_EQ(lv_->ColumnWidth(2), lv_->ClientWidth() - 200);
  lv_->Clear();
  EXPECT_EQ(lv_->ColumnWidth(2), lv_->ClientWidth() - 200 - GetSystemMetrics(SM_CXVSCROLL));
}

TEST_F(ListView, AColourChangeRepaintsAVisibleFrame) {
  lv_->SetFrameVisible(true);
  form_->Show();
  UpdateWindow(lv_->Handle());
  NcPaints paints(lv_->Handle());
  lv_->SetColor(clYellow);
  EXPECT_GE(paints.Count(), 1);
  EXPECT_EQ(SendMessageA(lv_->Handle(), LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 255, 0)));
  // The frame's own setters: only a new value repaints.
  const int before = paints.Count();
  lv_->SetFrameColor(lv_->FrameColor());
  EXPECT_EQ(paints.Count(), before);
  lv_->SetFrameColor(clRed);
  EXPECT_GT(paints.Count(), before);
}

// Counts the paints of a window's rows it gets while alive.
class RowPaints {
 public:
  explicit RowPaints(HWND h) {
    target_ = h;
    count_ = 0;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  }
  ~RowPaints() { UnhookWindowsHookEx(hook_); }
  int Count() const { return count_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM w, LPARAM l) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(l);
    if (code == HC_ACTION && m->hwnd == target_ && m->message == WM_PAINT) ++count_;
    return CallNextHookEx(nullptr, code, w, l);
  }
  static inline HWND target_ = nullptr;
  static inline int count_ = 0;
  HHOOK hook_;
};

// A scroll bar coming changes the client alone; the system paints the frame
// for it, and the rows are painted once, when the list's turn comes, not at
// once as well. A new window size repaints the frame.
TEST_F(ListView, AScrollBarComingPaintsTheRowsOnceANewSizeTheFrame) {
  lv_->SetFrameVisible(true);
  lv_->SetOwnerData(true);
  form_->Show();
  UpdateWindow(lv_->Handle());
  const int client = lv_->ClientWidth();
  {
    RowPaints rows(lv_->Handle());
    lv_->SetOwnerDataCount(500);
    EXPECT_LT(lv_->ClientWidth(), client);  // the scroll bar came
    EXPECT_EQ(rows.Count(), 0);
    UpdateWindow(lv_->Handle());
    EXPECT_EQ(rows.Count(), 1);
  }
  NcPaints frame(lv_->Handle());
  lv_->SetBounds(10, 10, 300, 180);
  UpdateWindow(lv_->Handle());
  EXPECT_GE(frame.Count(), 1);
}

TEST_F(ListView, WheelFractionsAddUpToScroll) {
  AddRows(60);
  form_->Show();
  auto wheel = [&](int delta) {
    SendMessageA(lv_->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
  };
  wheel(-40);
  wheel(-40);
  EXPECT_EQ(lv_->TopIndexOfView(), 0);
  wheel(-40);
  EXPECT_GT(lv_->TopIndexOfView(), 0);
}

TEST_F(ListView, RowClicksReachOnClickOnce) {
  AddRows(5);
  lv_->SetRowSelect(true);
  int clicks = 0;
  lv_->OnClick = [&clicks](TObject*) { ++clicks; };
  ShowAndFocus(lv_);
  const TRect r = lv_->LabelRect(2);
  Click(OnScreen(lv_, r.left + 4, (r.top + r.bottom) / 2));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(lv_->Items(2)->Selected());
  // On a sub-item's column of a whole-row list, too.
  const TRect r3 = lv_->LabelRect(3);
  Click(OnScreen(lv_, 250, (r3.top + r3.bottom) / 2));
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(lv_->Items(3)->Selected());
}

TEST_F(ListView, HotTrackStylesAreTheNativeOnes) {
  form_->Show();
  auto ex = [&] { return static_cast<DWORD>(SendMessageA(lv_->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)); };
  lv_->SetHotTrackStyles(htUnderlineHot);
  EXPECT_TRUE(ex() & LVS_EX_UNDERLINEHOT);
  EXPECT_TRUE(ex() & LVS_EX_TWOCLICKACTIVATE);  // underlines need an activation mode
  EXPECT_FALSE(ex() & LVS_EX_TRACKSELECT);
  lv_->SetHotTrackStyles(htHandPoint | htUnderlineCold);
  EXPECT_TRUE(ex() & LVS_EX_ONECLICKACTIVATE);
  EXPECT_TRUE(ex() & LVS_EX_UNDERLINECOLD);
  EXPECT_FALSE(ex() & (LVS_EX_UNDERLINEHOT | LVS_EX_TWOCLICKACTIVATE));
  lv_->SetHotTrack(true);
  EXPECT_TRUE(ex() & LVS_EX_TRACKSELECT);
  lv_->SetGridLines(true);  // other styles keep them
  EXPECT_TRUE(ex() & LVS_EX_TRACKSELECT);
}

}  // namespace
