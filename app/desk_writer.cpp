#include "app/desk_writer.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "database/database_list.h"

namespace app {
namespace {

// The answers are run from the window's event loop, where a routine's own steps never are.
void WakeWindowThread() {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr) return;  // the desk is ending: FinishDeskWrites runs the rest
  QMetaObject::invokeMethod(application, [] { DeskWriter().RunAnswers(); }, Qt::QueuedConnection);
}

struct WriterOfTheDesk {
  WriterOfTheDesk() : writer(&WakeWindowThread) {
    // Only waits: the answers run at the routines' own points (FinishDeskWrites) or from the
    // event loop, never in the middle of a database command.
    database::DatabaseList::Instance().SetWaitBeforeUse([this] {
      if (!writer.OnWriterThread()) writer.WaitForJobs();
    });
  }
  ~WriterOfTheDesk() { database::DatabaseList::Instance().SetWaitBeforeUse(nullptr); }
  disk_writer::Writer writer;
};

}  // namespace

disk_writer::Writer& DeskWriter() {
  static WriterOfTheDesk desk;
  return desk.writer;
}

void FinishDeskWrites() { DeskWriter().WaitUntilIdle(); }

}  // namespace app
