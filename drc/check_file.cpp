#include "drc/check_file.h"

#include <cctype>
#include <cstdlib>

#include "utilib/job.h"

namespace drc {

namespace {

bool Gathered(int c) { return std::isalnum(c) || c == ',' || c == '-' || c == ';'; }

std::string Trimmed(std::string text) {
  std::size_t a = text.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  std::size_t b = text.find_last_not_of(' ');
  return text.substr(a, b - a + 1);
}

}  // namespace

int CheckFile::Open(std::string_view path) {
  counter_ = 0;
  return cursor_.OpenTextFile(path);
}

std::string CheckFile::RestOfLine() {
  std::string text;
  for (int c = cursor_.Get(); c != -1 && c != '\n'; c = cursor_.Get())
    text += static_cast<char>(c < ' ' ? ' ' : c);
  return text;
}

bool CheckFile::ReadCheck(Check& check) {
  ++counter_;
  check.number = counter_;
  check.title.clear();
  check.hasLocation = false;
  check.locationX.clear();
  check.locationY.clear();
  check.operators.clear();
  // A keyword gathers from the start of its line to its "="; a line without one is ignored.
  std::string keyword;
  for (int c = cursor_.Get(); c != -1; c = cursor_.Get()) {
    if (c == '\n') {
      keyword.clear();
      continue;
    }
    if (c != '=') {
      if (Gathered(c)) keyword += static_cast<char>(c);
      continue;
    }
    std::string key;
    for (std::size_t i = 0; i < 2 && i < keyword.size(); ++i)
      key += static_cast<char>(std::toupper(static_cast<unsigned char>(keyword[i])));
    keyword.clear();
    if (key == "OP") {
      ReadBlock(check);
      if (check.title.empty()) check.title = utilib::Format("Check %d", check.number);
      return true;
    }
    std::string value = RestOfLine();
    if (key == "TI") {
      check.title = value.substr(0, kTitleLength);
    } else if (key == "RE") {
      check.resolution = std::atof(value.c_str());
    } else if (key == "DI") {
      check.distance = std::atof(value.c_str());
    } else if (key == "LO") {
      std::size_t comma = value.find(',');
      check.hasLocation = true;
      check.locationX = Trimmed(value.substr(0, comma)).substr(0, kLocationLength);
      check.locationY = comma == std::string::npos ? "" : Trimmed(value.substr(comma + 1)).substr(0, kLocationLength);
    }
  }
  return false;
}

void CheckFile::ReadBlock(Check& check) {
  for (int c = cursor_.Get();; c = cursor_.Get()) {
    if (c == -1 || std::isalpha(c)) return;  // a letter before the block: no operator lines
    if (c == '{') break;
  }
  std::string line;
  auto finish = [&] {
    line = line.substr(0, kOperatorLength);
    line = line.substr(0, line.find(';'));
    if (!line.empty()) check.operators.push_back(line);
    line.clear();
  };
  for (int c = cursor_.Get();; c = cursor_.Get()) {
    if (c == -1 || c == '}') {
      finish();
      return;
    }
    if (c == '\n') finish();
    else if (Gathered(c)) line += static_cast<char>(c);
  }
}

}  // namespace drc
