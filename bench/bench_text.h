// What the loading benchmarks share: the peak resident size and the Brown
// sample of the shared corpus as plain text.
#pragma once

#include <dirent.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace quilor::bench {

// User and system time of the process so far, all threads.
inline double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline long MaxRssBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024L;  // kilobytes on Linux
}

// The Brown files of a corpus folder in name order: ca01 .. cj80, with the
// extension given (none in brown/, ".txt" in plain/).
inline std::vector<std::string> BrownFiles(const std::string& dir, const std::string& extension) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n.size() == 4 + extension.size() && n[0] == 'c' && n.compare(4, std::string::npos, extension) == 0)
        names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A token with a letter or a digit: a word for the scanner, not punctuation.
inline bool IsWordToken(const std::string& token) {
  return std::any_of(token.begin(), token.end(), [](unsigned char c) { return std::isalnum(c); });
}

// The plain running text of the corpus (plain/ca01.txt .. cj80.txt), its
// words counted as StrippedCorpus counts them.
inline std::string PlainCorpus(const std::string& dir, long& words) {
  std::string out;
  words = 0;
  for (const std::string& n : BrownFiles(dir, ".txt")) {
    std::ifstream in(dir + "/" + n);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream tokens(line);
      std::string token;
      while (tokens >> token)
        if (IsWordToken(token)) ++words;
      out += line;
      out += '\n';
    }
  }
  return out;
}

// The corpus text without its tags: "word/tag" tokens become "word".
inline std::string StrippedCorpus(const std::string& dir, long& words) {
  std::string out;
  words = 0;
  for (const std::string& n : BrownFiles(dir, "")) {
    std::ifstream in(dir + "/" + n);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream tokens(line);
      std::string token;
      bool any = false;
      while (tokens >> token) {
        size_t slash = token.rfind('/');
        if (slash != std::string::npos && slash > 0) token.resize(slash);
        out += token;
        out += ' ';
        if (IsWordToken(token)) ++words;
        any = true;
      }
      if (any) out += '\n';
    }
  }
  return out;
}

// The tagged corpus (brown/, its tags stripped) or the plain one (plain/).
enum class CorpusForm { kTagged, kPlain };

// Writes the corpus text, repeated up to at least minWords words, to a new
// temporary file named from the template path (its name is written back).
// The text is made in a child process, so that its memory does not count.
inline bool MakeBenchText(const std::string& corpus, long minWords, char* path, CorpusForm form = CorpusForm::kTagged) {
  int fd = mkstemps(path, 4);
  if (fd < 0) {
    std::perror("mkstemps");
    return false;
  }
  close(fd);
  pid_t child = fork();
  if (child == 0) {
    long perCopy = 0;
    std::string text = form == CorpusForm::kPlain ? PlainCorpus(corpus, perCopy) : StrippedCorpus(corpus, perCopy);
    if (perCopy == 0) _exit(2);
    std::ofstream out(path, std::ios::binary);
    for (long written = 0; written < minWords; written += perCopy) out << text;
    _exit(out ? 0 : 3);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "could not make the text from %s\n", corpus.c_str());
    std::remove(path);
    return false;
  }
  return true;
}

// Writes minWords words of exactly letters lower-case letters each, drawn at
// random (nearly all different), ten to a sentence, to a new temporary file
// named from the template path: the text that costs the word list most.
inline bool MakeLongWordText(long minWords, int letters, char* path) {
  int fd = mkstemps(path, 4);
  if (fd < 0) {
    std::perror("mkstemps");
    return false;
  }
  FILE* out = fdopen(fd, "wb");
  if (!out) return false;
  unsigned long long state = 88172645463325252ull;
  std::string line;
  for (long w = 0; w < minWords; ++w) {
    for (int i = 0; i < letters; ++i) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      line += static_cast<char>('a' + state % 26);
    }
    line += (w % 10 == 9) ? ".\n" : " ";
    if (line.size() > (1 << 20)) {
      std::fwrite(line.data(), 1, line.size(), out);
      line.clear();
    }
  }
  std::fwrite(line.data(), 1, line.size(), out);
  return std::fclose(out) == 0;
}

}  // namespace quilor::bench
