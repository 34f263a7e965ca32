// Single-letter options from argument words in the getopt manner.
#pragma once

// The position inside the current word is one variable shared by the whole process, so a parse
// runs on one thread at a time and is not restarted by constructing a new parser.
class CGetOpt {
 public:
  CGetOpt();
  virtual ~CGetOpt();

  // Returns the next option letter, '?' for an illegal letter or a missing argument (printing
  // "<argv[0]>: illegal option -- x\n" or ": option requires an argument -- x\n" to the standard
  // error stream when opterr is set), or -1 when no options remain ("--" is skipped, "-" and plain
  // words are not).
  int getopt(int argc, char* const argv[], const char* pszOptions);

  int iGetOptInd() const { return optind; }
  void vSetOptInd(int iInd) { optind = iInd; }

  int opterr;
  int optind;
  char* optarg;
};
