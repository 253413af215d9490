#pragma once
// A Prompt that answers from a queue and records everything shown. A prompt
// that comes with no answer queued fails the running test.
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "platform/Prompt.h"

class ScriptedPrompt : public Prompt {
 public:
  struct Shown {
    QString kind;  // "message", "input", "open", "save", "folder"
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    bool password = false;
  };

  // Queue answers in the order the prompts will come.
  ScriptedPrompt& answer(Answer a);                     // for message()
  ScriptedPrompt& answerInput(std::optional<QString> text);  // for input(); nullopt = cancel
  ScriptedPrompt& answerPath(const QString& path);      // for file and folder dialogs ("" = cancel)
  // Plain OK boxes (Buttons::Ok) are answered by themselves unless strict.
  bool autoOk = true;

  Answer message(const QString& text, Icon icon, Buttons buttons, const QString& title) override;
  std::optional<QString> input(const QString& text, const QString& title, const QString& initial,
                               bool password) override;
  QString openFile(const QString& title, const QString& filter, const QString& folder) override;
  QString saveFile(const QString& title, const QString& filter, const QString& folder,
                   const QString& fileName) override;
  QString pickFolder(const QString& title, const QString& folder) override;

  std::vector<Shown> shown;
  QStringList proposedNames;     // the file name each save dialog proposed
  QStringList texts() const;     // text of every prompt shown, in order
  bool pending() const { return !queue_.empty(); }
  void clear() { shown.clear(); queue_.clear(); }

 private:
  struct Item {
    int kind = 0;  // 0 answer, 1 input, 2 path
    Answer answer = Answer::Ok;
    bool given = false;  // input: false = cancel
    QString text;
  };
  std::deque<Item> queue_;
  bool take(int kind, Item* out);
};
