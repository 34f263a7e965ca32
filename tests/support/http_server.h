// Test helper: a small HTTP server on the loopback that answers each path with a chosen reply.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace txtest {

struct CHttpReply {
  int iStatus = 200;
  std::string strHeaders;  // extra header lines, each ending in "\r\n"
  std::string strBody;
  std::string strType = "text/html; charset=utf-8";
};

// Listens on 127.0.0.1 at a free port from construction to destruction, one request per
// connection. A request's path without its query picks the reply; other paths get 404.
class CHttpServer {
 public:
  explicit CHttpServer(std::map<std::string, CHttpReply> replies);
  ~CHttpServer();
  CHttpServer(const CHttpServer&) = delete;
  CHttpServer& operator=(const CHttpServer&) = delete;

  bool fOk() const { return m_iPort != 0; }
  int iPort() const { return m_iPort; }
  // "127.0.0.1:port" followed by the path.
  std::string strHostPath(const std::string& strPath) const;
  std::string strUrl(const std::string& strPath) const { return "http://" + strHostPath(strPath); }
  // The request targets received so far (path and query), in their order.
  std::vector<std::string> requests() const;

 private:
  void vServe();
  void vAnswer(int iSocket);

  std::map<std::string, CHttpReply> m_replies;
  int m_iListen = -1;
  int m_iPort = 0;
  int m_iStop[2] = {-1, -1};
  std::thread m_thread;
  mutable std::mutex m_mutex;
  std::vector<std::string> m_requests;
};

}  // namespace txtest
