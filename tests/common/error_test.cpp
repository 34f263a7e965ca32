// Tests of the message presenter: composition from the string table, the modal box, the
// worker-thread box with its answer, refusal while showing, style reset and vClose.
#include "common/error.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "ui_test_util.h"

namespace {

// Captures composed texts instead of showing them.
class CCapture : public CError {
 public:
  std::vector<std::pair<std::string, int>> m_shown;
  int iMessageBox(const std::string& strText, int iMessageId) override {
    m_shown.emplace_back(strText, iMessageId);
    return 1;
  }
};

TEST(ErrorCompose, TextsFromTheTableAndFallbacks) {
  struct {
    int iMessage, iParam1, iParam2;
    const char *pszBefore, *pszAfter;
    const char* pszExpected;
  } cases[] = {
      {0, -1, -1, nullptr, nullptr, "終了しますか?"},
      {0, -1, -1, "[", "]", "[終了しますか?]"},
      {7, -1, -1, nullptr, nullptr, "未定義のエラー!リソースに指定IDのエラー文字列がありません[50007]"},
      {0, 3, -1, "x", "y", "未定義のエラー!リソースに指定IDのエラー文字列がありません[51003]"},
      {0, -1, 4, nullptr, nullptr, "未定義のエラー!リソースに指定IDのエラー文字列がありません[51004]"},
  };
  for (const auto& c : cases) {
    CCapture error;
    error.iShowError(c.iMessage, c.iParam1, c.iParam2, c.pszBefore, c.pszAfter);
    ASSERT_EQ(error.m_shown.size(), 1u);
    EXPECT_EQ(error.m_shown[0].first, c.pszExpected) << c.iMessage;
    EXPECT_EQ(error.m_shown[0].second, c.iMessage);
  }
}

TEST(ErrorCompose, NegativeMessageShowsNothing) {
  CCapture error;
  EXPECT_EQ(error.iShowError(-1), 2);
  EXPECT_TRUE(error.m_shown.empty());
}

TEST(ErrorCompose, InsertsFromTheTable) {
  // Inserts taken from the table by moving the insert base: 128 is "Tarvenix".
  CCapture error;
  error.m_iParamBaseId = 100;
  error.iShowError(0, 28, 28);
  ASSERT_EQ(error.m_shown.size(), 1u);
  EXPECT_EQ(error.m_shown[0].first, "終了しますか?");  // no %1 in the text: unchanged
}

TEST(ErrorCompose, InsertReplacement) {
  EXPECT_EQ(strInsertParams("%1 and %1", "A", "B"), "A and A");
  EXPECT_EQ(strInsertParams("%1-%2", "x%2", "B"), "xB-B");  // second pass sees the first's text
  EXPECT_EQ(strInsertParams("%2%1", "%1", "%2"), "%2%1");   // neither pass re-reads its own text
  EXPECT_EQ(strInsertParams("100%", "A", "B"), "100%");
  EXPECT_EQ(strInsertParams("%%11", "A", ""), "%A1");
}

// Ends the box of the caption with the answer as soon as it is up; from a helper thread.
std::thread answerLater(const char* pszCaption, int iAnswer) {
  return std::thread([pszCaption, iAnswer] {
    for (int i = 0; i < 500; ++i) {
      if (platform::fEndMessageBox(nullptr, pszCaption, iAnswer)) return;
      platform::vSleepMs(20);
    }
  });
}

TEST(ErrorBox, ModalBoxReturnsTheAnswerAndResetsTheStyle) {
  ASSERT_TRUE(fPrepareTestUi());
  CError error;
  error.m_strCaption = "TxModal";
  error.m_uStyle = platform::MBS_YESNO;
  std::thread answer = answerLater("TxModal", platform::MBR_YES);
  EXPECT_EQ(error.iShowError(0), platform::MBR_YES);
  answer.join();
  EXPECT_EQ(error.m_uStyle, static_cast<uint32_t>(ERR_STYLE_DEFAULT));
  EXPECT_EQ(error.m_iLastId, 0);
}

class CModeless : public CErrorModeless {
 public:
  ~CModeless() override { vClose(); }
  void vOnMessageBoxResult(int iAnswer, int iMessageId) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers.emplace_back(iAnswer, iMessageId);
    m_bOnUiThread = m_bOnUiThread || platform::fIsUiThread();
  }
  std::vector<std::pair<int, int>> answers() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_answers;
  }
  std::mutex m_mutex;
  std::vector<std::pair<int, int>> m_answers;
  bool m_bOnUiThread = false;
};

