// TForm under wine: creation, closing, parenting, key preview and the error guard.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "framework/win/form.h"
#include "harness/test_support.h"

namespace {

using harness::PumpFor;
using harness::RecordedReports;

class ProbeForm : public TForm {
 public:
  int Creates = 0;
  int Destroys = 0;
  int Resizes = 0;
  TCloseAction CloseAction = caHide;
  bool ThrowOnCreate = false;
  bool ThrowOnResize = false;
  WORD LastKey = 0;
  bool SwallowKeys = false;
  std::vector<UINT> Presses;  // each press as ButtonDownMessage gives it back
  HWND Edit = nullptr;

  HWND MakeEdit() {
    Edit = CreateControl("EDIT", "", WS_BORDER, 10, 10, 100, 20, 100);
    return Edit;
  }

 protected:
  void FormCreate() override {
    ++Creates;
    if (ThrowOnCreate) throw std::runtime_error("Invalid data type for 'BackType'");
  }
  void FormClose(TCloseAction& action) override { action = CloseAction; }
  void FormDestroy() override { ++Destroys; }
  void Resize() override {
    ++Resizes;
    if (ThrowOnResize) throw std::runtime_error("resize failed");
  }
  void KeyDown(WORD& key, TShiftState) override {
    LastKey = key;
    if (SwallowKeys) key = 0;
  }
  void MouseDown(TMouseButton button, TShiftState, int, int) override {
    Presses.push_back(ButtonDownMessage(button));
  }
};

class ThrowingForm : public ProbeForm {
 public:
  ThrowingForm() { ThrowOnCreate = true; }
};

TEST(Form, CreateRunsFormCreateOnceAndReportsItsError) {
  RecordedReports reports;
  auto form = CreateForm<ThrowingForm>();
  form->Create();
  EXPECT_EQ(form->Creates, 1);
  ASSERT_EQ(reports.Texts().size(), 1u);
  EXPECT_EQ(reports.Texts().front(), "Invalid data type for 'BackType'");
  EXPECT_NE(form->Handle(), nullptr) << "a form whose creation failed is still usable";
}

TEST(Form, ItsWindowCarriesTheCaptionBoundsAndBorder) {
  auto form = CreateForm<ProbeForm>();
  form->SetCaption("Settings  Ver2.22");
  form->SetBorderStyle(bsNone);
  form->SetBounds(30, 40, 200, 150);
  form->Show();
  HWND window = form->Handle();
  char text[64] = {};
  GetWindowTextA(window, text, sizeof text);
  EXPECT_STREQ(text, "Settings  Ver2.22");
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 40);
  EXPECT_EQ(rect.right - rect.left, 200);
  EXPECT_EQ(form->ClientWidth(), 200) << "bsNone has no frame";
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_POPUP);
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST(Form, CloseHidesByDefaultKeepsWithNoneAndDestroysWithFree) {
  auto form = CreateForm<ProbeForm>();
  form->Show();
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(form->HandleAllocated());
  EXPECT_EQ(form->Destroys, 0);

  form->Show();
  form->CloseAction = caNone;
  form->Close();
  EXPECT_TRUE(form->Visible());

  form->CloseAction = caFree;
  form->Close();
  EXPECT_FALSE(form->HandleAllocated());
  EXPECT_EQ(form->Destroys, 1);
}

TEST(Form, TheCloseBoxGoesThroughFormClose) {
  auto form = CreateForm<ProbeForm>();
  form->Show();
  form->CloseAction = caFree;
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form->HandleAllocated());
  EXPECT_EQ(form->Destroys, 1);
}

TEST(Form, AMaximizedChildFillsItsParentsClientArea) {
  auto parent = CreateForm<ProbeForm>();
  parent->SetBorderStyle(bsNone);
  parent->SetBounds(0, 0, 300, 200);
  parent->Show();
  auto child = CreateForm<ProbeForm>();
  child->SetBorderStyle(bsNone);
  child->SetStayOnTop(true);
  child->SetWindowState(wsMaximized);
  child->SetParentWindow(parent->Handle());
  child->Show();
  HWND window = child->Handle();
  EXPECT_EQ(GetAncestor(window, GA_PARENT), parent->Handle());
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(child->ClientWidth(), 300);
  EXPECT_EQ(child->ClientHeight(), 200);
  RECT bounds = child->BoundsRect();
  EXPECT_EQ(bounds.left, 0) << "bounds are in the parent's client coordinates";
  EXPECT_EQ(bounds.top, 0);
}

TEST(Form, DestroyingTheParentWindowRunsTheChildsFormDestroy) {
  auto parent = CreateForm<ProbeForm>();
  parent->Show();
  auto child = CreateForm<ProbeForm>();
  child->SetParentWindow(parent->Handle());
  child->Show();
  parent.reset();
  EXPECT_EQ(child->Destroys, 1);
  EXPECT_FALSE(child->HandleAllocated());
}

