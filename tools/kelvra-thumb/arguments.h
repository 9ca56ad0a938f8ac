// The command line of kelvra-thumb: [--size N] FILE... --out DIR.
#pragma once
#include <string>
#include <vector>

struct ThumbArguments {
  int size = 96;  // the side of the square the shell asks for by default
  std::vector<std::string> files;
  std::string outDir;
};

// Options may stand anywhere; every other argument is a file. On a
// mistake returns false with the reason in `error`.
bool ParseArguments(const std::vector<std::string>& arguments, ThumbArguments* parsed, std::string* error);

// The PNG written for a file: its name with ".png" added, in the folder.
std::string OutputPath(const std::string& outDir, const std::string& file);
