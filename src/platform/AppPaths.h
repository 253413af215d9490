#pragma once
#include <QString>

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

// True only for an existing folder.
bool folderExists(const QString& folder);

// Folders the program refuses for its own files: "/", system places and
// folders it cannot write.
bool isRefusedFolder(const QString& folder);

}  // namespace AppPaths
