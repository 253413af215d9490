#pragma once
// Message boxes, input boxes and file/folder dialogs. Windows and store code
// talk to the user only through this interface, so tests can answer for them.
#include <QString>
#include <optional>

class Prompt {
 public:
  enum class Icon { None, Information, Exclamation, Question, Critical };
  enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
  enum class Answer { Ok, Cancel, Yes, No };

  virtual ~Prompt() = default;

  // A message box. An empty title shows "Kestrin".
  virtual Answer message(const QString& text, Icon icon = Icon::None, Buttons buttons = Buttons::Ok,
                         const QString& title = {}) = 0;

  // An input box; nullopt when cancelled. Callers treat an empty answer as
  // cancel where the program does. A password box masks what is typed.
  virtual std::optional<QString> input(const QString& text, const QString& title = {},
                                       const QString& initial = {}, bool password = false) = 0;

  // File dialogs; an empty result means cancelled. filter is a Qt filter
  // text such as "Kestrin 備份檔 (*.kbk)".
  virtual QString openFile(const QString& title, const QString& filter, const QString& folder = {}) = 0;
  virtual QString saveFile(const QString& title, const QString& filter, const QString& folder = {},
                           const QString& fileName = {}) = 0;
  // Folder picker; an empty result means cancelled. The folder ends in "/".
  virtual QString pickFolder(const QString& title, const QString& folder = {}) = 0;

  // Shorthands used everywhere.
  void error() { message(QStringLiteral("發生錯誤!"), Icon::Exclamation); }
  void warn(const QString& text) { message(text, Icon::Exclamation, Buttons::Ok, QStringLiteral("注意")); }
  void info(const QString& text) { message(text, Icon::Information); }
  bool askYesNo(const QString& text, const QString& title = {}, Icon icon = Icon::Exclamation) {
    return message(text, icon, Buttons::YesNo, title) == Answer::Yes;
  }
};
