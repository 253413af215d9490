#pragma once
#include <QString>
#include <functional>
#include <string_view>

namespace AppPaths {

// The program folder: the per-user data folder, created when missing; ends in "/".
QString appPath();

// Adds a trailing "/" when missing.
QString withSlash(const QString& folder);

// Path of a file inside a folder, matched case-insensitively against what is
// there (folders made on Windows carry "ORDER1.KDT"); an exact match wins.
// When no such file exists, the canonical path folder + name is returned.
QString find(const QString& folder, const QString& name);
bool exists(const QString& folder, const QString& name);

// Reads the entries of a folder (all but "." and "..") straight from it, in
// its own order and without a look at each file: each entry's name as
// stored and its type as the folder tells it (a DT_ value of <dirent.h>,
// DT_UNKNOWN when it does not). False when the folder cannot be read.
bool readEntries(const QString& folder, const std::function<void(std::string_view name, unsigned char type)>& entry);

// True when a stored entry name and name differ at most in letter case, by
// the rule of QString::compare with Qt::CaseInsensitive.
bool sameButCase(std::string_view entry, const QString& name);

// True only for an existing folder.
bool folderExists(const QString& folder);

// Folders the program refuses for its own files: "/", system places and
// folders it cannot write.
bool isRefusedFolder(const QString& folder);

}  // namespace AppPaths
