#include "TestDir.h"

#include "platform/Codec.h"

QByteArray big5(const QString& text) { return Codec::encode(text); }
