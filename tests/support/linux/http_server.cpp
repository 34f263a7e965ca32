// Test helper: the loopback HTTP server on POSIX sockets, served by a thread of its own.
#include "tests/support/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace txtest {

namespace {

const char* pszReason(int iStatus) {
  switch (iStatus) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

void vSendAll(int iSocket, const std::string& strData) {
  size_t uSent = 0;
  while (uSent < strData.size()) {
    ssize_t iSent = send(iSocket, strData.data() + uSent, strData.size() - uSent, MSG_NOSIGNAL);
    if (iSent <= 0) return;
    uSent += static_cast<size_t>(iSent);
  }
}

}  // namespace

CHttpServer::CHttpServer(std::map<std::string, CHttpReply> replies) : m_replies(std::move(replies)) {
  m_iListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (m_iListen < 0 || pipe(m_iStop) != 0) return;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t uLength = sizeof address;
  if (bind(m_iListen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(m_iListen, 16) != 0 ||
      getsockname(m_iListen, reinterpret_cast<sockaddr*>(&address), &uLength) != 0)
    return;
  m_iPort = ntohs(address.sin_port);
  m_thread = std::thread(&CHttpServer::vServe, this);
}

CHttpServer::~CHttpServer() {
  if (m_thread.joinable()) {
    char c = 0;
    (void)!write(m_iStop[1], &c, 1);
    m_thread.join();
  }
  for (int fd : {m_iListen, m_iStop[0], m_iStop[1]})
    if (fd >= 0) close(fd);
}

std::string CHttpServer::strHostPath(const std::string& strPath) const {
  return "127.0.0.1:" + std::to_string(m_iPort) + strPath;
}

std::vector<std::string> CHttpServer::requests() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_requests;
}

void CHttpServer::vServe() {
  while (true) {
    pollfd fds[2] = {{m_iListen, POLLIN, 0}, {m_iStop[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents != 0) return;
    if (fds[0].revents == 0) continue;
    int iSocket = accept4(m_iListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (iSocket < 0) continue;
    vAnswer(iSocket);
    close(iSocket);
  }
}

void CHttpServer::vAnswer(int iSocket) {
  std::string strRequest;
  char buffer[4096];
  while (strRequest.find("\r\n\r\n") == std::string::npos && strRequest.size() < 65536) {
    pollfd fd = {iSocket, POLLIN, 0};
    if (poll(&fd, 1, 5000) <= 0) return;
    ssize_t iRead = recv(iSocket, buffer, sizeof buffer, 0);
    if (iRead <= 0) return;
    strRequest.append(buffer, static_cast<size_t>(iRead));
  }
  // "GET /path?query HTTP/1.1"
  size_t uStart = strRequest.find(' ');
  size_t uEnd = uStart == std::string::npos ? std::string::npos : strRequest.find(' ', uStart + 1);
  if (uEnd == std::string::npos) return;
  std::string strTarget = strRequest.substr(uStart + 1, uEnd - uStart - 1);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(strTarget);
  }
  auto it = m_replies.find(strTarget.substr(0, strTarget.find('?')));
  CHttpReply reply = it != m_replies.end() ? it->second : CHttpReply{404, "", "not found"};
  std::string strAnswer =
      "HTTP/1.1 " + std::to_string(reply.iStatus) + " " + pszReason(reply.iStatus) +
      "\r\nContent-Type: " + reply.strType + "\r\nContent-Length: " + std::to_string(reply.strBody.size()) +
      "\r\nConnection: close\r\nCache-Control: no-store\r\n" + reply.strHeaders + "\r\n" + reply.strBody;
  vSendAll(iSocket, strAnswer);
  shutdown(iSocket, SHUT_WR);
}

}  // namespace txtest
