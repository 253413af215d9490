#pragma once
// What the password windows and commands change on the main window: the
// flag PassChk (the open database's password was accepted, or it has none)
// and the enabled states of the menu entries "建立資料庫密碼" and "刪除資料庫密碼".
class PasswordHost {
 public:
  virtual ~PasswordHost() = default;
  virtual bool passChk() const = 0;
  virtual void setPassChk(bool accepted) = 0;
  virtual bool passSetEnabled() const = 0;
  virtual bool passClearEnabled() const = 0;
  virtual void setPassMenu(bool setEnabled, bool clearEnabled) = 0;

  // The menu as it stands when the database has (true) or has no password file.
  void showPasswordFile(bool present) { setPassMenu(!present, present); }
};

// A plain holder, for code and tests that run without the main window.
class PasswordState : public PasswordHost {
 public:
  bool passChk() const override { return chk; }
  void setPassChk(bool a) override { chk = a; }
  bool passSetEnabled() const override { return set; }
  bool passClearEnabled() const override { return clear; }
  void setPassMenu(bool s, bool c) override { set = s; clear = c; }
  bool chk = false;
  bool set = true;
  bool clear = true;
};
