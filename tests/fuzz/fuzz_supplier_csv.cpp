// The supplier CSV reader: any bytes a file may hold never crash it, a
// supplier already listed is never listed twice, names are never empty and
// hold no quote, replace off never touches a listed supplier's details, and
// what a file brought exports and imports again unchanged.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "platform/Codec.h"
#include "purchasing/SupplierList.h"

namespace {

void check(bool ok) {
  if (!ok) abort();
}

SupplierList fixture() {
  SupplierList l;
  l.names = {QStringLiteral("大同批發"), QStringLiteral("許功蓋")};
  l.details = {QStringLiteral("02-1234"), QString()};
  return l;
}

bool holdsCrLf(const SupplierList& l) {
  for (int i = 0; i < l.count(); ++i)
    if (l.names[i].contains(QStringLiteral("\r\n")) || l.details[i].contains(QStringLiteral("\r\n"))) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  bool ok = true;
  const QString text = Codec::decode(bytes, &ok);
  if (!ok) return 0;  // the reader refuses such a file before the list is touched

  for (bool replace : {false, true}) {
    SupplierList l = fixture();
    l.importCsv(text, replace);
    check(l.names.size() == l.details.size());
    for (int i = 0; i < l.count(); ++i) {
      const QString& n = l.names[i];
      check(!n.isEmpty() && n == n.trimmed());
      check(!n.contains(u'"') && !n.contains(QChar(0x201D)) && !l.details[i].contains(u'"'));
      check(l.find(n) == i);  // each name once
    }
    check(l.names.mid(0, 2) == fixture().names);  // the listed suppliers keep their places
    if (!replace) check(l.details.mid(0, 2) == fixture().details);
  }

  // What a file brought comes back whole through an export and an import.
  SupplierList first;
  first.importCsv(text, true);
  if (!holdsCrLf(first)) {
    SupplierList again;
    again.importCsv(first.csvText(), false);
    check(again.names == first.names);
    check(again.details == first.details);
  }
  return 0;
}
