#pragma once
// The password files of a database folder ("DataBase.pwd", "Setting.pwd"):
// one line holding each character's code page 950 code as four upper-case
// hexadecimal digits.
#include <QString>
#include <optional>

namespace PasswordFile {

constexpr const char* kDatabase = "DataBase.pwd";
constexpr const char* kSetting = "Setting.pwd";

// The line for a password (without its line end); nullopt when a character
// cannot be held in code page 950.
std::optional<QString> encode(const QString& password);

// The password held by a file's text: its first line up to a comma, read in
// groups of four hexadecimal digits. nullopt when the text is damaged (no
// first line, a group that is not hexadecimal, a number that is no character).
std::optional<QString> decode(const QString& fileText);

enum class State { Missing, Readable, Damaged };
struct Contents {
  State state = State::Missing;
  QString password;
};

// Whether folder holds the file (name matched without regard to case).
bool exists(const QString& folder, const QString& name = QString::fromLatin1(kDatabase));
// Reads and decodes the file.
Contents read(const QString& folder, const QString& name = QString::fromLatin1(kDatabase));
// Creates or replaces the file, readable by its owner only (a link at its
// name is replaced, never followed); false on failure (the old file then stays).
// A password code page 950 cannot hold is refused (false, nothing written).
bool write(const QString& folder, const QString& password, const QString& name = QString::fromLatin1(kDatabase));
// Deletes the file when present; true when it is gone afterwards.
bool remove(const QString& folder, const QString& name = QString::fromLatin1(kDatabase));

}  // namespace PasswordFile