TEST(ErrorModeless, AnswerArrivesOnTheWorkerAndASecondRequestIsRefused) {
  ASSERT_TRUE(fPrepareTestUi());
  CModeless error;
  error.m_strCaption = "TxModeless";
  error.m_uStyle = platform::MBS_YESNO;
  EXPECT_EQ(error.iShowError(7), 1);  // returns at once
  EXPECT_TRUE(error.m_bShowing);
  EXPECT_EQ(error.iShowError(0), 0);  // one box at a time
  std::thread answer = answerLater("TxModeless", platform::MBR_YES);
  EXPECT_TRUE(fRunLoopUntil([&] { return !error.answers().empty() && !error.m_bShowing; }, 10000));
  answer.join();
  EXPECT_EQ(error.answers(), (std::vector<std::pair<int, int>>{{platform::MBR_YES, 7}}));
  EXPECT_FALSE(error.m_bOnUiThread);
  EXPECT_EQ(error.m_uStyle, static_cast<uint32_t>(ERR_STYLE_DEFAULT));
  // The next box is accepted again, with the default style unless set.
  EXPECT_EQ(error.iShowError(0), 1);
  answer = answerLater("TxModeless", platform::MBR_OK);
  EXPECT_TRUE(fRunLoopUntil([&] { return error.answers().size() == 2 && !error.m_bShowing; }, 10000));
  answer.join();
  EXPECT_EQ(error.answers()[1], std::make_pair(static_cast<int>(platform::MBR_OK), 0));
}

TEST(ErrorModeless, CloseEndsAYesNoBoxWithoutAnAnswer) {
  ASSERT_TRUE(fPrepareTestUi());
  CModeless error;
  error.m_strCaption = "TxClose";
  error.m_uStyle = platform::MBS_YESNO;
  EXPECT_EQ(error.iShowError(0), 1);
  fRunLoopUntil([] { return false; }, 300);  // the box is up
  error.vClose();
  EXPECT_FALSE(error.m_bShowing);
  EXPECT_TRUE(error.answers().empty());
  EXPECT_FALSE(platform::fEndMessageBox(nullptr, "TxClose", platform::MBR_YES));  // no box left
  EXPECT_EQ(error.iShowError(0), 1);                                              // usable again
  error.vClose();
}

// An owner destroyed while its box is up: the box ends and no answer reaches the owner, also
// when the owner left vClose to the presenter's own destructor.
class CBareOwner : public CErrorModeless {
 public:
  explicit CBareOwner(std::atomic<int>& iCalls) : m_iCalls(iCalls) {}
  void vOnMessageBoxResult(int, int) override { ++m_iCalls; }
  std::atomic<int>& m_iCalls;
};

TEST(ErrorModeless, DestroyedOwnerIsNeverReached) {
  ASSERT_TRUE(fPrepareTestUi());
  std::atomic<int> iCalls{0};
  for (bool bStartLoop : {false, true}) {
    auto* pOwner = new CBareOwner(iCalls);
    pOwner->m_strCaption = "TxOwner";
    pOwner->m_uStyle = platform::MBS_YESNO;
    EXPECT_EQ(pOwner->iShowError(0), 1);
    if (bStartLoop) fRunLoopUntil([] { return false; }, 300);  // shown, or (false) not shown yet
    delete pOwner;
  }
  auto* pOwner = new CModeless;
  pOwner->m_strCaption = "TxOwner";
  EXPECT_EQ(pOwner->iShowError(0), 1);
  fRunLoopUntil([] { return false; }, 300);
  delete pOwner;
  fRunLoopUntil([] { return false; }, 200);
  EXPECT_EQ(iCalls, 0);
}

}  // namespace
