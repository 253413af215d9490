// The text viewer's decoder: any bytes decode without crashing; the text
// shown goes back as it came; decoding is stable (what decoded text encodes to decodes to the same text); bytes
// reported clean encode without loss.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "platform/Codec.h"
#include "store/LineBreaks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  bool clean = true;
  const QString text = Codec::decode(bytes, &clean);
  // What the viewer shows, written back unedited, is the text it read
  // (where every line break was a CR LF pair).
  const QString shown = LineBreaks::forBox(text);
  QString bare = text;
  bare.remove(QStringLiteral("\r\n"));
  if (!bare.contains(u'\r') && !bare.contains(u'\n') && LineBreaks::forFile(shown) != text) abort();
  bool lossless = true;
  const QByteArray again = Codec::encode(text, &lossless);
  if (clean) {
    if (!lossless) abort();
    bool cleanAgain = true;
    if (Codec::decode(again, &cleanAgain) != text || !cleanAgain) abort();
  }
  // The fast tables and the converter agree: decoding piece by piece at line
  // ends gives the same text as decoding the whole.
  const qsizetype cut = bytes.indexOf('\n');
  if (cut >= 0 && clean) {
    bool a = true, b = true;
    if (Codec::decode(bytes.left(cut + 1), &a) + Codec::decode(bytes.mid(cut + 1), &b) != text || !a || !b) abort();
  }
  return 0;
}
