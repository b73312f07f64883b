// File and folder existence.
#pragma once

#include <string>

// True only when a file (not a folder) of that name exists.
bool FileExists(const std::string& path);
// True only when a folder of that name exists.
bool DirectoryExists(const std::string& path);
