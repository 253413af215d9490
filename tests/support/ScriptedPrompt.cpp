#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

ScriptedPrompt& ScriptedPrompt::answer(Answer a) {
  Item i;
  i.kind = 0;
  i.answer = a;
  queue_.push_back(i);
  return *this;
}

ScriptedPrompt& ScriptedPrompt::answerInput(std::optional<QString> t) {
  Item i;
  i.kind = 1;
  i.given = t.has_value();
  if (t) i.text = *t;
  queue_.push_back(i);
  return *this;
}

ScriptedPrompt& ScriptedPrompt::answerPath(const QString& p) {
  Item i;
  i.kind = 2;
  i.text = p;
  queue_.push_back(i);
  return *this;
}

bool ScriptedPrompt::take(int kind, Item* out) {
  if (queue_.empty() || queue_.front().kind != kind) return false;
  *out = queue_.front();
  queue_.pop_front();
  return true;
}

QStringList ScriptedPrompt::texts() const {
  QStringList out;
  for (const auto& s : shown) out << s.text;
  return out;
}

Prompt::Answer ScriptedPrompt::message(const QString& text, Icon icon, Buttons buttons, const QString& title) {
  shown.push_back({QStringLiteral("message"), text, title, icon, buttons, false});
  Item i;
  if (take(0, &i)) return i.answer;
  if (buttons == Buttons::Ok && autoOk) return Answer::Ok;
  ADD_FAILURE() << "unexpected message box: " << text.toStdString();
  return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<QString> ScriptedPrompt::input(const QString& text, const QString& title, const QString&, bool password) {
  shown.push_back({QStringLiteral("input"), text, title, Icon::None, Buttons::OkCancel, password});
  Item i;
  if (take(1, &i)) {
    if (!i.given) return std::nullopt;
    return i.text;
  }
  ADD_FAILURE() << "unexpected input box: " << text.toStdString();
  return std::nullopt;
}

QString ScriptedPrompt::openFile(const QString& title, const QString&, const QString&) {
  shown.push_back({QStringLiteral("open"), title, title});
  Item i;
  if (take(2, &i)) return i.text;
  ADD_FAILURE() << "unexpected open dialog: " << title.toStdString();
  return {};
}

QString ScriptedPrompt::saveFile(const QString& title, const QString&, const QString&, const QString& fileName) {
  shown.push_back({QStringLiteral("save"), title, title});
  proposedNames << fileName;
  Item i;
  if (take(2, &i)) return i.text;
  ADD_FAILURE() << "unexpected save dialog: " << title.toStdString();
  return {};
}

QString ScriptedPrompt::pickFolder(const QString& title, const QString&) {
  shown.push_back({QStringLiteral("folder"), title, title});
  Item i;
  if (take(2, &i)) return i.text;
  ADD_FAILURE() << "unexpected folder dialog: " << title.toStdString();
  return {};
}
