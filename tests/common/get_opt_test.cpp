// Tests of CGetOpt: letters, arguments, the end of the options and the texts on standard error.
#include "common/get_opt.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <string>
#include <vector>

#include "test_files.h"

namespace {

// What one parse of the words returned, call by call, and what it printed to file descriptor 2.
struct Parse {
  std::string results;  // each letter returned, '?' included, then '.' for -1
  std::vector<std::string> optargs;
  int optind = 0;
  std::string stderrText;
};

Parse parse(std::vector<std::string> words, const char* options, int opterr = 1) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(words.size());

  txtest::CScratchDir dir;
  std::string capture = dir / "stderr.txt";
  std::fflush(stderr);
  int saved = dup(2);
  FILE* file = std::fopen(capture.c_str(), "wb");
  dup2(fileno(file), 2);

  Parse result;
  CGetOpt opt;
  opt.opterr = opterr;
  for (int letter; (letter = opt.getopt(argc, argv.data(), options)) != -1 && result.results.size() < 20;) {
    result.results += static_cast<char>(letter);
    result.optargs.push_back(opt.optarg != nullptr ? opt.optarg : "<none>");
  }
  result.results += '.';
  result.optind = opt.iGetOptInd();

  dup2(saved, 2);
  close(saved);
  std::fclose(file);
  result.stderrText = txtest::strReadFile(capture);
  return result;
}

TEST(GetOpt, LettersAloneAndSharingAWord) {
  const struct {
    std::vector<std::string> words;
    std::string results;
    int optind;
  } cases[] = {
      {{"tarvctl", "-r"}, "r.", 2},
      {{"tarvctl", "-t"}, "t.", 2},
      {{"tarvctl", "-rt", "rest"}, "rt.", 2},
      {{"tarvctl", "-r", "-t", "rest", "-r"}, "rt.", 3},
      {{"tarvctl"}, ".", 1},
      {{"tarvctl", "--", "-r"}, ".", 2},
      {{"tarvctl", "-", "-r"}, ".", 1},
      {{"tarvctl", "word", "-r"}, ".", 1},
      {{"tarvctl", "-r", "--", "-t"}, "r.", 3},
  };
  for (const auto& c : cases) {
    Parse p = parse(c.words, "rt");
    EXPECT_EQ(p.results, c.results) << c.words.size() << " words, second " << (c.words.size() > 1 ? c.words[1] : "");
    EXPECT_EQ(p.optind, c.optind) << c.results;
    EXPECT_EQ(p.stderrText, "");
  }

  // Within a word the parser stops after the letter it returns; optind passes the word after its
  // last letter.
  std::vector<std::string> words = {"tarvctl", "-rt", "x"};
  std::vector<char*> argv = {words[0].data(), words[1].data(), words[2].data(), nullptr};
  CGetOpt opt;
  EXPECT_EQ(opt.getopt(3, argv.data(), "rt"), 'r');
  EXPECT_EQ(opt.iGetOptInd(), 1);
  EXPECT_EQ(opt.getopt(3, argv.data(), "rt"), 't');
  EXPECT_EQ(opt.iGetOptInd(), 2);
  EXPECT_EQ(opt.getopt(3, argv.data(), "rt"), -1);
}

TEST(GetOpt, IllegalLettersAreReportedWithTheProgramName) {
  Parse x = parse({"bin/tarvctl.exe", "-x"}, "rt");
  EXPECT_EQ(x.results, "?.");
  EXPECT_EQ(x.optind, 2);
  EXPECT_EQ(x.stderrText, "bin/tarvctl.exe: illegal option -- x\n");

  Parse rx = parse({"tarvctl", "-rx", "-t"}, "rt");
  EXPECT_EQ(rx.results, "r?t.");
  EXPECT_EQ(rx.optind, 3);
  EXPECT_EQ(rx.stderrText, "tarvctl: illegal option -- x\n");

  // The colon marks arguments in the option letters and is never a letter itself.
  Parse colon = parse({"tarvctl", "-:", "-a", "v"}, "a:");
  EXPECT_EQ(colon.results, "?a.");
  EXPECT_EQ(colon.optargs[1], "v");
  EXPECT_EQ(colon.stderrText, "tarvctl: illegal option -- :\n");

  Parse quiet = parse({"tarvctl", "-x", "-a"}, "a:", 0);
  EXPECT_EQ(quiet.results, "??.");
  EXPECT_EQ(quiet.stderrText, "");
}

TEST(GetOpt, ArgumentsInTheSameOrTheNextWord) {
  const struct {
    std::vector<std::string> words;
    std::string results;
    std::string optarg;  // of the first letter
    int optind;
  } cases[] = {
      {{"p", "-afoo"}, "a.", "foo", 2},
      {{"p", "-a", "foo"}, "a.", "foo", 3},
      {{"p", "-a", "-b"}, "a.", "-b", 3},
      {{"p", "-ba", "x", "y"}, "ba.", "<none>", 3},
      {{"p", "-a", "--"}, "a.", "--", 3},
      {{"p", "-c"}, "c.", "<none>", 2},  // two colons: a missing argument at the end is no error
  };
  for (const auto& c : cases) {
    Parse p = parse(c.words, "a:bc::");
    EXPECT_EQ(p.results, c.results) << c.words[1];
    ASSERT_FALSE(p.optargs.empty()) << c.words[1];
    EXPECT_EQ(p.optargs[0], c.optarg) << c.words[1];
    EXPECT_EQ(p.optind, c.optind) << c.words[1];
    EXPECT_EQ(p.stderrText, "") << c.words[1];
  }

  Parse missing = parse({"prog", "-b", "-a"}, "a:b");
  EXPECT_EQ(missing.results, "b?.");
  EXPECT_EQ(missing.optind, 3);
  EXPECT_EQ(missing.stderrText, "prog: option requires an argument -- a\n");
}

TEST(GetOpt, PositionIsSharedByEveryParser) {
  std::vector<std::string> words = {"tarvctl", "-rt"};
  std::vector<char*> argv = {words[0].data(), words[1].data(), nullptr};
  CGetOpt first;
  EXPECT_EQ(first.getopt(2, argv.data(), "rt"), 'r');

  // A new parser goes on inside the word where the last one stopped.
  CGetOpt second;
  EXPECT_EQ(second.getopt(2, argv.data(), "rt"), 't');
  EXPECT_EQ(second.iGetOptInd(), 2);

  // A position left past the end of another parse's word starts that word afresh instead of
  // reading beyond it.
  EXPECT_EQ(first.getopt(2, argv.data(), "rt"), 'r');
  std::vector<std::string> shortWords = {"tarvctl", "-t"};
  std::vector<char*> shortArgv = {shortWords[0].data(), shortWords[1].data(), nullptr};
  CGetOpt third;
  EXPECT_EQ(third.getopt(2, shortArgv.data(), "rt"), 't');
  EXPECT_EQ(third.getopt(2, shortArgv.data(), "rt"), -1);
  third.vSetOptInd(1);
  EXPECT_EQ(third.getopt(2, shortArgv.data(), "rt"), 't');
}

}  // namespace
