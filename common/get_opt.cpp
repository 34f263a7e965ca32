// CGetOpt: the classic getopt scan with the position shared by the whole process.
#include "common/get_opt.h"

#include <cstdio>
#include <cstring>

// Position of the next letter inside the current word; 1 whenever a new word starts.
static int s_iPosition = 1;

// Three pieces, each on the standard error stream at once (it is unbuffered, and the flush keeps it
// so should a caller buffer it), so that the line comes before any later output of the program.
static void vPrintError(char* const argv[], const char* pszMessage, char cLetter) {
  const char* name = argv[0] != nullptr ? argv[0] : "";
  std::fwrite(name, 1, std::strlen(name), stderr);
  std::fflush(stderr);
  std::fwrite(pszMessage, 1, std::strlen(pszMessage), stderr);
  std::fflush(stderr);
  const char tail[2] = {cLetter, '\n'};
  std::fwrite(tail, 1, 2, stderr);
  std::fflush(stderr);
}

CGetOpt::CGetOpt() : opterr(1), optind(1), optarg(nullptr) {}

CGetOpt::~CGetOpt() = default;

int CGetOpt::getopt(int argc, char* const argv[], const char* pszOptions) {
  // A position left inside a word by an earlier parse may lie past the end of this word (or past
  // the last word): start the word afresh rather than read beyond it.
  if (s_iPosition != 1 && (optind < 0 || optind >= argc || argv[optind] == nullptr ||
                           std::strlen(argv[optind]) <= static_cast<size_t>(s_iPosition))) {
    s_iPosition = 1;
  }
  if (s_iPosition == 1) {
    if (optind < 0 || optind >= argc || argv[optind] == nullptr || argv[optind][0] != '-' || argv[optind][1] == '\0') {
      return -1;
    }
    if (std::strcmp(argv[optind], "--") == 0) {
      optind++;
      return -1;
    }
  }
  char* word = argv[optind];
  int letter = static_cast<unsigned char>(word[s_iPosition]);
  const char* found = letter == ':' ? nullptr : std::strchr(pszOptions, letter);
  if (found == nullptr) {
    if (opterr) vPrintError(argv, ": illegal option -- ", static_cast<char>(letter));
    if (word[++s_iPosition] == '\0') {
      optind++;
      s_iPosition = 1;
    }
    return '?';
  }
  if (found[1] == ':') {
    if (word[s_iPosition + 1] != '\0') {
      optarg = &word[s_iPosition + 1];
      optind++;
    } else if (++optind < argc) {
      optarg = argv[optind];
      optind++;
    } else {
      s_iPosition = 1;
      if (found[2] == ':') return letter;
      if (opterr) vPrintError(argv, ": option requires an argument -- ", static_cast<char>(letter));
      return '?';
    }
    s_iPosition = 1;
    return letter;
  }
  if (word[++s_iPosition] == '\0') {
    s_iPosition = 1;
    optind++;
  }
  optarg = nullptr;
  return letter;
}