TEST(Form, KeyPreviewSeesKeysOfChildControlsAndMaySwallowThem) {
  auto form = CreateForm<ProbeForm>();
  form->SetKeyPreview(true);
  form->Show();
  HWND edit = form->MakeEdit();
  ASSERT_NE(edit, nullptr);
  MSG message{edit, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  EXPECT_FALSE(PreTranslateFormMessage(message));
  EXPECT_EQ(form->LastKey, VK_ESCAPE);

  form->SwallowKeys = true;
  message.wParam = 'A';
  EXPECT_TRUE(PreTranslateFormMessage(message));
  EXPECT_EQ(form->LastKey, 'A');
}

TEST(Form, WithoutKeyPreviewChildKeysAreNotTheForms) {
  auto form = CreateForm<ProbeForm>();
  form->Show();
  HWND edit = form->MakeEdit();
  MSG message{edit, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  EXPECT_FALSE(PreTranslateFormMessage(message));
  EXPECT_EQ(form->LastKey, 0);
}

// What the scene forms pass on to the host: each press as the message it came in as, a
// double click as a press of its button.
TEST(Form, APressComesBackAsItsButtonDownMessage) {
  const struct {
    UINT In, Out;
  } presses[] = {{WM_LBUTTONDOWN, WM_LBUTTONDOWN},
                 {WM_RBUTTONDOWN, WM_RBUTTONDOWN},
                 {WM_MBUTTONDOWN, WM_MBUTTONDOWN},
                 {WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}};
  auto form = CreateForm<ProbeForm>();
  for (const auto& press : presses) {
    SendMessageA(form->Handle(), press.In, 0, 0);
    ASSERT_FALSE(form->Presses.empty()) << press.In;
    EXPECT_EQ(form->Presses.back(), press.Out) << press.In;
  }
  EXPECT_EQ(form->Presses.size(), 4u);
}

TEST(Form, AHandlerErrorIsReportedAndNeverLeavesTheWindowProcedure) {
  RecordedReports reports;
  auto form = CreateForm<ProbeForm>();
  form->Show();
  form->ThrowOnResize = true;
  form->SetBounds(0, 0, 120, 90);  // WM_SIZE reaches Resize, which throws
  PumpFor(50);
  EXPECT_GE(form->Resizes, 1);
  ASSERT_FALSE(reports.Texts().empty());
  EXPECT_EQ(reports.Texts().front(), "resize failed");
}

}  // namespace

// Another thread's SendMessage is handled inside the main loop's GetMessageA, as one from
// another process is (automation pressing a button, a WM_CLOSE): the loop must still see
// that its form is gone instead of waiting for a posted message that never comes. The
// end of the session destroys the form without asking it; a watchdog fails a hang.
struct SentEnding {
  const char* Name;
  UINT Message;
  WPARAM WParam;
  TCloseAction Action;
};

class MainLoop : public ::testing::TestWithParam<SentEnding> {};

struct SenderJob {
  HWND Target;
  SentEnding Ending;
  LRESULT QueryAnswer = -1;
};

DWORD WINAPI SendTheEnding(void* context) {
  auto* job = static_cast<SenderJob*>(context);
  Sleep(200);  // the main thread waits in GetMessageA by now
  if (job->Ending.Message == WM_ENDSESSION)
    job->QueryAnswer = SendMessageA(job->Target, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageA(job->Target, job->Ending.Message, job->Ending.WParam, 0);
  return 0;
}

VOID CALLBACK EndTheLoop(HWND, UINT, UINT_PTR, DWORD) {
  PostQuitMessage(0);
}

TEST_P(MainLoop, EndsWhenASentMessageClosesTheMainForm) {
  ProbeForm form;
  form.CloseAction = GetParam().Action;
  SenderJob job{form.Handle(), GetParam()};
  HANDLE sender = CreateThread(nullptr, 0, SendTheEnding, &job, 0, nullptr);
  ASSERT_NE(sender, nullptr);
  // Should the loop hang, a posted close after 5 s ends it, and the time tells.
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, EndTheLoop);
  const DWORD start = GetTickCount();
  RunMainForm(form);
  const DWORD took = GetTickCount() - start;
  KillTimer(nullptr, watchdog);
  WaitForSingleObject(sender, 5000);
  CloseHandle(sender);
  EXPECT_LT(took, 4000u) << "the loop went on waiting after its form closed";
  EXPECT_FALSE(form.Visible());
  if (GetParam().Message == WM_ENDSESSION) {
    EXPECT_EQ(job.QueryAnswer, TRUE);
    EXPECT_FALSE(form.HandleAllocated()) << "the session's end kept the form";
  }
  PumpFor(20);
}

INSTANTIATE_TEST_SUITE_P(SentMessages, MainLoop,
                         ::testing::Values(SentEnding{"CloseThatFrees", WM_CLOSE, 0, caFree},
                                           SentEnding{"CloseThatHides", WM_CLOSE, 0, caHide},
                                           SentEnding{"EndOfSession", WM_ENDSESSION, TRUE, caNone}),
                         [](const auto& param) { return std::string(param.param.Name); });
