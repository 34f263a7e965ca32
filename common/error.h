// Message presenter: texts from the string table shown in a message box, modal (CError) or on a
// worker thread with the answer delivered later (CErrorModeless).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/types.h"
#include "platform/window_handle.h"

// The message with every "%1" replaced by strParam1, then every "%2" of that result by
// strParam2; each pass goes left to right and never looks again at text it put in.
std::string strInsertParams(const std::string& strMessage, const std::string& strParam1, const std::string& strParam2);

// Message n is string 50000 + n of the string table, insert text n string 51000 + n. A text
// missing from the table is shown as "未定義のエラー!リソースに指定IDのエラー文字列がありません[%d]" with
// the missing string number.
class CError {
 public:
  CError();
  virtual ~CError();
  CError(const CError&) = delete;
  CError& operator=(const CError&) = delete;

  // Shows the box and returns its answer (platform/message_box.h: 6 for Yes, 0 when no box
  // could be shown); the style goes back to ERR_STYLE_DEFAULT afterwards.
  virtual int iMessageBox(const std::string& strText, int iMessageId);

  // Composes message iMessageId: every "%1" replaced by insert iParam1's text, then every "%2"
  // in the result by insert iParam2's (a negative insert is empty text), between pszBefore and
  // pszAfter (null: none), and passes it to iMessageBox. A negative message number shows
  // nothing and returns 2.
  int iShowError(int iMessageId, int iParam1 = -1, int iParam2 = -1, const char* pszBefore = nullptr,
                 const char* pszAfter = nullptr);

  int m_iErrorBaseId;
  int m_iParamBaseId;
  platform::HWINDOW m_hOwner;      // owner of the box, null for none
  std::string m_strCaption;        // caption of the box; also how the box is found again
  std::atomic<uint32_t> m_uStyle;  // message box style (MBS_* of platform/message_box.h)
  int m_iLastId;                   // message number of the last box

 protected:
  // The text of string uId (grown in steps of 256 bytes until it fits); false when missing.
  static BOOL fLoadText(int iId, std::string& strText);
};

// Task-modal, brought to the foreground, an OK button only.
enum : uint32_t { ERR_STYLE_DEFAULT = 0x12000 };

// Shows one box at a time on a worker thread of its own: iMessageBox returns 1 at once when the
// box was started (0 when one is still showing, or no worker could be started) and the worker
// later calls vOnMessageBoxResult with the answer and the message number, on the worker thread.
// The handler may only do what is safe from another thread (post to the UI thread).
//
// vClose ends a showing box (its Cancel, else No, else OK) and waits for the worker; a box ended
// by vClose delivers no answer. Call it on the owner's (UI) thread: on Linux the box lives on the
// UI loop and is ended there at once, also after the loop has stopped. An owner that derives from this class calls
// vClose in its own destructor, so that no answer can arrive while its members are being destroyed; the destructor here
// calls it again for owners that did not.
class CErrorModeless : public CError {
 public:
  CErrorModeless();
  ~CErrorModeless() override;

  int iMessageBox(const std::string& strText, int iMessageId) override;
  virtual void vOnMessageBoxResult(int iAnswer, int iMessageId) = 0;
  void vClose();

  std::atomic<BOOL> m_bShowing;
  std::string m_strText;
  std::thread* m_pThread;  // worker of the last box, kept until the next box or vClose

 private:
  void vWorker();
  void vJoinWorker();

  std::mutex m_deliver;  // held while the answer is delivered; vClose takes it to stop delivery
  bool m_bClosing;
  std::atomic<bool> m_bWorkerDone;
};
