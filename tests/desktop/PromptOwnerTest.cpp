// The real prompt on a real desktop: a box, an input box or a file dialog
// belongs to the window that asks, which is back in front and focused when
// it closes; and the screen is up to date before the command goes on (the
// answered box gone, the wait window painted).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <functional>

#include "TestDir.h"
#include "WaitUntil.h"
#include "customers/GuestForm.h"
#include "expenses/ExpendForm.h"
#include "mainwindow/LoadForm.h"
#include "mainwindow/OrderForm.h"
#include "ordereditor/OrderInput.h"
#include "admin/SetForm.h"
#include "platform/QtPrompt.h"
#include "platform/Shell.h"
#include "products/ManufForm.h"
#include "purchasing/ManufStock.h"

namespace {

// One of the prompt's dialogs in front of everything else.
QDialog* shownPrompt() {
  QWidget* w = QApplication::activeModalWidget();
  if (qobject_cast<QMessageBox*>(w) || qobject_cast<QInputDialog*>(w) || qobject_cast<QFileDialog*>(w))
    return static_cast<QDialog*>(w);
  return nullptr;
}

bool activeWhenWaitedFor(QWidget* w) {
  return waitUntil([w] { return QApplication::activeWindow() == w; });
}

// Makes w the active window, as a click of the seller's would (asked again
// while the window manager has not done it: one busy with other windows may
// pass over a request).
void activate(QWidget* w) {
  for (int attempt = 0; attempt < 5 && QApplication::activeWindow() != w; ++attempt) {
    w->raise();
    w->activateWindow();
    waitUntil([w] { return QApplication::activeWindow() == w; }, 1000);
  }
  ASSERT_EQ(QApplication::activeWindow(), w) << qPrintable(w->windowTitle());
}

// Runs command, which asks something; the prompt's dialog is closed (as by
// its cancel button) once it is up and active. The dialog's owner.
QPointer<QWidget> ownerOfPrompt(const std::function<void()>& command) {
  QPointer<QWidget> owner;
  bool closed = false;
  QTimer::singleShot(0, [&] {
    QDialog* dialog = nullptr;
    if (!waitUntil([&] { return (dialog = shownPrompt()) != nullptr; })) {
      ADD_FAILURE() << "the command asked nothing";
      return;
    }
    EXPECT_TRUE(activeWhenWaitedFor(dialog)) << "the prompt is not in front";
    owner = dialog->parentWidget();
    dialog->reject();
    closed = true;
  });
  command();
  EXPECT_TRUE(waitUntil([&] { return closed; }));
  return owner;
}

// Where the window manager stacks w's window among the managed ones, from
// the bottom; -1 when it is not listed.
int stackingPlace(const QWidget* w) {
  QProcess xprop;
  xprop.start(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
  if (!xprop.waitForFinished(5000)) return -1;
  const QString listed = QString::fromLatin1(xprop.readAllStandardOutput()).section(u'#', 1);
  int place = 0;
  for (const QString& id : listed.split(u',')) {
    bool ok = false;
    if (id.trimmed().toULongLong(&ok, 16) == w->winId() && ok) return place;
    ++place;
  }
  return -1;
}

// The screen's pixels under rect (global), as shown now.
QImage screenPixels(const QRect& rect) {
  return QGuiApplication::primaryScreen()
      ->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

struct PromptOwnerTest : ::testing::Test {
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("KESTRIN_TEST_ON_DESKTOP"))
      GTEST_SKIP() << "needs a desktop of its own (tests/support/with-desktop.sh)";
  }
};

// ---- the windows that ask ----

struct AskingWindow {
  const char* name;
  // The main window's command that shows the window (a modal one runs
  // until the test closes it).
  std::function<void(OrderForm&)> open;
  // The window, once it is shown.
  std::function<QWidget*(OrderForm&)> window;
  // Its command that asks something.
  std::function<void(QWidget*)> ask;
};

template <class W>
W* modalWindow() {
  return qobject_cast<W*>(QApplication::activeModalWidget());
}

TEST_F(PromptOwnerTest, TheWindowThatAsksOwnsThePromptAndIsInFrontAndFocusedAfterIt) {
  TestDir temp;
  Shell::openHook = [](const QUrl&) { return false; };  // no browser
  const AskingWindow cases[] = {
      {"customer CSV import", [](OrderForm& m) { m.onCustomers(); },
       [](OrderForm& m) -> QWidget* { return m.guestWindow(); },
       [](QWidget* w) { static_cast<GuestForm*>(w)->importCsvAction->trigger(); }},
      {"editor's shipping note without a browser", [](OrderForm& m) { m.onNewOrder(); },
       [](OrderForm&) -> QWidget* { return modalWindow<OrderInput>(); },
       [](QWidget* w) { static_cast<OrderInput*>(w)->shippingNoteButton->click(); }},
      {"product CSV import", [](OrderForm& m) { m.onProducts(); },
       [](OrderForm& m) -> QWidget* { return m.manufWindow(); },
       [](QWidget* w) { static_cast<ManufForm*>(w)->importCsvAction->trigger(); }},
      {"purchase records' search without a number",
       [](OrderForm& m) {
         m.onProducts();
         ManufStock::run(m.db(), m.prompt(), m.manufWindow(), QStringLiteral("戒指"), {});
       },
       [](OrderForm&) -> QWidget* { return modalWindow<ManufStock>(); },
       [](QWidget* w) { static_cast<ManufStock*>(w)->searchButton->click(); }},
      {"expense without a date", [](OrderForm& m) { m.onExpenses(); },
       [](OrderForm& m) -> QWidget* { return m.expendWindow(); },
       [](QWidget* w) {
         auto* f = static_cast<ExpendForm*>(w);
         f->dateEdit->clear();
         f->addButton->click();
       }},
      {"settings' new shipping method", [](OrderForm& m) { m.onGeneralSettings(); },
       [](OrderForm&) -> QWidget* { return modalWindow<SetForm>(); },
       [](QWidget* w) { static_cast<SetForm*>(w)->addMethodButton->click(); }},
  };
  for (const AskingWindow& c : cases) {
    SCOPED_TRACE(c.name);
    QtPrompt prompt;
    OrderForm main(prompt);
    prompt.setParent(&main);
    main.db().TempPath = temp.path();
    main.show();
    activate(&main);

    bool checked = false;
    QTimer::singleShot(0, [&] {
      QWidget* asker = nullptr;
      if (!waitUntil([&] { return (asker = c.window(main)) && asker->isVisible(); })) {
        ADD_FAILURE() << "the window did not open";
        return;
      }
      activate(asker);
      EXPECT_EQ(ownerOfPrompt([&] { c.ask(asker); }), asker);
      EXPECT_TRUE(activeWhenWaitedFor(asker));
      EXPECT_GT(stackingPlace(asker), stackingPlace(&main));
      checked = true;
      if (asker->isModal()) static_cast<QDialog*>(asker)->done(QDialog::Rejected);
    });
    c.open(main);
    EXPECT_TRUE(waitUntil([&] { return checked; }, 20000));
  }
  Shell::openHook = nullptr;
}

// ---- whose a prompt is when the window that asks is not the active one ----

struct TwoWindows : PromptOwnerTest {
  QWidget main;
  QWidget* child = nullptr;  // a window of main's, as the customer window is
  QtPrompt prompt{&main};
  Prompt& asks = prompt;

