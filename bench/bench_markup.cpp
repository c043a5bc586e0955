// Reading the same words as plain text, HTML and RTF.
//
// The Brown corpus sample (shared/corpus/brown) is written three ways: plain
// ANSI text, an HTML page (paragraphs, some bold words, references for the
// accented letters and quotes, a style sheet) and an RTF document (header,
// font and colour tables, \par, bold groups, escapes). Each is read twice:
// by the readers alone in 64 KB blocks with a word-cutting loop like the
// scanner's, and as files through the text loader, the word scanner and the
// segment buffer of an analysis run. The figure of merit is the markup time
// over the plain-text time.
//
//   bench_markup [corpus folder] [repetitions]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/analysis.h"
#include "core/chartables.h"
#include "core/file_queue.h"
#include "core/files.h"
#include "engine/analysis_run.h"
#include "core/options.h"
#include "engine/word_list.h"
#include "import/markup_reader.h"
#include "import/rtf_reader.h"
#include "platform/message_ui.h"

namespace {

using namespace quilor;

// Words of the tagged corpus ("word/tag" tokens), one paragraph per line.
std::vector<std::vector<std::string>> LoadCorpus(const std::string& folder, size_t maxFiles) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    std::string name = e.path().filename().string();
    if (name.size() == 4 && name[0] == 'c') files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  if (files.size() > maxFiles) files.resize(maxFiles);
  std::vector<std::vector<std::string>> paragraphs;
  for (const auto& path : files) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream tokens(line);
      std::vector<std::string> words;
      std::string token;
      while (tokens >> token) {
        size_t slash = token.rfind('/');
        words.push_back(slash == std::string::npos ? token : token.substr(0, slash));
      }
      if (!words.empty()) paragraphs.push_back(std::move(words));
    }
  }
  return paragraphs;
}

// Gives some words an accent so that references and escapes are exercised.
std::string Accented(const std::string& word, size_t n) { return n % 17 == 0 ? word + "\xE9" : word; }

std::string PlainText(const std::vector<std::vector<std::string>>& paragraphs) {
  std::string out;
  size_t n = 0;
  for (const auto& p : paragraphs) {
    for (const auto& w : p) out += Accented(w, n++) + ' ';
    out += "\r\n";
  }
  return out;
}

std::string Html(const std::vector<std::vector<std::string>>& paragraphs) {
  std::string out =
      "<!DOCTYPE html>\n<html><head><meta charset=\"windows-1252\"><title>Brown</title>"
      "<style>p { margin: 0 } b { color: red }</style></head><body>\n";
  size_t n = 0;
  for (const auto& p : paragraphs) {
    out += "<p class=\"text\">";
    for (const auto& w : p) {
      std::string word = w;
      if (word == "``" || word == "''") word = "&quot;";
      if (n % 17 == 0) word += "&eacute;";
      if (n % 23 == 0) word = "<b>" + word + "</b>";
      out += word + ' ';
      ++n;
    }
    out += "</p>\n";
  }
  return out + "</body></html>\n";
}

std::string Rtf(const std::vector<std::vector<std::string>>& paragraphs) {
  std::string out =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}}"
      "{\\colortbl;\\red0\\green0\\blue0;}\n\\pard\\plain \\f0\\fs24 ";
  size_t n = 0;
  for (const auto& p : paragraphs) {
    for (const auto& w : p) {
      std::string word = w;
      if (word == "``") word = "\\ldblquote ";
      if (word == "''") word = "\\rdblquote ";
      if (n % 17 == 0) word += "\\'e9";
      if (n % 23 == 0) word = "{\\b " + word + "}";
      out += word + ' ';
      ++n;
    }
    out += "\\par\n";
  }
  return out + "}";
}

// Cuts the text into words as the word scanner does: letters and digits
// build a word, anything else ends it.
size_t CountWords(const std::string& text) {
  size_t words = 0, length = 0;
  for (unsigned char c : text) {
    unsigned char cls = CharClass(c);
    if (cls == kCharLetter || cls == kCharDigit || (cls == kCharUnderscore && length > 0)) {
      ++length;
    } else if (length > 0) {
      ++words;
      length = 0;
    }
  }
  return words + (length > 0);
}

constexpr size_t kBlock = 65536;

// Reads a document in 64 KB blocks; counts the words of each block's text
// when words is given.
template <class Reader>
void ReadBlocks(Reader& reader, const std::string& doc, std::string& out, size_t* words) {
  for (size_t at = 0; at < doc.size(); at += kBlock) {
    out.clear();
    reader.Decode(doc.data() + at, std::min(kBlock, doc.size() - at), out);
    if (words) *words += CountWords(out);
  }
  out.clear();
  reader.Finish(out);
  if (words) *words += CountWords(out);
}

template <class Decode>
double TimeRead(const std::string& doc, int repetitions, Decode decode, size_t& words) {
  std::string out;
  out.reserve(kBlock * 2);
  double best = 1e99;
  for (int r = 0; r < repetitions; ++r) {
    auto start = std::chrono::steady_clock::now();
    words = 0;
    decode(doc, out, words);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best = std::min(best, seconds);
  }
  return best;
}

