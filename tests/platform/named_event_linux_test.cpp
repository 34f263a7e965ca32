// The Linux emulation of named events against crashed holders, foreign files, other accounts and
// two processes working one pair of events hard.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/named_event.h"

using platform::CNamedEvent;
using platform::WAIT_RESULT_SIGNALLED;
using platform::WAIT_RESULT_TIMEOUT;

namespace {

const char EVENT_DIR[] = "/tmp/.tarvenix-events";
const uid_t NOBODY = 65534;

std::string strName(const char* pszTest) {
  return std::string("TxLinuxEvent") + pszTest + std::to_string(getpid()) + "_" +
         std::to_string(platform::uGetTickMs());
}

// Names of letters and digits are stored under themselves.
std::string strFileOf(const std::string& name) { return std::string(EVENT_DIR) + "/" + name; }

void vEnsureDir() {
  CNamedEvent event;
  event.fCreate(strName("Dir"));
}

// Runs body in a forked child (as account uid when not 0) and returns its exit status; the child
// reports through the status: 0 for success.
int iInChild(uid_t uid, const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    if (uid != 0 && (setgid(uid) != 0 || setuid(uid) != 0)) _exit(100);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

// A child that runs body and then keeps its handles until killed; ready once it wrote a byte.
pid_t iHoldingChild(uid_t uid, const std::function<void()>& body) {
  int pipefd[2];
  if (pipe(pipefd) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    close(pipefd[0]);
    if (uid != 0 && (setgid(uid) != 0 || setuid(uid) != 0)) _exit(100);
    body();
    char c = 1;
    if (write(pipefd[1], &c, 1) != 1) _exit(101);
    for (;;) pause();
  }
  close(pipefd[1]);
  char c = 0;
  if (read(pipefd[0], &c, 1) != 1) {
    close(pipefd[0]);
    return -1;
  }
  close(pipefd[0]);
  return pid;
}

void vKillChild(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

bool fRoot() { return geteuid() == 0; }

}  // namespace

TEST(LinuxNamedEvent, AHolderKilledWithSigkillLeavesNothingThatOpens) {
  std::string name = strName("Killed");
  pid_t holder = iHoldingChild(0, [&] {
    static CNamedEvent event;
    event.fCreate(name);
    event.fSet();
  });
  ASSERT_GT(holder, 0);
  CNamedEvent probe;
  EXPECT_TRUE(probe.fOpen(name));
  probe.vClose();
  vKillChild(holder);
  EXPECT_FALSE(probe.fOpen(name));
  // Made again, the event starts afresh: not signalled.
  ASSERT_TRUE(probe.fCreate(name));
  EXPECT_EQ(WAIT_RESULT_TIMEOUT, probe.iWait(0));
}

TEST(LinuxNamedEvent, ForeignEntriesUnderTheNameFailCleanlyAndQuickly) {
  vEnsureDir();
  std::string target = std::string("/tmp/txlinuxevent-target-") + std::to_string(getpid());
  {
    int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(5, write(fd, "keep\n", 5));
    close(fd);
  }
  struct Plant {
    const char* pszWhat;
    std::function<bool(const std::string&)> make;
  };
  const Plant plants[] = {
      {"symbolic link", [&](const std::string& p) { return symlink(target.c_str(), p.c_str()) == 0; }},
      {"dangling link", [&](const std::string& p) { return symlink("/nonexistent/x", p.c_str()) == 0; }},
      {"directory", [](const std::string& p) { return mkdir(p.c_str(), 0777) == 0; }},
      {"fifo", [](const std::string& p) { return mkfifo(p.c_str(), 0666) == 0; }},
      {"garbage",
       [](const std::string& p) {
         int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
         const char junk[] =
             "\x7f"
             "ELF garbage bytes, not an event at all";
         bool ok = fd >= 0 && write(fd, junk, sizeof junk) == static_cast<ssize_t>(sizeof junk);
         if (fd >= 0) close(fd);
         return ok;
       }},
      {"header-sized garbage",
       [](const std::string& p) {
         int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
         char junk[24];
         std::memset(junk, 0xA5, sizeof junk);
         bool ok = fd >= 0 && write(fd, junk, sizeof junk) == static_cast<ssize_t>(sizeof junk);
         if (fd >= 0) close(fd);
         return ok;
       }},
  };
  for (const Plant& plant : plants) {
    std::string name = strName("Plant");
    std::string path = strFileOf(name);
    ASSERT_TRUE(plant.make(path)) << plant.pszWhat;
    uint32_t start = platform::uGetTickMs();
    CNamedEvent event;
    EXPECT_FALSE(event.fOpen(name)) << plant.pszWhat;
    EXPECT_FALSE(event.fCreate(name)) << plant.pszWhat;
    EXPECT_FALSE(event.fIsOpen()) << plant.pszWhat;
    EXPECT_LT(platform::uGetTickMs() - start, 3000u) << plant.pszWhat;
    if (rmdir(path.c_str()) != 0) unlink(path.c_str());
  }
  char buf[16] = {};
  int fd = open(target.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(5, read(fd, buf, sizeof buf));
  close(fd);
  EXPECT_STREQ("keep\n", buf);
  unlink(target.c_str());
}

TEST(LinuxNamedEvent, AnEmptyFileLeftUnderTheNameIsMadeIntoTheEvent) {
  vEnsureDir();
  std::string name = strName("Empty");
  int fd = open(strFileOf(name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  ASSERT_GE(fd, 0);
  close(fd);
  CNamedEvent event;
  EXPECT_FALSE(event.fOpen(name));
  ASSERT_TRUE(event.fCreate(name));
  EXPECT_EQ(WAIT_RESULT_TIMEOUT, event.iWait(0));
}

TEST(LinuxNamedEvent, EventsWorkAcrossAccounts) {
  if (!fRoot()) GTEST_SKIP() << "needs root to act as another account";
  // Made by nobody, opened and set by root, seen by nobody's wait.
  std::string name = strName("Nobody");
  std::string done = name + "Done";
  pid_t holder = iHoldingChild(NOBODY, [&] {
    static CNamedEvent event;
    static CNamedEvent ack;
    if (!event.fCreate(name) || !ack.fCreate(done)) _exit(3);
    // Answer once: wait for root's set in a thread, then set the acknowledgement.
    std::thread([] {
      if (event.iWait(10000) == WAIT_RESULT_SIGNALLED) ack.fSet();
    }).detach();
  });
  ASSERT_GT(holder, 0);
  CNamedEvent event;
  CNamedEvent ack;
  ASSERT_TRUE(event.fOpen(name));
  ASSERT_TRUE(ack.fOpen(done));
  ASSERT_TRUE(event.fSet());
  EXPECT_EQ(WAIT_RESULT_SIGNALLED, ack.iWait(5000));
  vKillChild(holder);

  // Made by root, opened and set by nobody.
  std::string mine = strName("Root");
  CNamedEvent rootEvent;
  ASSERT_TRUE(rootEvent.fCreate(mine));
  EXPECT_EQ(0, iInChild(NOBODY, [&] {
              CNamedEvent e;
              return e.fOpen(mine) && e.fSet() ? 0 : 1;
            }));
  EXPECT_EQ(WAIT_RESULT_SIGNALLED, rootEvent.iWait(0));
}

TEST(LinuxNamedEvent, FilesPlantedByAnotherAccountHarmNeitherSide) {
  if (!fRoot()) GTEST_SKIP() << "needs root to act as another account";
  vEnsureDir();
  // Garbage nobody may keep to itself, garbage open to all and held under a lock forever.
  std::string closedName = strName("Closed");
  std::string heldName = strName("Held");
  pid_t planter = iHoldingChild(NOBODY, [&] {
    int fd = open(strFileOf(closedName).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0 || write(fd, "junk", 4) != 4) _exit(3);
    close(fd);
    static int held = open(strFileOf(heldName).c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
    fchmod(held, 0666);
    if (held < 0 || write(held, "junk that is held", 17) != 17) _exit(4);
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;  // the whole file and beyond: every lock byte
    if (fcntl(held, F_SETLK, &fl) != 0) _exit(5);
  });
  ASSERT_GT(planter, 0);
  for (const std::string& name : {closedName, heldName}) {
    uint32_t start = platform::uGetTickMs();
    CNamedEvent event;
    EXPECT_FALSE(event.fCreate(name)) << name;
    EXPECT_FALSE(event.fOpen(name)) << name;
    EXPECT_LT(platform::uGetTickMs() - start, 6000u) << name;
  }
  // The other way round: root's garbage cannot trouble nobody.
  std::string rootName = strName("RootPlant");
  int fd = open(strFileOf(rootName).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(4, write(fd, "junk", 4));
  close(fd);
  EXPECT_EQ(0, iInChild(NOBODY, [&] {
              CNamedEvent e;
              return !e.fCreate(rootName) && !e.fOpen(rootName) ? 0 : 1;
            }));
  vKillChild(planter);
  unlink(strFileOf(rootName).c_str());
  iInChild(NOBODY, [&] { return unlink(strFileOf(closedName).c_str()) + unlink(strFileOf(heldName).c_str()); });
}

// Ten seconds of ping and pong between two processes, while a third party in each keeps making
// and dropping handles to the same events: every set is seen exactly once.
TEST(LinuxNamedEvent, TwoProcessesHammeringSetAndWaitLoseNothing) {
  std::string ping = strName("Ping");
  std::string pong = ping + "Pong";
  CNamedEvent pingEvent;
  CNamedEvent pongEvent;
  ASSERT_TRUE(pingEvent.fCreate(ping));
  ASSERT_TRUE(pongEvent.fCreate(pong));

  auto churn = [](const std::string& a, const std::string& b, volatile bool* stop) {
    while (!*stop) {
      CNamedEvent x;
      CNamedEvent y;
      x.fCreate(a);
      y.fOpen(b);
    }
  };

  int report[2];
  ASSERT_EQ(0, pipe(report));
  pid_t partner = fork();
  if (partner == 0) {
    close(report[0]);
    CNamedEvent in;
    CNamedEvent out;
    if (!in.fOpen(ping) || !out.fOpen(pong)) _exit(3);
    volatile bool stop = false;
    std::thread noise(churn, ping, pong, &stop);
    long seen = 0;
    int idle = 0;
    while (idle < 20) {  // two quiet seconds: the other side has finished
      if (in.iWait(100) == WAIT_RESULT_SIGNALLED) {
        seen++;
        idle = 0;
        out.fSet();
      } else {
        idle++;
      }
    }
    stop = true;
    noise.join();
    if (write(report[1], &seen, sizeof seen) != sizeof seen) _exit(4);
    _exit(0);
  }
  close(report[1]);
  volatile bool stop = false;
  std::thread noise(churn, pong, ping, &stop);
  long sent = 0;
  long lost = 0;
  uint32_t start = platform::uGetTickMs();
  while (platform::uGetTickMs() - start < 10000) {
    ASSERT_TRUE(pingEvent.fSet());
    sent++;
    if (pongEvent.iWait(2000) != WAIT_RESULT_SIGNALLED) lost++;
  }
  stop = true;
  noise.join();
  long seen = -1;
  ASSERT_EQ(static_cast<ssize_t>(sizeof seen), read(report[0], &seen, sizeof seen));
  close(report[0]);
  int status = 0;
  waitpid(partner, &status, 0);
  EXPECT_EQ(0, lost);
  EXPECT_EQ(sent, seen);
  EXPECT_GT(sent, 100);
  RecordProperty("round_trips", std::to_string(sent));
}