  void SetUp() override {
    PromptOwnerTest::SetUp();
    if (IsSkipped()) return;
    main.setWindowTitle(QStringLiteral("main"));
    main.resize(500, 400);
    main.show();
    child = new QWidget(&main, Qt::Window);
    child->setWindowTitle(QStringLiteral("child"));
    child->resize(300, 200);
    child->show();
    activate(child);
  }
};

// A command that asks twice: both boxes are the same window's.
TEST_F(TwoWindows, ASecondQuestionOfTheCommandIsTheSameWindows) {
  QPointer<QWidget> second;
  const QPointer<QWidget> first = ownerOfPrompt([&] {
    asks.message(QStringLiteral("first"));
    second = ownerOfPrompt([&] { asks.message(QStringLiteral("second")); });
  });
  EXPECT_EQ(first, child);
  EXPECT_EQ(second, child);
}

// Right after a dialog closed no window is active until the window system
// hands the focus on: what is asked then is the window's that opened the
// dialog (the database manager's "開啟" goes on in the main window), not the
// main window's by default.
TEST_F(TwoWindows, AskedRightAfterADialogClosedItIsTheDialogsWindows) {
  QDialog dialog(child);
  dialog.show();
  activate(&dialog);
  dialog.accept();
  ASSERT_NE(QApplication::activeWindow(), child);
  EXPECT_EQ(prompt.owner(), child);
}

TEST_F(TwoWindows, AHiddenOrGoneWindowHandsTheRoleToItsOwnerAndNoneShowingMeansNoOwner) {
  EXPECT_EQ(prompt.owner(), child);
  child->hide();
  EXPECT_EQ(prompt.owner(), &main);
  child->show();
  activate(child);
  delete child;
  EXPECT_EQ(prompt.owner(), &main);
  main.hide();
  EXPECT_EQ(prompt.owner(), nullptr);  // start-up and exit: a box of its own
}

// The wait window of a save takes no focus and owns nothing: what the save
// asks belongs to the window that runs it.
TEST_F(TwoWindows, TheWaitWindowNeverOwnsAPrompt) {
  LoadForm wait(&main);
  wait.show(QStringLiteral("資料儲存中..."));
  EXPECT_EQ(prompt.owner(), child);
  activate(&main);
  EXPECT_EQ(ownerOfPrompt([&] { asks.message(QStringLiteral("儲存失敗，請按「是(Y)」再試一次")); }), &main);
  EXPECT_EQ(QApplication::activeWindow(), &main);
}

// A modal dialog (the order editor) in front: its own prompts are its, and
// a window it blocks never owns one.
TEST_F(TwoWindows, AModalDialogOwnsWhatIsAskedWhileItIsUp) {
  ownerOfPrompt([&] { asks.message(QStringLiteral("the child's")); });
  QDialog editor(&main);
  editor.setModal(true);
  editor.show();
  activate(&editor);
  EXPECT_EQ(ownerOfPrompt([&] { asks.openFile(QStringLiteral("匯入"), QStringLiteral("CSV檔案 (*.csv)")); }), &editor);
  EXPECT_TRUE(activeWhenWaitedFor(&editor));
}

// A window that goes while its box is up takes the box along; the question
// counts as cancelled and nothing else goes wrong.
TEST_F(TwoWindows, AnOwnerThatGoesTakesItsBoxAlong) {
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(waitUntil([] { return shownPrompt() != nullptr; }));
    delete child;
    if (QDialog* left = shownPrompt(); left && !waitUntil([] { return shownPrompt() == nullptr; }, 1000)) {
      ADD_FAILURE() << "the box stayed";
      left->reject();
    }
  });
  EXPECT_EQ(asks.message(QStringLiteral("確定刪除嗎？"), Prompt::Icon::Exclamation, Prompt::Buttons::YesNoCancel),
            Prompt::Answer::Cancel);
  EXPECT_EQ(prompt.owner(), &main);
}