// Seconds of the best of repetitions analysis runs over one file.
double TimeLoad(const std::string& path, int repetitions, size_t& words) {
  double best = 1e99;
  for (int r = 0; r < repetitions; ++r) {
    FileQueue.Clear();
    FileQueue.Add(path.c_str());
    TAnalysis analysis;
    auto start = std::chrono::steady_clock::now();
    RunAnalysis(analysis, 0, TakeRunSettings(*Options));
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    CloseProgressGauge();
    words = TextWords.Count();
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder = argc > 1 ? argv[1] : std::string(QUILOR_CORPUS_ROOT) + "/brown";
  int repetitions = argc > 2 ? std::atoi(argv[2]) : 5;
  auto paragraphs = LoadCorpus(folder, 400);
  if (paragraphs.empty()) {
    std::fprintf(stderr, "no corpus in %s\n", folder.c_str());
    return 1;
  }
  const std::string plain = PlainText(paragraphs), htmlDoc = Html(paragraphs), rtfDoc = Rtf(paragraphs);

  size_t plainWords = 0, htmlWords = 0, rtfWords = 0, unused = 0;
  double tPlain = TimeRead(
      plain, repetitions,
      [](const std::string& doc, std::string& out, size_t& words) {
        for (size_t at = 0; at < doc.size(); at += kBlock) {
          out.assign(doc, at, std::min(kBlock, doc.size() - at));  // the block as the loader takes it
          words += CountWords(out);
        }
      },
      plainWords);
  MarkupReader markup;
  RtfReader rtfReader;
  auto html = [&](bool count) {
    return [&markup, count](const std::string& doc, std::string& out, size_t& words) {
      markup.Reset(kDocHtml);
      ReadBlocks(markup, doc, out, count ? &words : nullptr);
    };
  };
  auto rtfRead = [&](bool count) {
    return [&rtfReader, count](const std::string& doc, std::string& out, size_t& words) {
      rtfReader.Reset();
      ReadBlocks(rtfReader, doc, out, count ? &words : nullptr);
    };
  };
  double tHtml = TimeRead(htmlDoc, repetitions, html(true), htmlWords);
  double tRtf = TimeRead(rtfDoc, repetitions, rtfRead(true), rtfWords);
  // The readers alone, without cutting words.
  double dHtml = TimeRead(htmlDoc, repetitions, html(false), unused);
  double dRtf = TimeRead(rtfDoc, repetitions, rtfRead(false), unused);

  std::printf("corpus: %zu paragraphs\n", paragraphs.size());
  std::printf("readers alone: html %.2f ms (%.1f MB/s), rtf %.2f ms (%.1f MB/s)\n", dHtml * 1e3,
              htmlDoc.size() / dHtml / 1e6, dRtf * 1e3, rtfDoc.size() / dRtf / 1e6);
  std::printf("plain: %9zu bytes %8zu words %8.2f ms %7.1f MB/s\n", plain.size(), plainWords, tPlain * 1e3,
              plain.size() / tPlain / 1e6);
  std::printf("html:  %9zu bytes %8zu words %8.2f ms %7.1f MB/s  x%.2f of plain\n", htmlDoc.size(), htmlWords,
              tHtml * 1e3, htmlDoc.size() / tHtml / 1e6, tHtml / tPlain);
  std::printf("rtf:   %9zu bytes %8zu words %8.2f ms %7.1f MB/s  x%.2f of plain\n", rtfDoc.size(), rtfWords, tRtf * 1e3,
              rtfDoc.size() / tRtf / 1e6, tRtf / tPlain);

  // Whole runs over files.
  ScopedScriptedUi ui;
  Options->Set(opt::SizeThreshold, 1000);
  auto dir = std::filesystem::temp_directory_path() / ("bench_markup_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto write = [&](const char* name, const std::string& bytes) {
    std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  };
  const std::string plainPath = write("brown.txt", plain), htmlPath = write("brown.htm", htmlDoc),
                    rtfPath = write("brown.rtf", rtfDoc);
  size_t lp = 0, lh = 0, lr = 0;
  int loads = std::max(1, repetitions / 4);
  double lPlain = TimeLoad(plainPath, loads, lp), lHtml = TimeLoad(htmlPath, loads, lh),
         lRtf = TimeLoad(rtfPath, loads, lr);
  std::filesystem::remove_all(dir);
  std::printf("loader plain: %8zu words %8.1f ms\n", lp, lPlain * 1e3);
  std::printf("loader html:  %8zu words %8.1f ms  x%.2f of plain\n", lh, lHtml * 1e3, lHtml / lPlain);
  std::printf("loader rtf:   %8zu words %8.1f ms  x%.2f of plain\n", lr, lRtf * 1e3, lRtf / lPlain);
  return 0;
}