// ---- the screen before long work ----

// An answered box is off the screen when the command goes on: the window it
// covered has painted again.
TEST_F(PromptOwnerTest, AnAnsweredBoxIsOffTheScreenWhenTheCommandGoesOn) {
  QWidget main;
  main.setAutoFillBackground(true);
  QPalette green = main.palette();
  green.setColor(QPalette::Window, QColor(0, 160, 0));
  main.setPalette(green);
  main.resize(600, 400);
  main.show();
  activate(&main);
  QtPrompt prompt(&main);
  Prompt& asks = prompt;
  QRect covered;
  QTimer::singleShot(0, [&] {
    QDialog* box = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (box = shownPrompt()) && QApplication::activeWindow() == box; }));
    covered = box->frameGeometry().intersected(QRect(main.mapToGlobal(QPoint(0, 0)), main.size()));
    box->accept();
  });
  asks.message(QStringLiteral("確定還原資料嗎？"), Prompt::Icon::Exclamation, Prompt::Buttons::YesNo);
  // Long work from here on: nothing more is processed before the look.
  ASSERT_FALSE(covered.isEmpty());
  const QImage shown = screenPixels(covered);
  int other = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x)
      if (shown.pixel(x, y) != qRgb(0, 160, 0)) ++other;
  EXPECT_EQ(other, 0) << "of " << shown.width() * shown.height() << " pixels where the box was";
}

// The wait window is on the screen, painted, when show() returns.
TEST_F(PromptOwnerTest, TheWaitWindowIsPaintedWhenShown) {
  QWidget main;
  main.resize(600, 400);
  main.show();
  activate(&main);
  LoadForm wait(&main);
  wait.show(QStringLiteral("資料儲存中..."));
  QDialog* w = wait.window();
  ASSERT_NE(w, nullptr);
  const QImage shown = screenPixels(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
  const QImage drawn = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, drawn);
  EXPECT_EQ(QApplication::activeWindow(), &main);  // it took no focus
}

}  // namespace
